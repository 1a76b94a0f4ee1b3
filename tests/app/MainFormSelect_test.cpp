// Start-up, the connection list, the folder tree and the work queue.

#include "AppTestEnv.h"
#include "MainFormUi.h"
#include "app/TMainForm.h"
#include "app/models/ReportListModel.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TShellTreeView.h"
#include "app/widgets/TStatusBar.h"
#include "scan/LineKinds.h"
#include "support/FakeNWClient.h"
#include "support/TestServices.h"
#include "util/D_Util.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

const std::string rnD = "\\\\FS1\\VOL1\\R&D";
const std::string plans = "\\\\FS1\\VOL1\\R&D\\Plans 2002";

void selectFolder(const MainFormUi& ui, const std::string& path)
{
    const QModelIndex index = FolderIndex(*ui.folders(), path);
    QVERIFY2(index.isValid(), path.c_str());
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        ui.ShellTreeView1->expand(parent);
    ui.ShellTreeView1->selectIndex(index);
}

QStringList queueTexts(const MainFormUi& ui)
{
    QStringList texts;
    for (int i = 0; i < ui.CheckListBoxQ->count(); ++i)
        texts.append(ui.CheckListBoxQ->itemText(i));
    return texts;
}

} // namespace

class MainFormSelectTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startUpOpensTheFirstConnectionWithoutUserAction()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        QAbstractItemModelTester tester(ui.folders(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(env.services().texts().empty());
        QCOMPARE(ui.ServerList->items(), QStringList({ "FS1", "FS2" }));
        QCOMPARE(ui.ServerList->itemIndex(), 0);
        QVERIFY(form.session().ConnHandle != ScanSession::noConnection);
        QCOMPARE(form.session().ServerName, std::string("FS1"));
        QCOMPARE(ui.folders()->rootPath(), std::string("\\\\FS1\\"));
        // The tree lists the server's volumes.
        const QModelIndex server = ui.folders()->rootFolderIndex();
        QTRY_COMPARE(ui.folders()->rowCount(server), 2);
        QCOMPARE(ui.folders()->index(0, 0, server).data().toString(), QStringLiteral("VOL1"));
        QCOMPARE(ui.folders()->index(1, 0, server).data().toString(), QStringLiteral("SYS"));
        QCOMPARE(ui.PageControl1->currentWidget(), ui.TabSheetInfo);
    }

    void clientFailureReportsInitNetWareAndKeepsTheDesignTimeRoot()
    {
        AppTestEnv env("failing-client.json");
        TMainForm form(env.context());
        const MainFormUi ui(form);
        QVERIFY(!env.services().texts().empty());
        QCOMPARE(env.services().messages().back().type, int(mtError));
        QCOMPARE(env.services().texts().back(), std::string("Error 8801: InitNetWare"));
        QCOMPARE(ui.ServerList->count(), 0);
        QCOMPARE(form.session().ConnHandle, ScanSession::noConnection);
        QCOMPARE(ui.folders()->rootPath(), std::string("C:\\"));
        QCOMPARE(ui.folders()->pathOf(ui.folders()->rootFolderIndex()), std::string("/"));
        // The window still works: it opens, and the Info page is in front.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(ui.PageControl1->currentWidget(), ui.TabSheetInfo);
    }

    void unreadableNetworkDescriptionIsAStartUpFailure()
    {
        AppTestEnv env("no-such-network.json");
        TMainForm form(env.context());
        const MainFormUi ui(form);
        QVERIFY(!env.services().texts().empty());
        QCOMPARE(env.services().texts().back(), std::string("Error 88FF: InitNetWare"));
        QCOMPARE(ui.ServerList->count(), 0);
    }

    void openFailureIsReportedAndTheTreeIsStillRooted()
    {
        AppTestEnv env("failing-open.json");
        TMainForm form(env.context());
        const MainFormUi ui(form);
        QVERIFY(env.services().texts().empty());
        ui.ServerList->click(1);
        QCOMPARE(env.services().texts(), std::vector<std::string>({ "Error 0023: NWCCOpenConnByRef" }));
        QCOMPARE(form.session().ServerName, std::string("FS2"));
        QCOMPARE(form.session().VolumeName, std::string());
        QCOMPARE(ui.folders()->rootPath(), std::string("\\\\FS2\\"));
    }

    void connectionChoiceClosesOnlyAnOpenConnection()
    {
        AppTestEnv env("");
        FakeNWClient fake;
        fake.primaryRef = 1;
        fake.connRefs = { 1, 2 };
        fake.refServerNames = { { 1, "FS1" }, { 2, "FS2" } };
        fake.openedHandle = 0x21;
        env.useLibrary(fake);
        TMainForm form(env.context());
        const MainFormUi ui(form);
        QVERIFY(env.services().texts().empty());
        QCOMPARE(ui.ServerList->items(), QStringList({ "FS1", "FS2" }));
        // Start-up: the client's own opening and the first item's; no close, as no
        // connection was open (999) when the first item was chosen.
        QCOMPARE(fake.countOf("closeConn"), 0);
        QCOMPARE(fake.countOf("NWCCOpenConnByRef"), 2);
        QCOMPARE(form.session().ConnHandle, uint32_t(0x21));

        fake.clearCalls();
        ui.ServerList->click(1);
        QCOMPARE(fake.entries(), std::vector<std::string>({ "closeConn", "NWCCOpenConnByRef" }));
        QCOMPARE(fake.calls()[0].args, std::string("33")); // the handle 0x21 opened before
        QCOMPARE(form.session().ServerName, std::string("FS2"));
        QCOMPARE(ui.folders()->rootPath(), std::string("\\\\FS2\\"));
        // Clicking the connection that is chosen already neither closes nor opens it.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        ui.PageControl1->setCurrentWidget(ui.TabSheetSelect);
        fake.clearCalls();
        ClickRadioItem(ui.ServerList, 1);
        QCOMPARE(fake.entries(), std::vector<std::string>());
        QCOMPARE(ui.ServerList->itemIndex(), 1);
        // The context got its flag 4 at start-up.
        QVERIFY(fake.contextFlags & 4u);
    }

    void scanButtonFollowsTheQueueAtStartUpAndOnPageChange()
    {
        AppTestEnv env;
        {
            TMainForm form(env.context());
            const MainFormUi ui(form);
            QVERIFY(!ui.BitBtnScanDirs->isEnabled());
            ui.PageControl1->setCurrentWidget(ui.TabSheetAction);
            QVERIFY(!ui.BitBtnScanDirs->isEnabled());
            // Enabled behind the page's back (say by an earlier rule): a page change
            // applies the queue rule again.
            ui.PageControl1->setCurrentWidget(ui.TabSheetSelect);
            ui.BitBtnScanDirs->setEnabled(true);
            ui.PageControl1->setCurrentWidget(ui.TabSheetAction);
            QVERIFY(!ui.BitBtnScanDirs->isEnabled());
        }
        QVERIFY(WriteFileBytes(env.iniFile(), "[CheckListBoxQ]\n0=\\\\FS1\\VOL1\\R&D\n[CheckListBoxQ Checked]\n"));
        TMainForm form(env.context());
        const MainFormUi ui(form);
        QCOMPARE(ui.CheckListBoxQ->count(), 1);
        QCOMPARE(ui.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 1"));
        QVERIFY(ui.BitBtnScanDirs->isEnabled());
        ui.PageControl1->setCurrentWidget(ui.TabSheetSelect);
        ui.BitBtnScanDirs->setEnabled(false);
        ui.PageControl1->setCurrentWidget(ui.TabSheetAction);
        QVERIFY(ui.BitBtnScanDirs->isEnabled());
    }

    void doubleClickQueuesAFolderOnce()
    {
        AppTestEnv env;
        QVERIFY(WriteFileBytes(env.iniFile(), "[CheckListBoxQ]\n0=\\\\fs1\\vol1\\public\n"));
        TMainForm form(env.context());
        const MainFormUi ui(form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        ui.PageControl1->setCurrentWidget(ui.TabSheetSelect);
        QCOMPARE(queueTexts(ui), QStringList({ "\\\\fs1\\vol1\\public" }));
        QVERIFY(!ui.CheckListBoxQ->checked(0));

        // A real double click on a folder row queues it, checked, and selects it.
        selectFolder(ui, rnD);
        QTRY_VERIFY(ui.ShellTreeView1->visualRect(FolderIndex(*ui.folders(), rnD)).isValid());
        const QRect row = ui.ShellTreeView1->visualRect(FolderIndex(*ui.folders(), rnD));
        // A double click as the system delivers it: a click, then the second press.
        QTest::mouseClick(ui.ShellTreeView1->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(ui.ShellTreeView1->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(queueTexts(ui), QStringList({ "\\\\fs1\\vol1\\public", QString::fromStdString(rnD) }));
        QCOMPARE(ui.CheckListBoxQ->itemIndex(), 1);
        QVERIFY(ui.CheckListBoxQ->checked(1));
        QCOMPARE(ui.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 2"));

        // The same folder again: no second entry; its recursion comes back on.
        ui.CheckListBoxQ->setChecked(1, false);
        ui.CheckListBoxQ->setItemIndex(0);
        ui.doubleClickFolder();
        QCOMPARE(ui.CheckListBoxQ->count(), 2);
        QCOMPARE(ui.CheckListBoxQ->itemIndex(), 1);
        QVERIFY(ui.CheckListBoxQ->checked(1));

        // The same folder in other letter case is the same entry.
        selectFolder(ui, "\\\\FS1\\VOL1\\Public");
        ui.doubleClickFolder();
        QCOMPARE(ui.CheckListBoxQ->count(), 2);
        QCOMPARE(ui.CheckListBoxQ->itemIndex(), 0);
        QVERIFY(ui.CheckListBoxQ->checked(0));

        // With no folder selected a double click changes nothing.
        ui.ShellTreeView1->clearSelection();
        ui.doubleClickFolder();
        QCOMPARE(ui.CheckListBoxQ->count(), 2);
    }

    void removingEntriesAndAnEmptyQueue()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        // A double click in the empty queue changes nothing.
        ui.doubleClickQueue();
        QCOMPARE(ui.CheckListBoxQ->count(), 0);
        QCOMPARE(ui.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 0"));

        selectFolder(ui, rnD);
        ui.doubleClickFolder();
        QVERIFY(ui.BitBtnScanDirs->isEnabled());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        ui.PageControl1->setCurrentWidget(ui.TabSheetSelect);
        const QRect row = ui.CheckListBoxQ->visualItemRect(ui.CheckListBoxQ->item(0));
        QTest::mouseDClick(ui.CheckListBoxQ->viewport(), Qt::LeftButton, {}, row.center() + QPoint(40, 0));
        QCOMPARE(ui.CheckListBoxQ->count(), 0);
        QCOMPARE(ui.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 0"));
        QVERIFY(!ui.BitBtnScanDirs->isEnabled());

        // Adding one enables the button again; a click on the label refreshes it.
        selectFolder(ui, plans);
        ui.doubleClickFolder();
        QVERIFY(ui.BitBtnScanDirs->isEnabled());
        ui.LabelDirSelected->setText(QString());
        QTest::mouseClick(ui.LabelDirSelected, Qt::LeftButton);
        QCOMPARE(ui.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 1"));
    }

    void removalLeavesNoEntrySelected()
    {
        AppTestEnv env;
        QVERIFY(WriteFileBytes(
            env.iniFile(), "[CheckListBoxQ]\n0=\\\\FS1\\VOL1\\A\n1=\\\\FS1\\VOL1\\B\n2=\\\\FS1\\VOL1\\C\n"));
        TMainForm form(env.context());
        const MainFormUi ui(form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        ui.PageControl1->setCurrentWidget(ui.TabSheetSelect);
        QWidget* viewport = ui.CheckListBoxQ->viewport();
        const QRect first = ui.CheckListBoxQ->visualItemRect(ui.CheckListBoxQ->item(0));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, first.center());
        QCOMPARE(queueTexts(ui), QStringList({ "\\\\FS1\\VOL1\\B", "\\\\FS1\\VOL1\\C" }));
        QCOMPARE(ui.CheckListBoxQ->itemIndex(), -1);
        // A double click below the entries removes nothing, also after an entry was picked.
        const QPoint below = first.center() + QPoint(0, 3 * first.height());
        QVERIFY(viewport->rect().contains(below));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, below);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, first.center());
        QCOMPARE(ui.CheckListBoxQ->itemIndex(), 0);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, below);
        QCOMPARE(ui.CheckListBoxQ->count(), 2);
    }

    void treeClickResolvesTheFolderAndEmptiesOnlyTheByPathList()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        ui.results()->lines().appendSetting(lkBase, "x");
        ui.results()->flush();
        ui.byObj()->lines().appendTrusteeHeader(ui.byObj()->lines().names().intern(".Admin.Corp"));
        ui.byObj()->flush();

        selectFolder(ui, plans);
        ui.clickFolder();
        QCOMPARE(form.session().SelectedPath, std::string("\\\\FS1\\VOL1\\R&D\\PLANS2~1"));
        QCOMPARE(ui.StatusBar1->panelText(1), QStringLiteral("\\\\FS1\\VOL1\\R&D\\PLANS2~1"));
        QCOMPARE(form.session().ServerName, std::string("FS1"));
        QCOMPARE(form.session().VolumeName, std::string("VOL1"));
        QCOMPARE(form.session().DirPath, std::string("R&D\\PLANS2~1"));
        QCOMPARE(ui.results()->rowCount(), 0);
        QCOMPARE(ui.byObj()->rowCount(), 1);

        // A click without a selected folder leaves everything as it was.
        ui.results()->lines().appendSetting(lkBase, "y");
        ui.results()->flush();
        ui.ShellTreeView1->clearSelection();
        ui.clickFolder();
        QCOMPARE(ui.results()->rowCount(), 1);
        QCOMPARE(form.session().VolumeName, std::string("VOL1"));
    }

    void switchingConnectionsKeepsTheQueue()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        selectFolder(ui, rnD);
        ui.doubleClickFolder();
        ui.ServerList->click(1);
        QCOMPARE(ui.folders()->rootPath(), std::string("\\\\FS2\\"));
        selectFolder(ui, "\\\\FS2\\DATA\\Shared");
        ui.doubleClickFolder();
        QCOMPARE(queueTexts(ui), QStringList({ QString::fromStdString(rnD), "\\\\FS2\\DATA\\Shared" }));
        ui.ServerList->click(0);
        QCOMPARE(ui.CheckListBoxQ->count(), 2);
        QVERIFY(env.services().texts().empty());
    }
};

QTEST_MAIN(MainFormSelectTest)
#include "MainFormSelect_test.moc"
