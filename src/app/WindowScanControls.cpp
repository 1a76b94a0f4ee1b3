#include "app/WindowScanControls.h"

#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TStatusBar.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>

WindowScanControls::WindowScanControls(TRadioGroup* scope, TRadioGroup* info, QCheckBox* irm, QLineEdit* pattern,
    TStatusBar* statusBar, QPlainTextEdit* infoPage, QObject* parent)
    : QObject(parent)
    , m_scope(scope)
    , m_info(info)
    , m_irm(irm)
    , m_pattern(pattern)
    , m_statusBar(statusBar)
    , m_infoPage(infoPage)
{
    m_sliceTimer.setSingleShot(true);
    connect(&m_sliceTimer, &QTimer::timeout, this, [this] { addSlice(m_scanning ? sliceIntervalMs : 0); });
    m_statusTimer.setSingleShot(true);
    m_statusTimer.setInterval(0);
    connect(&m_statusTimer, &QTimer::timeout, this, &WindowScanControls::showLatestStatus);
}

int WindowScanControls::scopeIndex() const
{
    return m_scope->itemIndex();
}

int WindowScanControls::infoIndex() const
{
    return m_info->itemIndex();
}

bool WindowScanControls::irmChecked() const
{
    return m_irm->isChecked();
}

std::string WindowScanControls::patternText() const
{
    return m_pattern->text().toStdString();
}

void WindowScanControls::showStatus(std::string_view text)
{
    m_scanning = true;
    ++m_entriesShown;
    m_status.assign(text);
    m_statusPending = true;
    if (!m_statusTimer.isActive())
        m_statusTimer.start();
}

void WindowScanControls::showLatestStatus()
{
    m_statusTimer.stop();
    if (!m_statusPending)
        return;
    m_statusPending = false;
    m_statusBar->setPanelText(1, QString::fromStdString(m_status));
}

void WindowScanControls::appendInfoLine(std::string_view line)
{
    m_pendingText.append(line);
    m_pendingText += '\n';
    ++m_pendingCount;
    if (!m_sliceTimer.isActive())
        m_sliceTimer.start(sliceIntervalMs);
}

void WindowScanControls::addLines(qsizetype count)
{
    size_t end = m_pendingStart;
    for (qsizetype i = 0; i < count; ++i)
        end = m_pendingText.find('\n', end) + 1;
    // The page adds a line break before the text, so the last line's own is left out.
    m_infoPage->appendPlainText(
        QString::fromUtf8(m_pendingText.data() + m_pendingStart, static_cast<qsizetype>(end - 1 - m_pendingStart)));
    m_pendingStart = end;
    m_pendingCount -= count;
    if (m_pendingCount == 0 || m_pendingStart > m_pendingText.size() / 2) {
        // Drop what was added, so the buffer holds only what waits.
        m_pendingText.erase(0, m_pendingStart);
        m_pendingStart = 0;
    }
}

void WindowScanControls::addSlice(int interval)
{
    m_sliceTimer.stop();
    QElapsedTimer clock;
    clock.start();
    constexpr qsizetype chunk = 512;
    while (m_pendingCount > 0 && clock.elapsed() < sliceMs)
        addLines(std::min(chunk, m_pendingCount));
    if (m_pendingCount > 0)
        m_sliceTimer.start(interval);
}

void WindowScanControls::flush()
{
    showLatestStatus();
    m_sliceTimer.stop();
    if (m_pendingCount > 0)
        addLines(m_pendingCount);
}

void WindowScanControls::finishScan()
{
    m_scanning = false;
    showLatestStatus();
    addSlice(0);
}
