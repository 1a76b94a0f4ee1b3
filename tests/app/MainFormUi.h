#pragma once

// The window's controls as tests reach them: each found below the window by its
// objectName, the name the layout and the settings file give it (a missing or
// differently typed control stops the test program at once). The handlers run through
// the controls, as the user's events run them. Header-only, shared by the window tests.

#include "app/TMainForm.h"
#include "app/WindowScanControls.h"
#include "app/models/ReportListModel.h"
#include "app/models/ShellFolderModel.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TResultList.h"
#include "app/widgets/TSaveDialog.h"
#include "app/widgets/TShellTreeView.h"
#include "app/widgets/TStatusBar.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>

template <typename T> T* FindControl(const TMainForm& form, const char* name)
{
    T* control = form.findChild<T*>(QString::fromLatin1(name));
    if (!control)
        qFatal("the window has no %s named %s", T::staticMetaObject.className(), name);
    return control;
}

struct MainFormUi {
    explicit MainFormUi(const TMainForm& form)
        : PageControl1(FindControl<QTabWidget>(form, "PageControl1"))
        , TabSheetInfo(FindControl<QWidget>(form, "TabSheetInfo"))
        , TabSheetSelect(FindControl<QWidget>(form, "TabSheetSelect"))
        , Memo1(FindControl<TResultList>(form, "Memo1"))
        , Panel1(FindControl<QLabel>(form, "Panel1"))
        , ServerList(FindControl<TRadioGroup>(form, "ServerList"))
        , Splitter1(FindControl<QSplitter>(form, "Splitter1"))
        , TabSheetAction(FindControl<QWidget>(form, "TabSheetAction"))
        , StatusBar1(FindControl<TStatusBar>(form, "StatusBar1"))
        , PopupMenuS(FindControl<QMenu>(form, "PopupMenuS"))
        , PopopSaveResults(FindControl<QMenu>(form, "PopopSaveResults"))
        , SaveDialog1(FindControl<TSaveDialog>(form, "SaveDialog1"))
        , PopopSaveAsText(FindControl<QAction>(form, "PopopSaveAsText"))
        , PopopSaveAsBat(FindControl<QAction>(form, "PopopSaveAsBat"))
        , PopopSaveAsXML(FindControl<QAction>(form, "PopopSaveAsXML"))
        , PopopSaveAsCSV(FindControl<QAction>(form, "PopopSaveAsCSV"))
        , PopopSaveAsHTML(FindControl<QAction>(form, "PopopSaveAsHTML"))
        , PageControl2(FindControl<QTabWidget>(form, "PageControl2"))
        , TabSheetByPath(FindControl<QWidget>(form, "TabSheetByPath"))
        , TabSheetByObj(FindControl<QWidget>(form, "TabSheetByObj"))
        , ListBoxResults(FindControl<TResultList>(form, "ListBoxResults"))
        , ListBoxByObj(FindControl<TResultList>(form, "ListBoxByObj"))
        , PopupGetLongNames(FindControl<QAction>(form, "PopupGetLongNames"))
        , PopupCompareXml(FindControl<QAction>(form, "PopupCompareXml"))
        , PopupWhoHasAccess(FindControl<QAction>(form, "PopupWhoHasAccess"))
        , PopupRightsOfUser(FindControl<QAction>(form, "PopupRightsOfUser"))
        , Panel2(FindControl<QFrame>(form, "Panel2"))
        , CheckListBoxQ(FindControl<TCheckListBox>(form, "CheckListBoxQ"))
        , Splitter2(FindControl<QSplitter>(form, "Splitter2"))
        , Panel3(FindControl<QFrame>(form, "Panel3"))
        , LabelDirSelected(FindControl<QLabel>(form, "LabelDirSelected"))
        , ShellTreeView1(FindControl<TShellTreeView>(form, "ShellTreeView1"))
        , PanelSettings(FindControl<QFrame>(form, "PanelSettings"))
        , RadioGroupScope(FindControl<TRadioGroup>(form, "RadioGroupScope"))
        , RadioGroupInfo(FindControl<TRadioGroup>(form, "RadioGroupInfo"))
        , BitBtnScanDirs(FindControl<QPushButton>(form, "BitBtnScanDirs"))
        , EditPattern(FindControl<QLineEdit>(form, "EditPattern"))
        , CheckBox_IRM(FindControl<QCheckBox>(form, "CheckBox_IRM"))
        , scanControls(form.findChild<WindowScanControls*>())
    {
    }

