// The window's controls as the layout gives them: names, captions, hints, places, sizes,
// fonts and design-time defaults, and the start-up page and information text.

#include "AppTestEnv.h"
#include "MainFormUi.h"
#include "app/TMainForm.h"
#include "app/models/ReportListModel.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TSaveDialog.h"
#include "app/widgets/TShellTreeView.h"
#include "app/widgets/TStatusBar.h"
#include "support/TestPaths.h"
#include "util/D_Util.h"

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>

#include "UrlCatcher.h"
#include <QUrl>

#include <cstdlib>

class MainFormLayoutTest : public QObject {
    Q_OBJECT
    // No client library: these tests look at the window, not at the network.
    std::unique_ptr<AppTestEnv> m_env;

private Q_SLOTS:
    void init() { m_env = std::make_unique<AppTestEnv>(""); }
    void cleanup() { m_env.reset(); }

    void everyControlCarriesItsLayoutName()
    {
        TMainForm form(m_env->context());
        QCOMPARE(form.objectName(), QStringLiteral("MainForm"));
        // Each control of the layout is found by its name, of its kind (MainFormUi stops the
        // program otherwise), and is the only object of that name below the window, so the
        // settings walk finds each by its name.
        const MainFormUi ui(form);
        for (const char* name : { "PageControl1", "TabSheetInfo", "TabSheetSelect", "Memo1", "Panel1", "ServerList",
                 "Splitter1", "TabSheetAction", "StatusBar1", "PopupMenuS", "PopopSaveResults", "SaveDialog1",
                 "PopopSaveAsText", "PopopSaveAsBat", "PopopSaveAsXML", "PageControl2", "TabSheetByPath",
                 "TabSheetByObj", "ListBoxResults", "ListBoxByObj", "PopupGetLongNames", "Panel2", "CheckListBoxQ",
                 "Splitter2", "Panel3", "LabelDirSelected", "ShellTreeView1", "PanelSettings", "RadioGroupScope",
                 "RadioGroupInfo", "BitBtnScanDirs", "EditPattern", "CheckBox_IRM" })
            QVERIFY2(form.findChildren<QObject*>(QString::fromLatin1(name)).size() == 1, name);
    }

    void settingsPanelHoldsTheScanChoicesInWalkOrder()
    {
        TMainForm form(m_env->context());
        const MainFormUi ui(form);
        QStringList names;
        for (QObject* child : ui.PanelSettings->children())
            if (child->isWidgetType())
                names.append(child->objectName());
        QCOMPARE(names,
            QStringList({ "RadioGroupScope", "RadioGroupInfo", "CheckBox_IRM", "BitBtnScanDirs", "EditPattern" }));
    }

