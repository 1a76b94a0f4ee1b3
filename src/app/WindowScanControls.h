#pragma once

#include "scan/ScanControls.h"

#include <QStringList>
#include <QTimer>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class TRadioGroup;
class TStatusBar;

/// The scan's view of the window: the scope, info, IRM and pattern controls read live at
/// each entry, the entry's path shown in status panel 1, and the trustee names appended
/// to the information page. Appended lines are collected and added to the page in one
/// piece per timer tick (and by `flush`), so a scan of a million entries does not lay the
/// page out once per name. The controls belong to the window; this object only reads and
/// writes them.
class WindowScanControls : public QObject, public ScanControls {
    Q_OBJECT
public:
    WindowScanControls(TRadioGroup* scope, TRadioGroup* info, QCheckBox* irm, QLineEdit* pattern,
        TStatusBar* statusBar, QPlainTextEdit* infoPage, QObject* parent = nullptr);

    int scopeIndex() const override;
    int infoIndex() const override;
    bool irmChecked() const override;
    std::string patternText() const override;
    void showStatus(std::string_view text) override;
    void appendInfoLine(std::string_view line) override;

    /// Adds the collected lines to the information page now.
    void flush();

private:
    TRadioGroup* m_scope;
    TRadioGroup* m_info;
    QCheckBox* m_irm;
    QLineEdit* m_pattern;
    TStatusBar* m_statusBar;
    QPlainTextEdit* m_infoPage;
    QStringList m_pendingLines;
    QTimer m_flushTimer;
};
