// Compare with a saved XML file: the window's results against a file saved earlier, the
// differences shown in a CompareDialog.

#include "app/TMainForm.h"

#include "app/CompareDialog.h"
#include "app/models/ReportListModel.h"
#include "export/AuditForms.h"
#include "export/AuditReport.h"
#include "services/ErrorBox.h"

#include <QApplication>

#include <optional>

void TMainForm::PopupCompareXmlClick()
{
    // Not while another long operation writes or reads the lists.
    if (operationRunning())
        return;
    SaveFileRequest request;
    request.fileName = "Trustees.xml";
    request.defaultExt = "xml";
    request.filter = "XML Files|*.xml|All Files|*.*";
    const std::optional<std::string> chosen = m_services.askOpenFileName(request);
    if (!chosen)
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::optional<CompareResult> result;
    std::string error;
    const bool finished = runLongOperation([&] {
        try {
            const AuditReport older = ReadSavedXml(*chosen);
            result = CompareReports(older, AuditReportFromResults(m_results->lines()));
        } catch (const SavedXmlError& e) {
            error = e.what();
        }
    });
    QApplication::restoreOverrideCursor();
    if (!finished)
        return; // the window is closing
    if (!result) {
        ShowMsg(mtError, error);
        return;
    }
    auto* dialog = new CompareDialog(this, std::move(*result), *chosen, "this scan",
        m_runTime.empty() ? RunTimeText() : m_runTime,
        [this](const std::function<void()>& work) { return runLongOperation(work); });
    dialog->show();
}
