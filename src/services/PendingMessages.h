#pragma once

#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <type_traits>

/// "Let pending window messages through": long operations (listing connections, the
/// walk, the per-entry report, the by-trustee build, long names, saves) call this after
/// each step. It runs the current context's pending-messages service
/// (services/Services.h): nothing outside the window; in the window its pump, which runs
/// the Qt event loop, throttled so that a million calls cost little; on the command line
/// a progress line.
void ProcessPendingMessages();

/// ProcessPendingMessages for a long operation over lines that knows how far it is: first
/// tells the current context's progress service that `done` of `total` lines of the
/// present pass are done (the window shows the latest count a few times a second, not at
/// every call), then lets pending messages through.
void ProcessPendingMessages(uint64_t done, uint64_t total);

/// Thrown out of ProcessPendingMessages by a service that wants the running long
/// operation to stop (the window does so when it is closed during a scan or a long
/// build). It is deliberately not a std::exception: the scan's per-entry guards discard
/// the errors of one start path and go on, but let this one through so the whole
/// operation ends.
struct OperationCancelled { };

/// Waits for `work` (running on another thread) to finish and returns its result, letting
/// pending messages through every few milliseconds meanwhile. When that throws (a
/// cancel), the work is still waited for before the exception is passed on, so nothing it
/// refers to goes away under it. An exception of the work itself is passed on.
template <typename T> T WaitLettingMessagesThrough(std::future<T>& work)
{
    try {
        while (work.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            ProcessPendingMessages();
    } catch (...) {
        work.wait();
        throw;
    }
    return work.get();
}

/// Destroys `object` on another thread while letting messages through here: giving back
/// the memory of millions of small allocations, or of gigabytes, takes long enough to be
/// seen as a window that does not answer.
template <typename T> void ReleaseLettingMessagesThrough(T&& object)
{
    // Destroyed inside the call (a callable held by std::async may be destroyed on the
    // waiting thread).
    auto held = std::make_unique<std::remove_reference_t<T>>(std::move(object));
    std::future<void> released = std::async(std::launch::async, [&held] { held.reset(); });
    WaitLettingMessagesThrough(released);
}
