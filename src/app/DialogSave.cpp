#include "app/DialogSave.h"

#include "export/ReportFile.h"
#include "services/ErrorBox.h"
#include "util/D_Util.h"

#include <QApplication>

bool SaveDialogResult(
    const SaveFileRequest& request, const OperationGuard& guard, const std::function<std::string()>& build)
{
    // The window's context of services is the current one while its dialogs are open.
    const std::optional<std::string> chosen = CurrentServices().askSaveFileName(request);
    if (!chosen)
        return true;
    const std::string fileName = *chosen;
    ReportFileResult written;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool windowStays = guard([&] { written = WriteReportFileResponsive(fileName, build()); });
    QApplication::restoreOverrideCursor();
    if (windowStays && !written.ok)
        ShowMsg(mtError, CannotCreateFileText(fileName));
    return windowStays;
}
