// Effective rights in the window: who has access at a folder of the tree or a path line
// of the results, the rights map of a user under the queue, the same bytes as the
// command line, progress and cancelling, closing the window during a query.

#include "AppTestEnv.h"
#include "MainFormUi.h"
#include "app/EffectiveRightsDialog.h"
#include "app/TMainForm.h"
#include "app/models/EffectiveRightsModel.h"
#include "app/models/ReportListModel.h"
#include "app/seams/SaveFileName.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TShellTreeView.h"
#include "scan/LineKinds.h"
#include "services/PendingMessages.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

const std::string rulesNetwork = "../effective-rules.json"; // under tests/data/app
const std::string vol1 = "\\\\FS1\\VOL1";

// What grantwise-report writes for these arguments on the rules network.
std::string commandLineBytes(const QStringList& args)
{
    QProcess report;
    report.start(QStringLiteral(GRANTWISE_REPORT_EXE),
        QStringList { "--network", QString::fromStdString(TestDataPath("effective-rules.json")) } + args);
    report.waitForFinished(60000);
    return report.readAllStandardOutput().toStdString();
}

// Saves the dialog's answer into file, answering the save dialog, and reads it back.
std::string savedBytes(AppTestEnv& env, EffectiveRightsDialog& dialog, bool csv, const std::string& file)
{
    env.services().saveFileName = [&](const SaveFileRequest&) { return std::optional<std::string>(file); };
    dialog.save(csv);
    env.services().saveFileName = nullptr;
    return ReadFileBytes(file);
}

void selectFolder(const MainFormUi& ui, const std::string& path)
{
    ui.ShellTreeView1->selectIndex(FolderIndex(*ui.folders(), path));
    QVERIFY2(ui.ShellTreeView1->selectedPath() == path, path.c_str());
}

// Runs a command of a context menu as the user does: the menu opens (and decides what is
// enabled), the command is chosen.
void choose(QMenu* menu, QAction* command)
{
    menu->popup(QPoint(0, 0));
    menu->hide();
    QVERIFY(command->isEnabled());
    command->trigger();
}

EffectiveRightsDialog* openDialog(TMainForm& form)
{
    const auto dialogs = form.findChildren<EffectiveRightsDialog*>();
    return dialogs.isEmpty() ? nullptr : dialogs.back();
}

// A network of some thousand entries, so that a walk lets messages through often.
std::string writeLargeNetwork(const AppTestEnv& env)
{
    return WriteGeneratedNetwork(
        env, R"("directories": 8, "depth": 3, "files": 4, "users": 50, "groups": 8, "owners": 5)");
}

} // namespace

class EffectiveRightsDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rightsMapOfAUserUnderTheQueueMatchesTheCommandLine()
    {
        AppTestEnv env(rulesNetwork);
        TMainForm form(env.context());
        const MainFormUi ui(form);
        selectFolder(ui, vol1);
        ui.doubleClickFolder();
        ui.RadioGroupScope->click(2);
        choose(ui.PopupMenuS, ui.PopupRightsOfUser);
        EffectiveRightsDialog* dialog = openDialog(form);
        QVERIFY(dialog);
        QAbstractItemModelTester tester(dialog->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        // Completion offers the users of the tree.
        QCOMPARE(dialog->nameEdit->completer()->model()->rowCount(), 6);
        dialog->nameEdit->setText(QStringLiteral("alice.sales.corp"));
        dialog->showButton->click();
        QVERIFY(!dialog->running());
        QCOMPARE(dialog->model()->rowCount(), 12);
        QCOMPARE(dialog->model()->index(2, 0).data().toString(), QString::fromStdString(vol1 + "\\Replace\\Inner"));
        QCOMPARE(dialog->model()->index(2, 1).data().toString(), QStringLiteral("[R]"));
        // The explanation of a row, on demand.
        dialog->table->setCurrentIndex(dialog->model()->index(5, 0));
        QCOMPARE(dialog->explanation->toPlainText(),
            QStringLiteral("member of .Staff.Sales.Corp [RF]: assigned [RWCEF] at \\\\FS1\\VOL1\\Masked; the mask of "
                           "\\\\FS1\\VOL1\\Masked\\Filtered removed [WCE]\n"));

        const QStringList args { "--user", "alice.sales.corp", "--scope", "both", QString::fromStdString(vol1) };
        QCOMPARE(savedBytes(env, *dialog, false, env.home().file("map.txt")),
            commandLineBytes(args + QStringList { "--format", "effective" }));
        QCOMPARE(savedBytes(env, *dialog, true, env.home().file("map.csv")),
            commandLineBytes(args + QStringList { "--format", "effective-csv" }));
        // A file that cannot be written is said; the old one stays.
        const std::string blocked = env.home().file("map.csv") + "/inside.csv";
        QCOMPARE(savedBytes(env, *dialog, true, blocked), std::string());
        QCOMPARE(env.services().texts(), (std::vector<std::string> { "Cannot create file " + blocked }));
        env.services().clearMessages();

        // An unknown name is said, and leaves nothing to save.
        dialog->nameEdit->setText(QStringLiteral("Alicia.Sales.Corp"));
        dialog->showButton->click();
        QCOMPARE(env.services().texts(),
            (std::vector<std::string> { "no object named 'Alicia.Sales.Corp' in the tree RULES" }));
        QCOMPARE(dialog->model()->rowCount(), 0);
        QVERIFY(!dialog->saveCsvButton->isEnabled());
    }

    void whoHasAccessAtAFolderOrAResultsLineMatchesTheCommandLine()
    {
        AppTestEnv env(rulesNetwork);
        TMainForm form(env.context());
        const MainFormUi ui(form);
        QMenu* treeMenu = FindControl<QMenu>(form, "PopupMenuTree");
        QAction* treeRightsOfUser = FindControl<QAction>(form, "TreeRightsOfUser");
        selectFolder(ui, vol1 + "\\Containers");
        choose(treeMenu, FindControl<QAction>(form, "TreeWhoHasAccess"));
        QVERIFY(!treeRightsOfUser->isEnabled()); // nothing queued
        EffectiveRightsDialog* dialog = openDialog(form);
        QVERIFY(dialog);
        QCOMPARE(dialog->model()->rowCount(), 6);
        QCOMPARE(savedBytes(env, *dialog, false, env.home().file("access.txt")),
            commandLineBytes({ "--format", "access", QString::fromStdString(vol1 + "\\Containers") }));
        dialog->close();

        // A trustee line of the results: the path line above it (short names) is asked.
        selectFolder(ui, vol1 + "\\Orphan");
        ui.doubleClickFolder();
        ui.BitBtnScanDirs->click();
        const ReportList& lines = ui.results()->lines();
        int trusteeLine = -1;
        for (size_t i = 0; i < lines.count() && trusteeLine < 0; ++i)
            if (lines.code(i) == lkTrustee)
                trusteeLine = static_cast<int>(i);
        QVERIFY(trusteeLine > 0);
        ui.ListBoxResults->setCurrentIndex(ui.results()->index(trusteeLine));
        ui.openContextMenu(ui.ListBoxResults);
        choose(ui.PopupMenuS, ui.PopupWhoHasAccess);
        dialog = openDialog(form);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Who Has Access - \\\\FS1\\VOL1\\Orphan"));
        QCOMPARE(dialog->model()->index(0, 0).data().toString(), QStringLiteral("ID: [00DEAD01]"));
        QCOMPARE(savedBytes(env, *dialog, true, env.home().file("access.csv")),
            commandLineBytes({ "--format", "access-csv", "FS1\\VOL1:ORPHAN" }));
        QVERIFY(env.services().texts().empty());
    }

    void aLongQueryShowsProgressAndCanBeCancelled()
    {
        AppTestEnv env("");
        const auto network = LoadNetwork(writeLargeNetwork(env));
        env.useLibrary(*network);
        TMainForm form(env.context());
        const MainFormUi ui(form);
        selectFolder(ui, vol1);
        ui.doubleClickFolder();
        choose(ui.PopupMenuS, ui.PopupRightsOfUser);
        EffectiveRightsDialog* dialog = openDialog(form);
        QVERIFY(dialog);
        dialog->nameEdit->setText(QStringLiteral("ASmith.Sales.Corp"));
        // Cancel once the walk has examined a few hundred entries and shown them.
        bool sawProgress = false, lockedMeanwhile = false;
        env.services().pendingMessages = [&] {
            lockedMeanwhile = lockedMeanwhile || !ui.CheckListBoxQ->isEnabled();
            if (dialog->statusLabel->text().contains(QStringLiteral("entries examined"))) {
                sawProgress = true;
                dialog->cancelButton->click();
            }
        };
        dialog->showButton->click();
        env.services().pendingMessages = nullptr;
        QVERIFY(sawProgress);
        QVERIFY(lockedMeanwhile);
        QCOMPARE(dialog->statusLabel->text(), QStringLiteral("Cancelled."));
        QCOMPARE(dialog->model()->rowCount(), 0);
        QVERIFY(!dialog->saveTextButton->isEnabled());
        QVERIFY(ui.CheckListBoxQ->isEnabled());
        // The same query runs to its end when not cancelled.
        dialog->showButton->click();
        QVERIFY(dialog->model()->rowCount() > 1);
        QVERIFY(dialog->statusLabel->text().startsWith(QStringLiteral(".ASmith.Sales.Corp: ")));
    }

    void closingTheWindowDuringAQueryStopsItAndClosesBoth()
    {
        AppTestEnv env("");
        const auto network = LoadNetwork(writeLargeNetwork(env));
        env.useLibrary(*network);
        auto* form = new TMainForm(env.context());
        const MainFormUi ui(*form);
        QPointer<TMainForm> alive(form);
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->show();
        selectFolder(ui, vol1);
        ui.doubleClickFolder();
        choose(ui.PopupMenuS, ui.PopupRightsOfUser);
        QPointer<EffectiveRightsDialog> dialog = openDialog(*form);
        QVERIFY(dialog);
        dialog->nameEdit->setText(QStringLiteral("ASmith.Sales.Corp"));
        bool closed = false;
        env.services().pendingMessages = [&] {
            if (!closed) {
                closed = true;
                form->close(); // deferred: the query is asked to stop
            }
        };
        dialog->showButton->click();
        env.services().pendingMessages = nullptr;
        QTRY_VERIFY(alive.isNull());
        QVERIFY(dialog.isNull());
    }
};

QTEST_MAIN(EffectiveRightsDialogTest)
#include "EffectiveRightsDialog_test.moc"
