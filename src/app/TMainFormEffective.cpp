// Effective rights: "who has access here" for a folder of the tree or a path line of
// the results, and the rights map of a user under the queued start paths, each in an
// EffectiveRightsDialog.

#include "app/TMainForm.h"

#include "app/EffectiveRightsDialog.h"
#include "app/models/ReportListModel.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TResultList.h"
#include "app/widgets/TShellTreeView.h"
#include "scan/LineKinds.h"
#include "scan/ScanRun.h"
#include "services/PendingMessages.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>

void TMainForm::createEffectiveMenus()
{
    PopupMenuS->addSeparator();
    PopupWhoHasAccess = PopupMenuS->addAction(tr("Who Has Access Here..."));
    PopupWhoHasAccess->setObjectName(QStringLiteral("PopupWhoHasAccess"));
    PopupRightsOfUser = PopupMenuS->addAction(tr("Rights of a User..."));
    PopupRightsOfUser->setObjectName(QStringLiteral("PopupRightsOfUser"));

    PopupMenuTree = new QMenu(this);
    PopupMenuTree->setObjectName(QStringLiteral("PopupMenuTree"));
    TreeWhoHasAccess = PopupMenuTree->addAction(tr("Who Has Access Here..."));
    TreeWhoHasAccess->setObjectName(QStringLiteral("TreeWhoHasAccess"));
    TreeRightsOfUser = PopupMenuTree->addAction(tr("Rights of a User..."));
    TreeRightsOfUser->setObjectName(QStringLiteral("TreeRightsOfUser"));
    ShellTreeView1->setContextMenuPolicy(Qt::CustomContextMenu);

    // What each command needs, and never while a long operation runs.
    connect(PopupMenuS, &QMenu::aboutToShow, this, [this] {
        PopupWhoHasAccess->setEnabled(
            !operationRunning() && m_popupComponent == ListBoxResults && !resultsPathAtCurrentLine().empty());
        PopupRightsOfUser->setEnabled(!operationRunning() && CheckListBoxQ->count() > 0);
    });
    connect(PopupMenuTree, &QMenu::aboutToShow, this, [this] {
        TreeWhoHasAccess->setEnabled(!operationRunning() && !ShellTreeView1->selectedPath().empty());
        TreeRightsOfUser->setEnabled(!operationRunning() && CheckListBoxQ->count() > 0);
    });
    connect(ShellTreeView1, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& pos) { PopupMenuTree->popup(ShellTreeView1->viewport()->mapToGlobal(pos)); });
    connect(PopupWhoHasAccess, &QAction::triggered, this, &TMainForm::PopupWhoHasAccessClick);
    connect(TreeWhoHasAccess, &QAction::triggered, this, &TMainForm::TreeWhoHasAccessClick);
    connect(PopupRightsOfUser, &QAction::triggered, this, &TMainForm::PopupRightsOfUserClick);
    connect(TreeRightsOfUser, &QAction::triggered, this, &TMainForm::PopupRightsOfUserClick);
}

bool TMainForm::runLongOperation(const std::function<void()>& work)
{
    beginOperation();
    bool cancelled = false;
    try {
        work();
    } catch (const OperationCancelled&) {
        cancelled = true; // the window is closing
    }
    endOperation();
    return !cancelled;
}

std::string TMainForm::resultsPathAtCurrentLine() const
{
    const ReportList& lines = m_results->lines();
    const QModelIndex current = ListBoxResults->currentIndex();
    if (!current.isValid())
        return {};
    // The current row's line in the store (a filter may hide lines above it).
    for (size_t index = m_results->lineIndex(current.row()) + 1; index-- > 0;) {
        if (index >= lines.count())
            return {};
        const ReportLine line = lines.line(index);
        if (line.code == lkBase)
            return std::string(line.value);
        if (line.code == lkPath) {
            std::string path;
            lines.appendPathText(line.node, line.longForm, path);
            return path;
        }
    }
    return {};
}

EffectiveRightsDialog* TMainForm::newDialog()
{
    return new EffectiveRightsDialog(
        this, session().ConnHandle, [this](const std::function<void()>& work) { return runLongOperation(work); });
}

void TMainForm::PopupWhoHasAccessClick()
{
    const std::string path = resultsPathAtCurrentLine();
    if (operationRunning() || path.empty())
        return;
    newDialog()->showWhoHasAccess(path);
}

void TMainForm::TreeWhoHasAccessClick()
{
    const std::string path = ShellTreeView1->selectedPath();
    if (operationRunning() || path.empty())
        return;
    newDialog()->showWhoHasAccess(path);
}

void TMainForm::PopupRightsOfUserClick()
{
    if (operationRunning() || CheckListBoxQ->count() == 0)
        return;
    std::vector<effective::StartPath> queue;
    for (int i = 0; i < CheckListBoxQ->count(); ++i)
        queue.push_back({ CheckListBoxQ->itemText(i).toStdString(), CheckListBoxQ->checked(i) });
    effective::WalkChoices choices;
    choices.scopeFlag = ScopeFlagForIndex(RadioGroupScope->itemIndex()).value_or(1);
    choices.pattern = EditPattern->text().toStdString();
    newDialog()->prepareRightsMap(std::move(queue), choices);
}
