// The result lists: the list by trustee, long names and saving.

#include "app/TMainForm.h"

#include "app/models/ReportListModel.h"
#include "app/widgets/TSaveDialog.h"
#include "export/AuditForms.h"
#include "export/FormParts.h"
#include "export/ReportExport.h"
#include "export/ReportFile.h"
#include "scan/LongNames.h"
#include "scan/TrusteeList.h"
#include "services/ErrorBox.h"
#include "services/PendingMessages.h"
#include "util/D_Util.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLocale>

void TMainForm::PageControl2Change()
{
    // Built once per set of results: a list that holds rows built from the present
    // results is kept (also after a folder click emptied the by-path list). One built from
    // other results (while a scan was still writing them, or before Get Long Names
    // rewrote their paths) is built again. While a build runs (it lets the event loop
    // run), a second tab change does not start another one.
    if (m_buildingByObj || (!m_byObj->lines().empty() && m_byObjStamp == m_resultsStamp))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_buildingByObj = true;
    m_progress = [this, lines = m_results->lines().count()] {
        return linesProgress(QStringLiteral("Building the list by trustee"), lines);
    };
    beginOperation();
    m_byObj->clear();
    try {
        ReportList rows;
        const uint64_t stamp = m_resultsStamp;
        BuildTrusteeList(m_results->lines(), rows);
        m_byObj->replaceAll(std::move(rows));
        m_byObjStamp = stamp;
    } catch (const OperationCancelled&) {
        // Cancelled, or the window is closing; the list stays empty (the next tab change
        // builds it).
        if (!m_closeRequested)
            showStatusInfo(QStringLiteral("List by trustee cancelled"));
    }
    m_buildingByObj = false;
    endOperation();
    QApplication::restoreOverrideCursor();
}

void TMainForm::resultsChanged(bool cancelled)
{
    ++m_resultsStamp;
    if (!m_byObj->lines().empty() && m_byObjStamp != m_resultsStamp)
        m_byObj->clear();
    if (!cancelled && PageControl2->currentWidget() == TabSheetByObj)
        PageControl2Change();
}

void TMainForm::PopupGetLongNamesClick()
{
    // Not while another long operation writes or reads the lines.
    if (operationRunning())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_longNamesAvailable = false;
    PopupGetLongNames->setEnabled(false);
    m_progress = [this, lines = m_results->lines().count()] {
        return linesProgress(QStringLiteral("Getting long names"), lines);
    };
    beginOperation();
    bool cancelled = false;
    try {
        GetLongNames(m_results->lines());
    } catch (const OperationCancelled&) {
        // Cancelled, or the window is closing; the lines converted so far keep their long
        // names. A cancelled run may be started again for the rest.
        cancelled = true;
        if (!m_closeRequested) {
            m_longNamesAvailable = true;
            showStatusInfo(QStringLiteral("Long names cancelled; the paths converted so far keep them"));
        }
    }
    m_results->textsChanged();
    endOperation();
    QApplication::restoreOverrideCursor();
    // A list by trustee built before shows the short paths.
    resultsChanged(cancelled);
}

void TMainForm::PopopSaveResultsClick(QAction* sender)
{
    // Not while another long operation writes or reads the lists.
    if (operationRunning())
        return;
    SaveForm form = SaveForm::Text;
    if (sender == PopopSaveAsText)
        form = SaveForm::Text;
    else if (sender == PopopSaveAsBat)
        form = SaveForm::Batch;
    else if (sender == PopopSaveAsXML)
        form = SaveForm::Xml;
    else if (sender == PopopSaveAsCSV)
        form = SaveForm::Csv;
    else if (sender == PopopSaveAsHTML)
        form = SaveForm::Html;
    else
        return;
    const std::string ext(SaveFormExtension(form));
    SaveDialog1->defaultExt = QString::fromStdString(ext);
    SaveDialog1->filter
        = QString::fromStdString(Format("%s Files|*.%s|All Files|*.*", UpperAscii(ext).c_str(), ext.c_str()));
    // The text form of the list by trustee is proposed under a name of its own.
    SaveDialog1->fileName = proposedSaveName(form == SaveForm::Text && m_popupComponent == ListBoxByObj
            ? QStringLiteral("TrusteesByTrustee")
            : QStringLiteral("Trustees"),
        ext);
    // The hourglass is shown only once the file is chosen: an override cursor would also
    // cover the dialog.
    if (!SaveDialog1->execute(m_services))
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The text form writes the list the menu was opened on; the other forms always
    // write the by-path results.
    const ReportList& shown = m_popupComponent == ListBoxByObj ? m_byObj->lines() : m_results->lines();
    const QString name = SaveDialog1->fileName;
    m_progress = [this, name, lines = (form == SaveForm::Text ? shown : m_results->lines()).count()] {
        return linesProgress(QStringLiteral("Saving %1").arg(name), lines);
    };
    // A save of a large result takes a while; it lets the event loop run (building
    // between lines, writing on a worker thread), so it is a long operation like the
    // others: the controls that change the lists are locked and a close waits for it.
    beginOperation();
    const std::string fileName = SaveDialog1->fileName.toStdString();
    ReportFileResult written;
    BatchNotes notes;
    bool cancelled = false;
    try {
        const HtmlRunInfo run { m_runTime, m_entriesExamined };
        std::vector<std::string> bytes = BuildSaveFormInParts(form, shown, m_results->lines(), &notes, &run);
        m_progress = [name, size = FormPartsSize(bytes)] {
            return QStringLiteral("Saving %1: writing %2 bytes").arg(name, QLocale::c().toString(qulonglong(size)));
        };
        ProcessPendingMessages(); // a Cancel pressed meanwhile stops the save before the file
        written = WriteReportFileResponsive(fileName, std::move(bytes));
    } catch (const OperationCancelled&) {
        // Cancelled, or the window is closing: nothing is written, an old file stays.
        cancelled = true;
        if (!m_closeRequested)
            showStatusInfo(QStringLiteral("Save cancelled; %1 was left as it was").arg(SaveDialog1->fileName));
    }
    endOperation();
    QApplication::restoreOverrideCursor();
    if (!cancelled && written.ok)
        reportSaved(fileName);
    if (!cancelled && !written.ok)
        ShowMsg(mtError, CannotCreateFileText(fileName));
    else if (const std::string warning = BatchNotesText(notes); !cancelled && !warning.empty())
        ShowMsg(mtWarning, warning); // what the command line writes to standard error
}
