#include "app/seams/PendingMessagesPump.h"

#include "services/PendingMessages.h"

#include <QCoreApplication>

PendingMessagesPump::PendingMessagesPump(std::function<bool()> cancelRequested, int intervalMs)
    : m_cancelRequested(std::move(cancelRequested))
    , m_intervalMs(intervalMs)
{
    m_sinceLastRun.start();
}

void PendingMessagesPump::pump()
{
    if (m_sinceLastRun.elapsed() >= m_intervalMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        ++m_loopRuns;
        m_sinceLastRun.restart();
    }
    if (m_cancelRequested && m_cancelRequested())
        throw OperationCancelled();
}
