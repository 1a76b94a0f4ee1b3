#include "app/WindowScanControls.h"

#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TStatusBar.h"

#include <QCheckBox>
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
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(100);
    connect(&m_flushTimer, &QTimer::timeout, this, &WindowScanControls::flush);
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
    m_statusBar->setPanelText(1, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void WindowScanControls::appendInfoLine(std::string_view line)
{
    m_pendingLines.append(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void WindowScanControls::flush()
{
    m_flushTimer.stop();
    if (m_pendingLines.isEmpty())
        return;
    m_infoPage->appendPlainText(m_pendingLines.join(QLatin1Char('\n')));
    m_pendingLines.clear();
}
