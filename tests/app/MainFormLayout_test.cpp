// The window's controls as the layout gives them: names, captions, hints, places, sizes,
// fonts and design-time defaults, and the start-up page and information text.

#include "app/TMainForm.h"
#include "app/models/ReportListModel.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TSaveDialog.h"
#include "app/widgets/TShellTreeView.h"
#include "app/widgets/TStatusBar.h"
#include "platform/ProgramPath.h"
#include "support/MessageRecorder.h"
#include "support/TestPaths.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>

#include "UrlCatcher.h"
#include <QUrl>

#include <cstdlib>


class MainFormLayoutTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TempDir> m_home;

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<TempDir>();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_home->path()));
        SetProgramFilePath(m_home->file("grantwise"));
    }
    void cleanup()
    {
        SetProgramFilePath("");
        m_home.reset();
    }

    void everyControlCarriesItsLayoutName()
    {
        MessageRecorder messages;
        TMainForm form;
        QCOMPARE(form.objectName(), QStringLiteral("MainForm"));
        const std::vector<std::pair<QObject*, const char*>> controls {
            { static_cast<QObject*>(form.PageControl1), "PageControl1" },
            { static_cast<QObject*>(form.TabSheetInfo), "TabSheetInfo" },
            { static_cast<QObject*>(form.TabSheetSelect), "TabSheetSelect" },
            { static_cast<QObject*>(form.Memo1), "Memo1" },
            { static_cast<QObject*>(form.Panel1), "Panel1" },
            { static_cast<QObject*>(form.ServerList), "ServerList" },
            { static_cast<QObject*>(form.Splitter1), "Splitter1" },
            { static_cast<QObject*>(form.TabSheetAction), "TabSheetAction" },
            { static_cast<QObject*>(form.StatusBar1), "StatusBar1" },
            { static_cast<QObject*>(form.PopupMenuS), "PopupMenuS" },
            { static_cast<QObject*>(form.PopopSaveResults), "PopopSaveResults" },
            { static_cast<QObject*>(form.SaveDialog1), "SaveDialog1" },
            { static_cast<QObject*>(form.PopopSaveAsText), "PopopSaveAsText" },
            { static_cast<QObject*>(form.PopopSaveAsBat), "PopopSaveAsBat" },
            { static_cast<QObject*>(form.PopopSaveAsXML), "PopopSaveAsXML" },
            { static_cast<QObject*>(form.PageControl2), "PageControl2" },
            { static_cast<QObject*>(form.TabSheetByPath), "TabSheetByPath" },
            { static_cast<QObject*>(form.TabSheetByObj), "TabSheetByObj" },
            { static_cast<QObject*>(form.ListBoxResults), "ListBoxResults" },
            { static_cast<QObject*>(form.ListBoxByObj), "ListBoxByObj" },
            { static_cast<QObject*>(form.PopupGetLongNames), "PopupGetLongNames" },
            { static_cast<QObject*>(form.Panel2), "Panel2" },
            { static_cast<QObject*>(form.CheckListBoxQ), "CheckListBoxQ" },
            { static_cast<QObject*>(form.Splitter2), "Splitter2" },
            { static_cast<QObject*>(form.Panel3), "Panel3" },
            { static_cast<QObject*>(form.LabelDirSelected), "LabelDirSelected" },
            { static_cast<QObject*>(form.ShellTreeView1), "ShellTreeView1" },
            { static_cast<QObject*>(form.PanelSettings), "PanelSettings" },
            { static_cast<QObject*>(form.RadioGroupScope), "RadioGroupScope" },
            { static_cast<QObject*>(form.RadioGroupInfo), "RadioGroupInfo" },
            { static_cast<QObject*>(form.BitBtnScanDirs), "BitBtnScanDirs" },
            { static_cast<QObject*>(form.EditPattern), "EditPattern" },
            { static_cast<QObject*>(form.CheckBox_IRM), "CheckBox_IRM" },
        };
        for (const auto& [control, name] : controls) {
            QVERIFY2(control, name);
            QCOMPARE(control->objectName(), QString::fromLatin1(name));
            // Unique below the window, so the settings walk finds each by its name.
            QVERIFY2(form.findChildren<QObject*>(QString::fromLatin1(name)).size() == 1, name);
        }
    }

    void settingsPanelHoldsTheScanChoicesInWalkOrder()
    {
        MessageRecorder messages;
        TMainForm form;
        QStringList names;
        for (QObject* child : form.PanelSettings->children())
            if (child->isWidgetType())
                names.append(child->objectName());
        QCOMPARE(names,
            QStringList({ "RadioGroupScope", "RadioGroupInfo", "CheckBox_IRM", "BitBtnScanDirs", "EditPattern" }));
    }

    void captionsHintsAndDefaults()
    {
        MessageRecorder messages;
        TMainForm form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Grantwise"));
        QCOMPARE(form.pos(), QPoint(264, 134));
        QCOMPARE(form.size(), QSize(745, 504));
        QCOMPARE(form.font().family(), QStringLiteral("Arial"));
        QCOMPARE(form.font().pixelSize(), 12);
        QCOMPARE(form.Panel1->text(), QStringLiteral("Grantwise"));
        QCOMPARE(form.Panel1->font().pixelSize(), 19);
        QVERIFY(form.Panel1->font().bold());
        QCOMPARE(form.Panel1->height(), 41);
        QVERIFY(form.Memo1->isReadOnly());

        QCOMPARE(form.PageControl1->count(), 3);
        QCOMPARE(form.PageControl1->tabText(0), QStringLiteral("&Info"));
        QCOMPARE(form.PageControl1->tabText(1), QStringLiteral("&Select Start Path"));
        QCOMPARE(form.PageControl1->tabText(2), QStringLiteral("Scan for &Trustees"));
        QCOMPARE(form.PageControl1->widget(0), form.TabSheetInfo);
        QCOMPARE(form.PageControl1->widget(2), form.TabSheetAction);
        QCOMPARE(form.PageControl2->tabText(0), QStringLiteral("List by &Path"));
        QCOMPARE(form.PageControl2->tabText(1), QStringLiteral("List by &Trustee"));
        QCOMPARE(form.PageControl2->currentWidget(), form.TabSheetByPath);

        QCOMPARE(form.ServerList->title(), QStringLiteral("&Connection List"));
        QCOMPARE(form.ServerList->toolTip(), QStringLiteral("Select base server"));
        QCOMPARE(form.ServerList->count(), 0);
        QCOMPARE(form.Splitter1->handleWidth(), 5);
        QCOMPARE(form.Splitter2->handleWidth(), 4);
        QCOMPARE(form.Splitter2->orientation(), Qt::Vertical);
        QCOMPARE(form.ShellTreeView1->toolTip(), QStringLiteral("Double-Click to add to list of start directories"));
        QCOMPARE(form.CheckListBoxQ->toolTip(),
            QStringLiteral("Double-Click to remove from list of start directories (checkbox indicates recursion)"));
        QCOMPARE(form.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 0"));

        QCOMPARE(form.PanelSettings->height(), 85);
        QCOMPARE(form.RadioGroupScope->title(), QStringLiteral("&Scope"));
        QCOMPARE(form.RadioGroupScope->items(), QStringList({ "&Directories", "&Files", "&Both" }));
        QCOMPARE(form.RadioGroupScope->itemIndex(), 0);
        QCOMPARE(form.RadioGroupScope->geometry(), QRect(8, 4, 111, 75));
        QCOMPARE(form.RadioGroupInfo->title(), QStringLiteral("&Info"));
        QCOMPARE(form.RadioGroupInfo->items(), QStringList({ "&Trustees", "&Owner", "&Both" }));
        QCOMPARE(form.RadioGroupInfo->itemIndex(), 0);
        QCOMPARE(form.RadioGroupInfo->geometry(), QRect(128, 4, 109, 75));
        QCOMPARE(form.CheckBox_IRM->text(), QStringLiteral("IRM: Directories"));
        QCOMPARE(form.CheckBox_IRM->toolTip(), QStringLiteral("Show Inherited Rights Masks"));
        QVERIFY(form.CheckBox_IRM->isChecked());
        QCOMPARE(form.CheckBox_IRM->geometry(), QRect(240, 16, 125, 17));
        QCOMPARE(form.BitBtnScanDirs->text(), QStringLiteral("&Scan for Trustees"));
        QCOMPARE(form.BitBtnScanDirs->toolTip(), QStringLiteral("Scan Dirs for Trustees"));
        QCOMPARE(form.BitBtnScanDirs->geometry(), QRect(370, 14, 161, 31));
        QVERIFY(!form.BitBtnScanDirs->icon().pixmap(16, 16, QIcon::Normal).isNull());
        QVERIFY(form.BitBtnScanDirs->icon().pixmap(16, 16, QIcon::Normal).toImage()
            != form.BitBtnScanDirs->icon().pixmap(16, 16, QIcon::Disabled).toImage());
        QCOMPARE(form.EditPattern->text(), QStringLiteral("*.*"));
        QCOMPARE(form.EditPattern->toolTip(), QStringLiteral("Search Pattern for files or directories"));
        QCOMPARE(form.EditPattern->pos(), QPoint(372, 54));

        const QString hint = QStringLiteral("See context menu for further options  (right mouse-click)");
        QCOMPARE(form.ListBoxResults->toolTip(), hint);
        QCOMPARE(form.ListBoxByObj->toolTip(), hint);
        QVERIFY(form.ListBoxResults->uniformItemSizes());
        QVERIFY(form.ListBoxByObj->uniformItemSizes());
        QCOMPARE(form.ListBoxResults->model(), form.resultsModel());
        QCOMPARE(form.ListBoxByObj->model(), form.byObjModel());

        QCOMPARE(form.StatusBar1->panelCount(), 2);
        QCOMPARE(form.StatusBar1->height(), 19);
        QCOMPARE(form.StatusBar1->cursor().shape(), Qt::PointingHandCursor);

        // The context menu: the submenu with the three save forms, then long names; the
        // effective-rights commands follow after a separator.
        const QList<QAction*> items = form.PopupMenuS->actions();
        QCOMPARE(items.size(), 5);
        QCOMPARE(items[0]->text(), QStringLiteral("Save Results ..."));
        QCOMPARE(items[0]->menu(), form.PopopSaveResults);
        QCOMPARE(items[1], form.PopupGetLongNames);
        QVERIFY(items[2]->isSeparator());
        QCOMPARE(items.mid(3), QList<QAction*>({ form.PopupWhoHasAccess, form.PopupRightsOfUser }));
        QCOMPARE(form.PopupGetLongNames->text(), QStringLiteral("Get Long Names"));
        QVERIFY(form.PopupGetLongNames->isEnabled());
        QCOMPARE(form.PopopSaveResults->actions(),
            QList<QAction*>({ form.PopopSaveAsText, form.PopopSaveAsBat, form.PopopSaveAsXML }));
        QCOMPARE(form.PopopSaveAsText->text(), QStringLiteral("... as *.TXT"));
        QCOMPARE(form.PopopSaveAsBat->text(), QStringLiteral("... as *.BAT"));
        QCOMPARE(form.PopopSaveAsXML->text(), QStringLiteral("... as *.XML"));
    }

    void patternFieldFollowsTheRightEdge()
    {
        MessageRecorder messages;
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.PageControl1->setCurrentWidget(form.TabSheetAction);
        const int margin = form.PanelSettings->width() - form.EditPattern->geometry().right();
        form.resize(form.width() + 100, form.height());
        QTRY_COMPARE(form.PanelSettings->width() - form.EditPattern->geometry().right(), margin);
        QCOMPARE(form.EditPattern->x(), 372);
    }

    void startUpShowsTheInfoPageWithTheInformationText()
    {
        QVERIFY(WriteFileBytes(m_home->file("grantwise.txt"), "Grantwise\r\nline two\r\n"));
        MessageRecorder messages;
        TMainForm form;
        QCOMPARE(form.PageControl1->currentWidget(), form.TabSheetInfo);
        // The file's lines: the break after the last one ends it, so the trustee names a
        // scan adds follow it without an empty line.
        QCOMPARE(form.Memo1->toPlainText(), QStringLiteral("Grantwise\nline two"));
    }

    void missingInformationTextGivesOneLine()
    {
        MessageRecorder messages;
        TMainForm form;
        QCOMPARE(form.PageControl1->currentWidget(), form.TabSheetInfo);
        QCOMPARE(form.Memo1->toPlainText(), QString::fromStdString("Could not find " + m_home->file("grantwise.txt")));
        QCOMPARE(form.Memo1->document()->blockCount(), 1);
    }

    void statusBarShowsTheReadmeAndOpensItOnAClick()
    {
        MessageRecorder messages;
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString address = form.StatusBar1->panelText(0);
        QCOMPARE(QUrl(address), QUrl::fromLocalFile(QString::fromStdString(m_home->file("README.md"))));
        QTest::mouseClick(form.StatusBar1, Qt::LeftButton, {}, QPoint(400, 8));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls[0], QUrl(address));
        // A click on the first panel is a click on the bar too.
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        QTest::mouseClick(form.StatusBar1, Qt::LeftButton, {}, QPoint(20, 8));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.urls.size(), 2);
    }
};

QTEST_MAIN(MainFormLayoutTest)
#include "MainFormLayout_test.moc"
#include "moc_UrlCatcher.cpp"
