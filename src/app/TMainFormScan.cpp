// The Scan for Trustees page: the scan button and the window's steps of the scan run.

#include "app/TMainForm.h"

#include "app/WindowScanControls.h"
#include "app/models/ReportListModel.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TStatusBar.h"
#include "export/AuditForms.h"
#include "netware/D_NW.h"
#include "scan/ScanRun.h"
#include "services/ErrorBox.h"
#include "services/PendingMessages.h"
#include "util/D_Util.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QTabWidget>

namespace {

// The message after a scan in which start paths could not be read: one line per path
// with the error text of its completion code.
std::string unreadableMessage(const std::vector<UnreadableStartPath>& unreadable)
{
    std::string text
        = unreadable.size() == 1 ? "This start path could not be read:\n" : "These start paths could not be read:\n";
    for (const UnreadableStartPath& path : unreadable)
        text += "\n" + path.path + "\n    " + NWErrorText(path.code);
    return text;
}

QString number(uint64_t value)
{
    return QLocale::c().toString(static_cast<qulonglong>(value));
}

// The status bar's summary of a scan that ended or was cancelled.
QString scanSummary(bool cancelled, uint64_t entries, size_t lines, double seconds, size_t unreadable)
{
    QString text = cancelled ? QStringLiteral("Scan cancelled: %1 entries examined, %2 lines kept, %3 s")
                             : QStringLiteral("Scanned %1 entries: %2 lines, %3 s");
    text = text.arg(number(entries), number(lines), QString::number(seconds, 'f', 1));
    if (!cancelled)
        text += unreadable == 0 ? QStringLiteral(", all paths read")
                                : QStringLiteral(", %1 unreadable start path%2")
                                      .arg(unreadable)
                                      .arg(unreadable == 1 ? QString() : QStringLiteral("s"));
    return text;
}

} // namespace

void TMainForm::BitBtnScanDirsClick()
{
    // The scope choice's item order differs from the walk's scope flag.
    if (const std::optional<uint8_t> scopeFlag = ScopeFlagForIndex(RadioGroupScope->itemIndex()))
        DoTheJob(*scopeFlag);
    StatusBar1->setPanelText(1, QString());
}

void TMainForm::DoTheJob(uint8_t scopeFlag)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_scanRunning = true;
    QElapsedTimer clock;
    clock.start();
    m_controls->startScan();
    m_progress = [this] {
        return QStringLiteral("Scanning: %1 entries examined, %2 lines")
            .arg(number(m_controls->entriesShown()), number(m_results->lines().count()));
    };
    // Disables the scan button (and keeps it disabled whatever the queue handlers do),
    // and locks the connection list, folder tree, work queue, the scan's choices and the
    // context menu's commands while the scan runs.
    beginOperation();
    setActivePage(PageControl2, TabSheetByPath);
    m_results->clear();
    m_byObj->clear();
    ++m_resultsStamp;

    // The queue cannot change under the scan (it is locked), so it is read once.
    std::vector<QueueEntry> queue;
    queue.reserve(static_cast<size_t>(CheckListBoxQ->count()));
    for (int i = 0; i < CheckListBoxQ->count(); ++i)
        queue.push_back({ CheckListBoxQ->itemText(i).toStdString(), CheckListBoxQ->checked(i) });

    ScanResult result;
    bool cancelled = false;
    m_runTime = RunTimeText();
    m_results->setFeeding(true);
    try {
        result = RunScan(m_services, m_session, queue, scopeFlag, *m_controls, m_results->lines());
    } catch (const OperationCancelled&) {
        // Cancelled, or the window is closing: the lines written so far stay (a close
        // follows below).
        cancelled = true;
    }
    const bool closing = m_closeRequested;
    m_results->setFeeding(false);
    m_entriesExamined = result.entriesExamined;
    // The latest path and the first slice of the trustee names now; the other names
    // follow while the event loop runs.
    m_controls->finishScan();

    StatusBar1->setPanelText(1, QString::fromStdString(m_session.SelectedPath));
    m_longNamesAvailable = true;
    m_scanRunning = false;
    endOperation(); // enables the scan button and Get Long Names, or carries out a deferred close
    QApplication::restoreOverrideCursor();
    // A list by trustee built while the scan ran holds only the lines written until then.
    resultsChanged(cancelled);

    if (!closing)
        showStatusInfo(scanSummary(cancelled, cancelled ? m_controls->entriesShown() : result.entriesExamined,
            m_results->lines().count(), clock.elapsed() / 1000.0, result.unreadable.size()));
    if (!cancelled && !result.unreadable.empty())
        ShowMsg(mtWarning, unreadableMessage(result.unreadable));
}