    QTabWidget* PageControl1;
    QWidget* TabSheetInfo;
    QWidget* TabSheetSelect;
    TResultList* Memo1;
    QLabel* Panel1;
    TRadioGroup* ServerList;
    QSplitter* Splitter1;
    QWidget* TabSheetAction;
    TStatusBar* StatusBar1;
    QMenu* PopupMenuS;
    QMenu* PopopSaveResults;
    TSaveDialog* SaveDialog1;
    QAction* PopopSaveAsText;
    QAction* PopopSaveAsBat;
    QAction* PopopSaveAsXML;
    QAction* PopopSaveAsCSV;
    QAction* PopopSaveAsHTML;
    QTabWidget* PageControl2;
    QWidget* TabSheetByPath;
    QWidget* TabSheetByObj;
    TResultList* ListBoxResults;
    TResultList* ListBoxByObj;
    QAction* PopupGetLongNames;
    QAction* PopupCompareXml;
    QAction* PopupWhoHasAccess;
    QAction* PopupRightsOfUser;
    QFrame* Panel2;
    TCheckListBox* CheckListBoxQ;
    QSplitter* Splitter2;
    QFrame* Panel3;
    QLabel* LabelDirSelected;
    TShellTreeView* ShellTreeView1;
    QFrame* PanelSettings;
    TRadioGroup* RadioGroupScope;
    TRadioGroup* RadioGroupInfo;
    QPushButton* BitBtnScanDirs;
    QLineEdit* EditPattern;
    QCheckBox* CheckBox_IRM;
    /// The scan's view of the window's choices, status bar and Info page.
    WindowScanControls* scanControls;

    /// The models the result lists and the folder tree show.
    ReportListModel* results() const { return qobject_cast<ReportListModel*>(ListBoxResults->model()); }
    ReportListModel* byObj() const { return qobject_cast<ReportListModel*>(ListBoxByObj->model()); }
    ShellFolderModel* folders() const { return ShellTreeView1->folderModel(); }
    /// The Info page's lines as one text, a line feed between two lines.
    QString infoText() const
    {
        QStringList lines;
        for (int row = 0; row < Memo1->model()->rowCount(); ++row)
            lines.append(Memo1->model()->index(row, 0).data().toString());
        return lines.join(QLatin1Char('\n'));
    }

    /// A double click on the folder tree's selected folder; a click; a double click in
    /// the work queue.
    void doubleClickFolder() const { Q_EMIT ShellTreeView1->dblClick(); }
    void clickFolder() const { Q_EMIT ShellTreeView1->click(); }
    void doubleClickQueue() const { Q_EMIT CheckListBoxQ->dblClick(); }
    /// A click on the label, delivered also while its page is not shown.
    void clickLabel() const
    {
        const QPointF at(2, 2);
        QMouseEvent release(QEvent::MouseButtonRelease, at, LabelDirSelected->mapToGlobal(at), Qt::LeftButton,
            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(LabelDirSelected, &release);
    }

    /// Opens the context menu over list (so that its commands act on that list) and
    /// closes it again, as a right click and Escape would.
    void openContextMenu(TResultList* list) const
    {
        Q_EMIT list->customContextMenuRequested(QPoint(1, 1));
        PopupMenuS->hide();
    }

    /// Shows page of pageControl as the program does, without the change handler.
    static void showPageQuietly(QTabWidget* pageControl, QWidget* page)
    {
        const QSignalBlocker quiet(pageControl);
        pageControl->setCurrentWidget(page);
    }
};
