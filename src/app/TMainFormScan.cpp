// The Scan for Trustees page: the scan button and the window's steps of the scan run.

#include "app/TMainForm.h"

#include "app/models/ReportListModel.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TStatusBar.h"
#include "util/PendingMessages.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>

void TMainForm::BitBtnScanDirsClick()
{
    // The scope choice's item order differs from the walk's scope flag.
    switch (RadioGroupScope->itemIndex()) {
    case 0: // &Directories
        DoTheJob(1);
        break;
    case 1: // &Files
        DoTheJob(0);
        break;
    case 2: // &Both
        DoTheJob(2);
        break;
    default: // nothing selected: no scan
        break;
    }
    StatusBar1->setPanelText(1, QString());
}

void TMainForm::DoTheJob(uint8_t scopeFlag)
{
    (void)scopeFlag;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_scanRunning = true;
    // Disables the scan button (and keeps it disabled whatever the queue handlers do),
    // and locks the connection list, folder tree and work queue for the scan's duration.
    beginOperation();
    setActivePage(PageControl2, TabSheetByPath);
    m_results->clear();
    m_byObj->clear();

    m_results->setFeeding(true);
    m_results->setFeeding(false);

    StatusBar1->setPanelText(1, QString::fromStdString(m_session.SelectedPath));
    PopupGetLongNames->setEnabled(true);
    m_scanRunning = false;
    endOperation(); // enables the scan button again
    QApplication::restoreOverrideCursor();
}
