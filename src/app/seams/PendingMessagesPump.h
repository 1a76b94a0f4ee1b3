#pragma once

#include <QElapsedTimer>

#include <functional>

/// The window's "let pending messages through": the window adds `pump` to the
/// pending-messages service of its context. Each call costs one clock read; the Qt event
/// loop runs only when at least `intervalMs` have passed since it last ran, so a scan
/// that reports a million entries is not slowed by event processing, while the window
/// still repaints and answers input several dozen times a second.
///
/// After running the loop (and on every call, cheaply) it asks `cancelRequested`; when
/// that answers true it throws OperationCancelled, which ends the running long operation
/// (the window asks for this when it was closed during a scan or a long build).
class PendingMessagesPump {
public:
    static constexpr int defaultIntervalMs = 15;

    explicit PendingMessagesPump(std::function<bool()> cancelRequested, int intervalMs = defaultIntervalMs);
    PendingMessagesPump(const PendingMessagesPump&) = delete;
    PendingMessagesPump& operator=(const PendingMessagesPump&) = delete;

    /// One call of ProcessPendingMessages: see the class comment.
    void pump();

    /// How often the event loop actually ran (for tests of the throttle).
    long long loopRuns() const noexcept { return m_loopRuns; }

private:
    std::function<bool()> m_cancelRequested;
    QElapsedTimer m_sinceLastRun;
    int m_intervalMs;
    long long m_loopRuns = 0;
};