    void captionsHintsAndDefaults()
    {
        TMainForm form(m_env->context());
        const MainFormUi ui(form);
        QCOMPARE(form.windowTitle(), QStringLiteral("Grantwise"));
        QCOMPARE(form.pos(), QPoint(264, 134));
        QCOMPARE(form.size(), QSize(745, 504));
        QCOMPARE(form.font().family(), QStringLiteral("Arial"));
        QCOMPARE(form.font().pixelSize(), 12);
        QCOMPARE(ui.Panel1->text(), QStringLiteral("Grantwise"));
        QCOMPARE(ui.Panel1->font().pixelSize(), 19);
        QVERIFY(ui.Panel1->font().bold());
        QCOMPARE(ui.Panel1->height(), 41);
        QCOMPARE(ui.Memo1->editTriggers(), QAbstractItemView::NoEditTriggers);

        QCOMPARE(ui.PageControl1->count(), 3);
        QCOMPARE(ui.PageControl1->tabText(0), QStringLiteral("&Info"));
        QCOMPARE(ui.PageControl1->tabText(1), QStringLiteral("&Select Start Path"));
        QCOMPARE(ui.PageControl1->tabText(2), QStringLiteral("Scan for &Trustees"));
        QCOMPARE(ui.PageControl1->widget(0), ui.TabSheetInfo);
        QCOMPARE(ui.PageControl1->widget(2), ui.TabSheetAction);
        QCOMPARE(ui.PageControl2->tabText(0), QStringLiteral("List by &Path"));
        QCOMPARE(ui.PageControl2->tabText(1), QStringLiteral("List by &Trustee"));
        QCOMPARE(ui.PageControl2->currentWidget(), ui.TabSheetByPath);

        QCOMPARE(ui.ServerList->title(), QStringLiteral("&Connection List"));
        QCOMPARE(ui.ServerList->toolTip(), QStringLiteral("Select base server"));
        QCOMPARE(ui.ServerList->count(), 0);
        QCOMPARE(ui.Splitter1->handleWidth(), 5);
        QCOMPARE(ui.Splitter2->handleWidth(), 4);
        QCOMPARE(ui.Splitter2->orientation(), Qt::Vertical);
        QCOMPARE(ui.ShellTreeView1->toolTip(), QStringLiteral("Double-Click to add to list of start directories"));
        QCOMPARE(ui.CheckListBoxQ->toolTip(),
            QStringLiteral("Double-Click to remove from list of start directories (checkbox indicates recursion)"));
        QCOMPARE(ui.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 0"));

        // At least the design sizes: the groups (and the panel with them) grow to what
        // their items need, so none is clipped; their places stay.
        QVERIFY(ui.PanelSettings->height() >= 85);
        QCOMPARE(ui.RadioGroupScope->title(), QStringLiteral("&Scope"));
        QCOMPARE(ui.RadioGroupScope->items(), QStringList({ "&Directories", "&Files", "&Both" }));
        QCOMPARE(ui.RadioGroupScope->itemIndex(), 0);
        QCOMPARE(ui.RadioGroupScope->pos(), QPoint(8, 4));
        QVERIFY(ui.RadioGroupScope->width() >= 111 && ui.RadioGroupScope->height() >= 75);
        QCOMPARE(ui.RadioGroupInfo->title(), QStringLiteral("&Info"));
        QCOMPARE(ui.RadioGroupInfo->items(), QStringList({ "&Trustees", "&Owner", "&Both" }));
        QCOMPARE(ui.RadioGroupInfo->itemIndex(), 0);
        QCOMPARE(ui.RadioGroupInfo->pos(), QPoint(128, 4));
        QVERIFY(ui.RadioGroupInfo->width() >= 109 && ui.RadioGroupInfo->height() >= 75);
        QVERIFY(ui.RadioGroupScope->geometry().right() < ui.RadioGroupInfo->x());
        QCOMPARE(ui.CheckBox_IRM->text(), QStringLiteral("IRM: Directories"));
        QCOMPARE(ui.CheckBox_IRM->toolTip(), QStringLiteral("Show Inherited Rights Masks"));
        QVERIFY(ui.CheckBox_IRM->isChecked());
        QCOMPARE(ui.CheckBox_IRM->geometry(), QRect(240, 16, 125, 17));
        QCOMPARE(ui.BitBtnScanDirs->text(), QStringLiteral("&Scan for Trustees"));
        QCOMPARE(ui.BitBtnScanDirs->toolTip(), QStringLiteral("Scan Dirs for Trustees"));
        QCOMPARE(ui.BitBtnScanDirs->geometry(), QRect(370, 14, 161, 31));
        QVERIFY(!ui.BitBtnScanDirs->icon().pixmap(16, 16, QIcon::Normal).isNull());
        QVERIFY(ui.BitBtnScanDirs->icon().pixmap(16, 16, QIcon::Normal).toImage()
            != ui.BitBtnScanDirs->icon().pixmap(16, 16, QIcon::Disabled).toImage());
        QCOMPARE(ui.EditPattern->text(), QStringLiteral("*.*"));
        QCOMPARE(ui.EditPattern->toolTip(), QStringLiteral("Search Pattern for files or directories"));
        QCOMPARE(ui.EditPattern->pos(), QPoint(372, 54));

        const QString hint = QStringLiteral("See context menu for further options  (right mouse-click)");
        QCOMPARE(ui.ListBoxResults->toolTip(), hint);
        QCOMPARE(ui.ListBoxByObj->toolTip(), hint);
        // Each list shows a report store of its own.
        QVERIFY(ui.results() && ui.byObj() && ui.results() != ui.byObj());

        QCOMPARE(ui.StatusBar1->panelCount(), 2);
        QCOMPARE(ui.StatusBar1->height(), 19);
        QCOMPARE(ui.StatusBar1->cursor().shape(), Qt::PointingHandCursor);

        // The context menu: the submenu with the save forms (the window's three, then the
        // audit forms), long names and the compare; the effective-rights commands follow
        // after a separator.
        const QList<QAction*> items = ui.PopupMenuS->actions();
        QCOMPARE(items.size(), 8);
        QCOMPARE(items[0]->text(), QStringLiteral("Save Results ..."));
        QCOMPARE(items[0]->menu(), ui.PopopSaveResults);
        QCOMPARE(items[1], ui.PopupGetLongNames);
        QCOMPARE(items[2], ui.PopupCompareXml);
        QVERIFY(items[3]->isSeparator());
        QCOMPARE(items.mid(4, 2), QList<QAction*>({ ui.PopupWhoHasAccess, ui.PopupRightsOfUser }));
        // Last, apart: the save of only the lines a filter shows.
        QVERIFY(items[6]->isSeparator());
        QCOMPARE(items[7]->objectName(), QStringLiteral("PopupSaveShown"));
        QCOMPARE(ui.PopupGetLongNames->text(), QStringLiteral("Get Long Names"));
        QVERIFY(ui.PopupGetLongNames->isEnabled());
        QCOMPARE(ui.PopopSaveResults->actions(),
            QList<QAction*>(
                { ui.PopopSaveAsText, ui.PopopSaveAsBat, ui.PopopSaveAsXML, ui.PopopSaveAsCSV, ui.PopopSaveAsHTML }));
        QCOMPARE(ui.PopopSaveAsText->text(), QStringLiteral("... as *.TXT"));
        QCOMPARE(ui.PopopSaveAsBat->text(), QStringLiteral("... as *.BAT"));
        QCOMPARE(ui.PopopSaveAsXML->text(), QStringLiteral("... as *.XML"));
    }

    void patternFieldFollowsTheRightEdge()
    {
        TMainForm form(m_env->context());
        const MainFormUi ui(form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        ui.PageControl1->setCurrentWidget(ui.TabSheetAction);
        const int margin = ui.PanelSettings->width() - ui.EditPattern->geometry().right();
        form.resize(form.width() + 100, form.height());
        QTRY_COMPARE(ui.PanelSettings->width() - ui.EditPattern->geometry().right(), margin);
        QCOMPARE(ui.EditPattern->x(), 372);
    }

    void startUpShowsTheInfoPageWithTheInformationText()
    {
        QVERIFY(WriteFileBytes(m_env->home().file("grantwise.txt"), "Grantwise\r\nline two\r\n"));
        TMainForm form(m_env->context());
        const MainFormUi ui(form);
        QCOMPARE(ui.PageControl1->currentWidget(), ui.TabSheetInfo);
        // The file's lines: the break after the last one ends it, so the trustee names a
        // scan adds follow it without an empty line.
        QCOMPARE(ui.infoText(), QStringLiteral("Grantwise\nline two"));
    }

    void missingInformationTextGivesOneLine()
    {
        TMainForm form(m_env->context());
        const MainFormUi ui(form);
        QCOMPARE(ui.PageControl1->currentWidget(), ui.TabSheetInfo);
        QCOMPARE(ui.infoText(), QString::fromStdString("Could not find " + m_env->home().file("grantwise.txt")));
        QCOMPARE(ui.Memo1->model()->rowCount(), 1);
    }

    void statusBarShowsTheReadmeAndOpensItOnAClick()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        TMainForm form(m_env->context());
        const MainFormUi ui(form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString address = ui.StatusBar1->panelText(0);
        QCOMPARE(QUrl(address), QUrl::fromLocalFile(QString::fromStdString(m_env->home().file("README.md"))));
        QTest::mouseClick(ui.StatusBar1, Qt::LeftButton, {}, QPoint(400, 8));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls[0], QUrl(address));
        // A click on the first panel is a click on the bar too.
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        QTest::mouseClick(ui.StatusBar1, Qt::LeftButton, {}, QPoint(20, 8));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.urls.size(), 2);

        // A path too long for the path panel is shortened in the middle to the panel's width
        // of the moment; where there is room, its beginning and its end show.
        const QString path = QStringLiteral("FS1\\VOL1:\\") + QStringLiteral("COMPANY DATA\\").repeated(12)
            + QStringLiteral("BUDGET.XLS");
        ui.StatusBar1->setPanelText(1, path);
        auto* panel = ui.StatusBar1->findChild<QLabel*>(QStringLiteral("StatusPanel1"));
        for (const int width : { form.minimumWidth(), 1400, 1800 }) {
            form.resize(width, form.height());
            QCoreApplication::processEvents();
            const QString shown = panel->text();
            QVERIFY2(shown.contains(QChar(0x2026)) && shown.startsWith(QStringLiteral("FS")), qPrintable(shown));
            QVERIFY2(panel->fontMetrics().horizontalAdvance(shown) <= panel->contentsRect().width(), qPrintable(shown));
            if (width > 1000)
                QVERIFY2(shown.startsWith(QStringLiteral("FS1\\VOL1:")) && shown.endsWith(QStringLiteral("BUDGET.XLS")),
                    qPrintable(shown));
        }
        QCOMPARE(ui.StatusBar1->panelText(1), path);
    }
};

QTEST_MAIN(MainFormLayoutTest)
#include "MainFormLayout_test.moc"
#include "moc_UrlCatcher.cpp"
