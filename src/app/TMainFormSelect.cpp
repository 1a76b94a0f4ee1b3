// The Select Start Path page: connection list, folder tree, work queue and its label.

#include "app/TMainForm.h"
#include "scan/ClientSession.h"

#include "app/models/ReportListModel.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TShellTreeView.h"
#include "app/widgets/TStatusBar.h"
#include "netware/D_NW.h"
#include "platform/PathForms.h"
#include "util/D_Util.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

void TMainForm::ShellTreeViewSetRoot(const std::string& root)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ShellTreeView1->setRoot(root);
    QApplication::restoreOverrideCursor();
}

void TMainForm::ShellTreeView1DblClick()
{
    const std::string path = ShellTreeView1->selectedPath();
    if (path.empty())
        return;
    const QString text = QString::fromStdString(path);
    int index = CheckListBoxQ->indexOfText(text);
    if (index < 0)
        index = CheckListBoxQ->addItem(text);
    CheckListBoxQ->setItemIndex(index);
    CheckListBoxQ->setChecked(index, true);
    LabelDirSelectedUpd();
}

void TMainForm::CheckListBoxQDblClick()
{
    CheckListBoxQ->deleteItem(CheckListBoxQ->itemIndex());
    LabelDirSelectedUpd();
}

void TMainForm::LabelDirSelectedUpd()
{
    LabelDirSelected->setText(
        QString::fromStdString(Format("%s: %d", "#Start Paths Selected", CheckListBoxQ->count())));
    // The queue rule; while a long operation runs the button stays disabled whatever the
    // queue holds (updateScanButton), so this cannot start a second scan.
    updateScanButton();
}

void TMainForm::ServerListClick()
{
    const int index = ServerList->itemIndex();
    if (index < 0)
        return;
    m_lastCode = OpenChosenConnection(m_services, m_session, ServerList->itemData(index).value<uint32_t>(),
        ServerList->itemText(index).toStdString());
    ShellTreeViewSetRoot(Format("\\\\%s\\", m_session.ServerName.c_str()));
}

void TMainForm::ShellTreeView1Click()
{
    const std::string path = ShellTreeView1->selectedPath();
    if (path.empty())
        return;
    m_session.DirPath.clear();
    m_session.VolumeName.clear();
    m_session.SelectedPath = ConvertPathName(path, PathForm::Short);
    StatusBar1->setPanelText(1, QString::fromStdString(m_session.SelectedPath));
    // On failure the fields keep their values; the scan resolves every queued path again.
    ParseNWPath(
        m_session.SelectedPath, m_session.ConnHandle, m_session.ServerName, m_session.VolumeName, m_session.DirPath);
    // Only the by-path list is emptied; the by-trustee rows stay until the next scan.
    m_results->clear();
}
