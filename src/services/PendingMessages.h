#pragma once

#include <cstdint>

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
