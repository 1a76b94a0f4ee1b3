#pragma once

#include "scan/ScanControls.h"

#include <QTimer>

#include <string>

class QCheckBox;
class QLineEdit;
class InfoPageModel;
class TRadioGroup;
class TStatusBar;

/// The scan's view of the window: the scope, info, IRM and pattern controls read live at
/// each entry, the entry's path shown in status panel 1, and the trustee names appended
/// to the information page. The controls belong to the window; this object only reads
/// and writes them.
///
/// Both displays are written when the event loop runs, not once per entry, since only
/// then can anything be seen: the status panel gets the latest path (one label update
/// per event-loop run instead of a million), and the names go into the page's store at
/// once but become rows every `publishIntervalMs` while a scan runs (one insertion for
/// thousands of names) and all at its end. Their order is always the order of the calls.
class WindowScanControls : public QObject, public ScanControls {
    Q_OBJECT
public:
    WindowScanControls(TRadioGroup* scope, TRadioGroup* info, QCheckBox* irm, QLineEdit* pattern, TStatusBar* statusBar,
        InfoPageModel* infoPage, QObject* parent = nullptr);

    int scopeIndex() const override;
    int infoIndex() const override;
    bool irmChecked() const override;
    std::string patternText() const override;
    void showStatus(std::string_view text) override;
    void appendInfoLine(std::string_view line) override;

    /// Shows the latest status text and publishes every collected name now.
    void flush();

    /// The end of a scan: shows the latest status text and publishes the collected names.
    void finishScan();

    /// Entries shown in the status panel since the last `startScan` (the scan's progress,
    /// also when it is cancelled before it can say how many it examined).
    uint64_t entriesShown() const noexcept { return m_entriesShown; }
    /// The start of a scan: counts entries from 0 again.
    void startScan() noexcept { m_entriesShown = 0; }

    /// Names collected and not yet rows of the information page.
    size_t pendingLines() const noexcept;

    /// The pause between two publications of the names while a scan runs.
    static constexpr int publishIntervalMs = 100;

private:
    void showLatestStatus();

    TRadioGroup* m_scope;
    TRadioGroup* m_info;
    QCheckBox* m_irm;
    QLineEdit* m_pattern;
    TStatusBar* m_statusBar;
    InfoPageModel* m_infoPage;
    QTimer m_publishTimer;
    std::string m_status; ///< the latest status text not yet shown
    bool m_statusPending = false;
    QTimer m_statusTimer;
    uint64_t m_entriesShown = 0;
};
