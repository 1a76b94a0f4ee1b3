// Start-up, the connection list, the folder tree and the work queue.

#include "AppTestEnv.h"
#include "app/TMainForm.h"
#include "app/models/ReportListModel.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TShellTreeView.h"
#include "app/widgets/TStatusBar.h"
#include "support/FakeNWClient.h"
#include "support/TestServices.h"
#include "util/D_Util.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

const std::string kRnD = "\\\\FS1\\VOL1\\R&D";
const std::string kPlans = "\\\\FS1\\VOL1\\R&D\\Plans 2002";

void selectFolder(TMainForm& form, const std::string& path)
{
    const QModelIndex index = FolderIndex(*form.folderModel(), path);
    QVERIFY2(index.isValid(), path.c_str());
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        form.ShellTreeView1->expand(parent);
    form.ShellTreeView1->selectIndex(index);
}

QStringList queueTexts(const TMainForm& form)
{
    QStringList texts;
    for (int i = 0; i < form.CheckListBoxQ->count(); ++i)
        texts.append(form.CheckListBoxQ->itemText(i));
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
        QAbstractItemModelTester tester(form.folderModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(env.services().texts().empty());
        QCOMPARE(form.ServerList->items(), QStringList({ "FS1", "FS2" }));
        QCOMPARE(form.ServerList->itemIndex(), 0);
        QVERIFY(form.session().ConnHandle != ScanSession::noConnection);
        QCOMPARE(form.session().ServerName, std::string("FS1"));
        QCOMPARE(form.folderModel()->rootPath(), std::string("\\\\FS1\\"));
        // The tree lists the server's volumes.
        const QModelIndex server = form.folderModel()->rootFolderIndex();
        QTRY_COMPARE(form.folderModel()->rowCount(server), 2);
        QCOMPARE(form.folderModel()->index(0, 0, server).data().toString(), QStringLiteral("VOL1"));
        QCOMPARE(form.folderModel()->index(1, 0, server).data().toString(), QStringLiteral("SYS"));
        QCOMPARE(form.PageControl1->currentWidget(), form.TabSheetInfo);
    }

    void clientFailureReportsInitNetWareAndKeepsTheDesignTimeRoot()
    {
        AppTestEnv env("failing-client.json");
        TMainForm form(env.context());
        QVERIFY(!env.services().texts().empty());
        QCOMPARE(env.services().messages().back().type, int(mtError));
        QCOMPARE(env.services().texts().back(), std::string("Error 8801: InitNetWare"));
        QCOMPARE(form.ServerList->count(), 0);
        QCOMPARE(form.session().ConnHandle, ScanSession::noConnection);
        QCOMPARE(form.folderModel()->rootPath(), std::string("C:\\"));
        QCOMPARE(form.folderModel()->pathOf(form.folderModel()->rootFolderIndex()), std::string("/"));
        // The window still works: it opens, and the Info page is in front.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.PageControl1->currentWidget(), form.TabSheetInfo);
    }

    void unreadableNetworkDescriptionIsAStartUpFailure()
    {
        AppTestEnv env("no-such-network.json");
        TMainForm form(env.context());
        QVERIFY(!env.services().texts().empty());
        QCOMPARE(env.services().texts().back(), std::string("Error 88FF: InitNetWare"));
        QCOMPARE(form.ServerList->count(), 0);
    }

    void openFailureIsReportedAndTheTreeIsStillRooted()
    {
        AppTestEnv env("failing-open.json");
        TMainForm form(env.context());
        QVERIFY(env.services().texts().empty());
        form.ServerList->click(1);
        QCOMPARE(env.services().texts(), std::vector<std::string>({ "Error 0023: NWCCOpenConnByRef" }));
        QCOMPARE(form.session().ServerName, std::string("FS2"));
        QCOMPARE(form.session().VolumeName, std::string());
        QCOMPARE(form.folderModel()->rootPath(), std::string("\\\\FS2\\"));
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
        QVERIFY(env.services().texts().empty());
        QCOMPARE(form.ServerList->items(), QStringList({ "FS1", "FS2" }));
        // Start-up: the client's own opening and the first item's; no close, as no
        // connection was open (999) when the first item was chosen.
        QCOMPARE(fake.countOf("closeConn"), 0);
        QCOMPARE(fake.countOf("NWCCOpenConnByRef"), 2);
        QCOMPARE(form.session().ConnHandle, uint32_t(0x21));

        fake.clearCalls();
        form.ServerList->click(1);
        QCOMPARE(fake.entries(), std::vector<std::string>({ "closeConn", "NWCCOpenConnByRef" }));
        QCOMPARE(fake.calls()[0].args, std::string("33")); // the handle 0x21 opened before
        QCOMPARE(form.session().ServerName, std::string("FS2"));
        QCOMPARE(form.folderModel()->rootPath(), std::string("\\\\FS2\\"));
        // Clicking the connection that is chosen already neither closes nor opens it.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.PageControl1->setCurrentWidget(form.TabSheetSelect);
        fake.clearCalls();
        ClickRadioItem(form.ServerList, 1);
        QCOMPARE(fake.entries(), std::vector<std::string>());
        QCOMPARE(form.ServerList->itemIndex(), 1);
        // The context got its flag 4 at start-up.
        QVERIFY(fake.contextFlags & 4u);
    }

    void scanButtonFollowsTheQueueAtStartUpAndOnPageChange()
    {
        AppTestEnv env;
        {
            TMainForm form(env.context());
            QVERIFY(!form.BitBtnScanDirs->isEnabled());
            form.PageControl1->setCurrentWidget(form.TabSheetAction);
            QVERIFY(!form.BitBtnScanDirs->isEnabled());
            // Enabled behind the page's back (say by an earlier rule): a page change
            // applies the queue rule again.
            form.PageControl1->setCurrentWidget(form.TabSheetSelect);
            form.BitBtnScanDirs->setEnabled(true);
            form.PageControl1->setCurrentWidget(form.TabSheetAction);
            QVERIFY(!form.BitBtnScanDirs->isEnabled());
        }
        QVERIFY(WriteFileBytes(env.iniFile(), "[CheckListBoxQ]\n0=\\\\FS1\\VOL1\\R&D\n[CheckListBoxQ Checked]\n"));
        TMainForm form(env.context());
        QCOMPARE(form.CheckListBoxQ->count(), 1);
        QCOMPARE(form.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 1"));
        QVERIFY(form.BitBtnScanDirs->isEnabled());
        form.PageControl1->setCurrentWidget(form.TabSheetSelect);
        form.BitBtnScanDirs->setEnabled(false);
        form.PageControl1->setCurrentWidget(form.TabSheetAction);
        QVERIFY(form.BitBtnScanDirs->isEnabled());
    }

    void doubleClickQueuesAFolderOnce()
    {
        AppTestEnv env;
        QVERIFY(WriteFileBytes(env.iniFile(), "[CheckListBoxQ]\n0=\\\\fs1\\vol1\\public\n"));
        TMainForm form(env.context());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.PageControl1->setCurrentWidget(form.TabSheetSelect);
        QCOMPARE(queueTexts(form), QStringList({ "\\\\fs1\\vol1\\public" }));
        QVERIFY(!form.CheckListBoxQ->checked(0));

        // A real double click on a folder row queues it, checked, and selects it.
        selectFolder(form, kRnD);
        QTRY_VERIFY(form.ShellTreeView1->visualRect(FolderIndex(*form.folderModel(), kRnD)).isValid());
        const QRect row = form.ShellTreeView1->visualRect(FolderIndex(*form.folderModel(), kRnD));
        // A double click as the system delivers it: a click, then the second press.
        QTest::mouseClick(form.ShellTreeView1->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(form.ShellTreeView1->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(queueTexts(form), QStringList({ "\\\\fs1\\vol1\\public", QString::fromStdString(kRnD) }));
        QCOMPARE(form.CheckListBoxQ->itemIndex(), 1);
        QVERIFY(form.CheckListBoxQ->checked(1));
        QCOMPARE(form.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 2"));

        // The same folder again: no second entry; its recursion comes back on.
        form.CheckListBoxQ->setChecked(1, false);
        form.CheckListBoxQ->setItemIndex(0);
        form.ShellTreeView1DblClick();
        QCOMPARE(form.CheckListBoxQ->count(), 2);
        QCOMPARE(form.CheckListBoxQ->itemIndex(), 1);
        QVERIFY(form.CheckListBoxQ->checked(1));

        // The same folder in other letter case is the same entry.
        selectFolder(form, "\\\\FS1\\VOL1\\Public");
        form.ShellTreeView1DblClick();
        QCOMPARE(form.CheckListBoxQ->count(), 2);
        QCOMPARE(form.CheckListBoxQ->itemIndex(), 0);
        QVERIFY(form.CheckListBoxQ->checked(0));

        // With no folder selected a double click changes nothing.
        form.ShellTreeView1->clearSelection();
        form.ShellTreeView1DblClick();
        QCOMPARE(form.CheckListBoxQ->count(), 2);
    }

    void removingEntriesAndAnEmptyQueue()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        // A double click in the empty queue changes nothing.
        form.CheckListBoxQDblClick();
        QCOMPARE(form.CheckListBoxQ->count(), 0);
        QCOMPARE(form.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 0"));

        selectFolder(form, kRnD);
        form.ShellTreeView1DblClick();
        QVERIFY(form.BitBtnScanDirs->isEnabled());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.PageControl1->setCurrentWidget(form.TabSheetSelect);
        const QRect row = form.CheckListBoxQ->visualItemRect(form.CheckListBoxQ->item(0));
        QTest::mouseDClick(form.CheckListBoxQ->viewport(), Qt::LeftButton, {}, row.center() + QPoint(40, 0));
        QCOMPARE(form.CheckListBoxQ->count(), 0);
        QCOMPARE(form.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 0"));
        QVERIFY(!form.BitBtnScanDirs->isEnabled());

        // Adding one enables the button again; a click on the label refreshes it.
        selectFolder(form, kPlans);
        form.ShellTreeView1DblClick();
        QVERIFY(form.BitBtnScanDirs->isEnabled());
        form.LabelDirSelected->setText(QString());
        QTest::mouseClick(form.LabelDirSelected, Qt::LeftButton);
        QCOMPARE(form.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 1"));
    }

    void removalLeavesNoEntrySelected()
    {
        AppTestEnv env;
        QVERIFY(WriteFileBytes(env.iniFile(), "[CheckListBoxQ]\n0=\\\\FS1\\VOL1\\A\n1=\\\\FS1\\VOL1\\B\n2=\\\\FS1\\VOL1\\C\n"));
        TMainForm form(env.context());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.PageControl1->setCurrentWidget(form.TabSheetSelect);
        QWidget* viewport = form.CheckListBoxQ->viewport();
        const QRect first = form.CheckListBoxQ->visualItemRect(form.CheckListBoxQ->item(0));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, first.center());
        QCOMPARE(queueTexts(form), QStringList({ "\\\\FS1\\VOL1\\B", "\\\\FS1\\VOL1\\C" }));
        QCOMPARE(form.CheckListBoxQ->itemIndex(), -1);
        // A double click below the entries removes nothing, also after an entry was picked.
        const QPoint below = first.center() + QPoint(0, 3 * first.height());
        QVERIFY(viewport->rect().contains(below));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, below);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, first.center());
        QCOMPARE(form.CheckListBoxQ->itemIndex(), 0);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, below);
        QCOMPARE(form.CheckListBoxQ->count(), 2);
    }

    void treeClickResolvesTheFolderAndEmptiesOnlyTheByPathList()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        form.resultsModel()->append("Base: x", 10);
        form.resultsModel()->flush();
        form.byObjModel()->append("Trustee: .Admin.Corp ", 0);
        form.byObjModel()->flush();

        selectFolder(form, kPlans);
        form.ShellTreeView1Click();
        QCOMPARE(form.session().SelectedPath, std::string("\\\\FS1\\VOL1\\R&D\\PLANS2~1"));
        QCOMPARE(form.StatusBar1->panelText(1), QStringLiteral("\\\\FS1\\VOL1\\R&D\\PLANS2~1"));
        QCOMPARE(form.session().ServerName, std::string("FS1"));
        QCOMPARE(form.session().VolumeName, std::string("VOL1"));
        QCOMPARE(form.session().DirPath, std::string("R&D\\PLANS2~1"));
        QCOMPARE(form.resultsModel()->rowCount(), 0);
        QCOMPARE(form.byObjModel()->rowCount(), 1);

        // A click without a selected folder leaves everything as it was.
        form.resultsModel()->append("Base: y", 10);
        form.resultsModel()->flush();
        form.ShellTreeView1->clearSelection();
        form.ShellTreeView1Click();
        QCOMPARE(form.resultsModel()->rowCount(), 1);
        QCOMPARE(form.session().VolumeName, std::string("VOL1"));
    }

    void switchingConnectionsKeepsTheQueue()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        selectFolder(form, kRnD);
        form.ShellTreeView1DblClick();
        form.ServerList->click(1);
        QCOMPARE(form.folderModel()->rootPath(), std::string("\\\\FS2\\"));
        selectFolder(form, "\\\\FS2\\DATA\\Shared");
        form.ShellTreeView1DblClick();
        QCOMPARE(queueTexts(form), QStringList({ QString::fromStdString(kRnD), "\\\\FS2\\DATA\\Shared" }));
        form.ServerList->click(0);
        QCOMPARE(form.CheckListBoxQ->count(), 2);
        QVERIFY(env.services().texts().empty());
    }
};

QTEST_MAIN(MainFormSelectTest)
#include "MainFormSelect_test.moc"
