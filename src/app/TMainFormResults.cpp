// The result lists: the list by trustee, long names and saving.

#include "app/TMainForm.h"

#include "app/models/ReportListModel.h"
#include "app/widgets/TSaveDialog.h"
#include "util/D_Util.h"
#include "util/PendingMessages.h"

#include <QAction>
#include <QApplication>
#include <QListView>

void TMainForm::PageControl2Change()
{
}

void TMainForm::PopupGetLongNamesClick()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PopupGetLongNames->setEnabled(false);
    QApplication::restoreOverrideCursor();
}

void TMainForm::PopopSaveResultsClick(QAction* sender)
{
    std::string ext;
    if (sender == PopopSaveAsText)
        ext = "txt";
    else if (sender == PopopSaveAsBat)
        ext = "bat";
    else if (sender == PopopSaveAsXML)
        ext = "xml";
    else
        return;
    SaveDialog1->defaultExt = QString::fromStdString(ext);
    SaveDialog1->filter = QString::fromStdString(Format("%s Files|*.%s|All Files|*.*", UpperAscii(ext).c_str(), ext.c_str()));
    SaveDialog1->fileName = QString::fromStdString("Trustees." + ext);
    if (!SaveDialog1->execute(this))
        return;
}
