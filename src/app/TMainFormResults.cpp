// The result lists: the list by trustee, long names and saving.

#include "app/TMainForm.h"

#include "app/models/ReportListModel.h"
#include "app/widgets/TSaveDialog.h"
#include "export/ReportExport.h"
#include "export/ReportFile.h"
#include "scan/LongNames.h"
#include "scan/TrusteeList.h"
#include "util/D_Util.h"
#include "util/PendingMessages.h"

#include <QAction>
#include <QApplication>
#include <QListView>

void TMainForm::PageControl2Change()
{
    // Built once per scan: a list that holds rows is kept. While a build runs (it lets
    // the event loop run), a second tab change does not start another one.
    if (!m_byObj->lines().empty() || m_buildingByObj)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_buildingByObj = true;
    beginOperation();
    try {
        ReportList rows;
        BuildTrusteeList(m_results->lines(), rows);
        m_byObj->replaceAll(std::move(rows));
    } catch (const OperationCancelled&) {
        // The window is closing; the list stays empty.
    }
    m_buildingByObj = false;
    endOperation();
    QApplication::restoreOverrideCursor();
}

void TMainForm::PopupGetLongNamesClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PopupGetLongNames->setEnabled(false);
    beginOperation();
    try {
        GetLongNames(m_results->lines());
    } catch (const OperationCancelled&) {
        // The window is closing; the lines converted so far keep their long names.
    }
    m_results->textsChanged();
    endOperation();
    QApplication::restoreOverrideCursor();
}

void TMainForm::PopopSaveResultsClick(QAction* sender)
{
    SaveForm form = SaveForm::Text;
    if (sender == PopopSaveAsText)
        form = SaveForm::Text;
    else if (sender == PopopSaveAsBat)
        form = SaveForm::Batch;
    else if (sender == PopopSaveAsXML)
        form = SaveForm::Xml;
    else
        return;
    const std::string ext(SaveFormExtension(form));
    SaveDialog1->defaultExt = QString::fromStdString(ext);
    SaveDialog1->filter
        = QString::fromStdString(Format("%s Files|*.%s|All Files|*.*", UpperAscii(ext).c_str(), ext.c_str()));
    SaveDialog1->fileName = QString::fromStdString("Trustees." + ext);
    // The hourglass is shown only once the file is chosen: an override cursor would also
    // cover the dialog.
    if (!SaveDialog1->execute(this))
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    // A save of a large result takes a while; it lets the event loop run (building
    // between lines, writing on a worker thread), so it is a long operation like the
    // others: the controls that change the lists are locked and a close waits for it.
    beginOperation();
    // The text form writes the list the menu was opened on; the batch and XML forms
    // always write the by-path results.
    const ReportList& shown = m_popupComponent == ListBoxByObj ? m_byObj->lines() : m_results->lines();
    const std::string fileName = SaveDialog1->fileName.toStdString();
    ReportFileResult written;
    BatchNotes notes;
    bool cancelled = false;
    try {
        const std::string bytes = BuildSaveForm(form, shown, m_results->lines(), &notes);
        written = WriteReportFileResponsive(fileName, bytes);
    } catch (const OperationCancelled&) {
        // The window is closing: a form not yet built is not written.
        cancelled = true;
    }
    endOperation();
    QApplication::restoreOverrideCursor();
    if (!cancelled && !written.ok)
        ShowMsg(mtError, CannotCreateFileText(fileName));
    else if (const std::string warning = BatchNotesText(notes); !cancelled && !warning.empty())
        ShowMsg(mtWarning, warning); // what the command line writes to standard error

}
