#include "app/WindowScanControls.h"

#include "app/models/InfoPageModel.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TStatusBar.h"

#include <QCheckBox>
#include <QLineEdit>

WindowScanControls::WindowScanControls(TRadioGroup* scope, TRadioGroup* info, QCheckBox* irm, QLineEdit* pattern,
    TStatusBar* statusBar, InfoPageModel* infoPage, QObject* parent)
    : QObject(parent)
    , m_scope(scope)
    , m_info(info)
    , m_irm(irm)
    , m_pattern(pattern)
    , m_statusBar(statusBar)
    , m_infoPage(infoPage)
{
    m_publishTimer.setSingleShot(true);
    connect(&m_publishTimer, &QTimer::timeout, m_infoPage, &InfoPageModel::publish);
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
    m_infoPage->appendName(line);
    if (!m_publishTimer.isActive())
        m_publishTimer.start(publishIntervalMs);
}

size_t WindowScanControls::pendingLines() const noexcept
{
    return m_infoPage->pendingNames();
}

void WindowScanControls::flush()
{
    showLatestStatus();
    m_publishTimer.stop();
    m_infoPage->publish();
}

void WindowScanControls::finishScan()
{
    flush();
}
