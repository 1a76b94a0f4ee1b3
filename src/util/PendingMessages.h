#pragma once

#include <functional>

/// "Let pending window messages through": long operations (listing connections, the
/// walk, the per-entry report, the by-trustee build, long names) call this after each
/// step. Outside the window it does nothing; the window installs a handler that runs
/// the Qt event loop, throttled so that a million calls cost little; the command line
/// may install a progress update.
void ProcessPendingMessages();

/// Installs the handler (an empty one restores the no-op) and returns the previous one.
std::function<void()> SetPendingMessagesHandler(std::function<void()> handler);

/// Thrown out of ProcessPendingMessages by a handler that wants the running long
/// operation to stop (the window does so when it is closed during a scan or a long
/// build). It is deliberately not a std::exception: the scan's per-entry guards discard
/// std::exceptions and go on, but let this one through so the whole operation ends.
struct OperationCancelled {
};
