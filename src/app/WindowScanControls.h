#pragma once

#include "scan/ScanControls.h"

#include <QTimer>

#include <string>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class TRadioGroup;
class TStatusBar;

/// The scan's view of the window: the scope, info, IRM and pattern controls read live at
/// each entry, the entry's path shown in status panel 1, and the trustee names appended
/// to the information page. The controls belong to the window; this object only reads
/// and writes them.
///
/// Both displays are written when the event loop runs, not once per entry, since only
/// then can anything be seen: the status panel gets the latest path (one label update
/// per event-loop run instead of a million), and the collected names are added to the
/// page in slices of a few milliseconds each, on a timer. Adding a line to the page
/// costs microseconds (a text block each), far more than the scan spends on an entry,
/// so the slices keep the page to a small share of the scan; names still waiting when
/// the scan ends follow in slices while the window stays responsive. Their order is
/// always the order of the calls.
class WindowScanControls : public QObject, public ScanControls {
    Q_OBJECT
public:
    WindowScanControls(TRadioGroup* scope, TRadioGroup* info, QCheckBox* irm, QLineEdit* pattern, TStatusBar* statusBar,
        QPlainTextEdit* infoPage, QObject* parent = nullptr);

    int scopeIndex() const override;
    int infoIndex() const override;
    bool irmChecked() const override;
    std::string patternText() const override;
    void showStatus(std::string_view text) override;
    void appendInfoLine(std::string_view line) override;

    /// Shows the latest status text and adds every collected line to the information page
    /// now.
    void flush();

    /// The end of a scan: shows the latest status text now and adds one slice of the
    /// collected lines (all of them when few are waiting); the rest follows in slices
    /// whenever the event loop runs.
    void finishScan();

    /// Entries shown in the status panel since the last `startScan` (the scan's progress,
    /// also when it is cancelled before it can say how many it examined).
    uint64_t entriesShown() const noexcept { return m_entriesShown; }
    /// The start of a scan: counts entries from 0 again.
    void startScan() noexcept { m_entriesShown = 0; }

    /// Lines collected and not yet on the information page.
    qsizetype pendingLines() const noexcept { return m_pendingCount; }

    /// Longest time one slice spends adding lines, and the pause between slices while a
    /// scan runs (after it, slices follow each other as fast as events allow).
    static constexpr int sliceMs = 8;
    static constexpr int sliceIntervalMs = 100;

private:
    /// Adds collected lines until sliceMs have passed; schedules the next slice when lines
    /// remain (after `interval` ms).
    void addSlice(int interval);
    /// Adds the next `count` collected lines.
    void addLines(qsizetype count);
    void showLatestStatus();

    TRadioGroup* m_scope;
    TRadioGroup* m_info;
    QCheckBox* m_irm;
    QLineEdit* m_pattern;
    TStatusBar* m_statusBar;
    QPlainTextEdit* m_infoPage;
    std::string m_pendingText; ///< collected lines, each ending in "\n", from m_pendingStart on
    size_t m_pendingStart = 0;
    qsizetype m_pendingCount = 0;
    QTimer m_sliceTimer;
    std::string m_status; ///< the latest status text not yet shown
    bool m_statusPending = false;
    QTimer m_statusTimer;
    bool m_scanning = false; ///< entries have been shown since the last finishScan
    uint64_t m_entriesShown = 0;
};
