// The scan page: the scan run as the window drives it, the list by trustee, long names,
// saving, closing during long operations, and settings across a restart.

#include "AppTestEnv.h"
#include "MainFormUi.h"
#include "app/CompareDialog.h"
#include "app/TMainForm.h"
#include "app/models/ReportListModel.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TShellTreeView.h"
#include "app/widgets/TStatusBar.h"
#include "util/D_Util.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

#include <functional>
#include <optional>
#include <utility>

namespace {

const std::string rnD = "\\\\FS1\\VOL1\\R&D";

void queueFolder(const MainFormUi& ui, const std::string& path, bool recurse = true)
{
    ui.ShellTreeView1->selectIndex(FolderIndex(*ui.folders(), path));
    QVERIFY2(ui.ShellTreeView1->selectedPath() == path, path.c_str());
    ui.doubleClickFolder();
    ui.CheckListBoxQ->setChecked(ui.CheckListBoxQ->itemIndex(), recurse);
}

std::vector<std::string> lines(const ReportList& list)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < list.count(); ++i)
        out.emplace_back(list.text(i));
    return out;
}

// Answers the save dialog with a fixed name (or as cancelled) and keeps what it was asked.
class DialogAnswer {
public:
    DialogAnswer(AppTestEnv& env, std::optional<std::string> fileName)
        : m_env(env)
    {
        env.services().saveFileName = [this, fileName](const SaveFileRequest& request) {
            requests.push_back(request);
            return fileName;
        };
    }
    ~DialogAnswer() { m_env.services().saveFileName = nullptr; }
    std::vector<SaveFileRequest> requests;

private:
    AppTestEnv& m_env;
};

// What grantwise-report writes for the window's network, R&D with scope and info both,
// and more arguments.
std::string commandLineOutput(const QStringList& more)
{
    QProcess report;
    report.start(QStringLiteral(GRANTWISE_REPORT_EXE),
        QStringList { "--network", QString::fromStdString(TestDataPath("app/window-network.json")),
            QString::fromStdString(rnD), "--scope", "both", "--info", "both" }
            + more);
    report.waitForFinished(60000);
    return report.readAllStandardOutput().toStdString();
}

// An HTML page with its time stamp, the one part that differs between two runs, blanked.
std::string withoutTime(const std::string& html)
{
    return QString::fromStdString(html)
        .replace(QRegularExpression(QStringLiteral("<time datetime=\"[^\"]*\">[^<]*</time>")), QStringLiteral("<time>"))
        .toStdString();
}

// Runs an action at the first pending-messages call of a long operation (before the
// window's own pump, which then runs as usual).
class DuringOperation {
public:
    DuringOperation(AppTestEnv& env, std::function<void()> action)
        : m_env(env)
    {
        env.services().pendingMessages = [action = std::move(action)]() mutable {
            if (action)
                std::exchange(action, nullptr)();
        };
    }
    ~DuringOperation() { m_env.services().pendingMessages = nullptr; }

private:
    AppTestEnv& m_env;
};

// A shown window that deletes itself when it closes (as the program's window ends).
QPointer<TMainForm> shownClosingForm(AppTestEnv& env)
{
    auto* form = new TMainForm(env.context());
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    return form;
}

// Shows the window and makes it the active one, as the keyboard's window keys need.
void showActive(TMainForm& form)
{
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

// The window's status texts beside the panels: the lines count and the progress or outcome.
QString statusLines(const TMainForm& form)
{
    return FindControl<QLabel>(form, "StatusLines")->text();
}
QString statusInfo(const TMainForm& form)
{
    return FindControl<QLabel>(form, "StatusInfo")->text();
}

// The filter has examined every line.
void waitFiltered(const MainFormUi& ui)
{
    QTRY_VERIFY(!ui.results()->filtering() && !ui.byObj()->filtering());
}

std::vector<std::string> rowTexts(const ReportListModel* model)
{
    std::vector<std::string> out;
    for (int row = 0; row < model->rowCount(); ++row)
        out.push_back(model->data(model->index(row)).toString().toStdString());
    return out;
}

} // namespace

class MainFormScanTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scanFillsTheByPathListAndEndsIdle()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        QAbstractItemModelTester resultsTester(ui.results(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester byObjTester(ui.byObj(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        queueFolder(ui, rnD, false);
        ui.byObj()->lines().appendTrusteeHeader(ui.byObj()->lines().names().intern(".Old"));
        ui.byObj()->flush();
        ui.PopupGetLongNames->setEnabled(false);
        MainFormUi::showPageQuietly(ui.PageControl2, ui.TabSheetByObj);
        ui.RadioGroupInfo->click(2);
        const int memoLines = ui.Memo1->model()->rowCount();

        ui.BitBtnScanDirs->click();
        // The lines show as soon as the scan ends, with no layout pass left for the event loop.
        QVERIFY(ui.ListBoxResults->indexAt(QPoint(2, 2)).isValid());
        QCOMPARE(ui.PageControl2->currentWidget(), ui.TabSheetByPath);
        QCOMPARE(ui.byObj()->rowCount(), 0);
        const std::vector<std::string> report = lines(ui.results()->lines());
        QCOMPARE(ui.results()->rowCount(), int(report.size()));
        const std::vector<std::string> expected { "Base: \\\\FS1\\VOL1\\R&D", "     Subdirs: FALSE", "     Filter: *.*",
            "     Info: Trustees and Owner", "     Scope: Directories", "", "FS1\\VOL1:R&D",
            "     Trustee: .Admin.Corp [RWCEAFM]", "     Trustee: .Staff.Corp [RF]", "FS1\\VOL1:R&D",
            "     Owner: .Admin.Corp", "", "" };
        QCOMPARE(report, expected);
        // Idle again: status panel empty, long names and the button enabled, no locks.
        QCOMPARE(ui.StatusBar1->panelText(1), QString());
        QVERIFY(ui.PopupGetLongNames->isEnabled());
        QVERIFY(ui.BitBtnScanDirs->isEnabled());
        QVERIFY(ui.ServerList->isEnabled() && ui.ShellTreeView1->isEnabled() && ui.CheckListBoxQ->isEnabled());
        QVERIFY(!form.scanRunning());
        QVERIFY(QApplication::overrideCursor() == nullptr);
        // The trustee names of every entry went to the Info page.
        QCOMPARE(ui.Memo1->model()->rowCount(), memoLines + 2);
        QVERIFY(ui.infoText().endsWith(QStringLiteral(".Admin.Corp\n.Staff.Corp")));
        QVERIFY(env.services().texts().empty());
    }

    void scopeChoiceNoneRunsNoScan()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        queueFolder(ui, rnD);
        ui.RadioGroupScope->setItemIndex(-1);
        ui.StatusBar1->setPanelText(1, QStringLiteral("x"));
        ui.BitBtnScanDirs->click();
        QCOMPARE(ui.results()->rowCount(), 0);
        QCOMPARE(ui.StatusBar1->panelText(1), QString());
    }

    void whileScanningTheQueueSideAndTheChoicesAreLocked()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        ui.PageControl1->setCurrentWidget(ui.TabSheetAction);
        queueFolder(ui, rnD);
        queueFolder(ui, "\\\\FS1\\VOL1\\Public");
        ui.RadioGroupInfo->click(2);
        bool checked = false;
        DuringOperation during(env, [&] {
            checked = true;
            QVERIFY(form.scanRunning());
            QVERIFY(!ui.BitBtnScanDirs->isEnabled());
            QVERIFY(!ui.ServerList->isEnabled());
            QVERIFY(!ui.ShellTreeView1->isEnabled());
            QVERIFY(!ui.CheckListBoxQ->isEnabled());
            // The handlers that apply the queue rule do not enable the button now.
            ui.LabelDirSelected->clear();
            ui.clickLabel();
            QVERIFY(ui.LabelDirSelected->text().endsWith(QStringLiteral(": 2"))); // it ran
            ui.PageControl1->setCurrentWidget(ui.TabSheetSelect);
            ui.PageControl1->setCurrentWidget(ui.TabSheetAction);
            QVERIFY(!ui.BitBtnScanDirs->isEnabled());
            // A click on "&Owner" and typing into the pattern change nothing.
            ClickRadioItem(ui.RadioGroupInfo, 1);
            QTest::keyClicks(ui.EditPattern, "X");
            QVERIFY(!ui.RadioGroupScope->isEnabled() && !ui.CheckBox_IRM->isEnabled());
            // The status panel shows the entry's path once the event loop has run.
            QCoreApplication::processEvents();
            QVERIFY(!ui.StatusBar1->panelText(1).isEmpty());
        });
        ui.BitBtnScanDirs->click();
        QVERIFY(checked);
        QVERIFY(ui.BitBtnScanDirs->isEnabled() && ui.RadioGroupInfo->isEnabled() && ui.EditPattern->isEnabled());
        // Both settings blocks describe the lines below them.
        const std::vector<std::string> report = lines(ui.results()->lines());
        QCOMPARE(std::count(report.begin(), report.end(), "     Info: Trustees and Owner"), 2);
        QCOMPARE(std::count(report.begin(), report.end(), "     Filter: *.*"), 2);
    }

    void unreadableStartPathsAreNamedInOneMessage()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        queueFolder(ui, "\\\\FS1\\VOL1\\Locked");
        ui.CheckListBoxQ->addItem(QStringLiteral("\\\\FS9\\VOL1\\GONE"));
        queueFolder(ui, "\\\\FS1\\VOL1\\Public");
        ui.BitBtnScanDirs->click();
        QCOMPARE(env.services().texts().size(), size_t(1));
        QCOMPARE(env.services().messages()[0].type, int(mtWarning));
        const std::string text = env.services().texts()[0];
        QVERIFY2(text.find("\\\\FS1\\VOL1\\Locked\n    0x89A8") != std::string::npos, text.c_str());
        QVERIFY2(text.find("\\\\FS9\\VOL1\\GONE\n    0x880F") != std::string::npos, text.c_str());
        QVERIFY(text.find("Public") == std::string::npos);
    }

    void byTrusteeListIsBuiltOnTheUsersTabChangeOnly()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        QAbstractItemModelTester byObjTester(ui.byObj(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        queueFolder(ui, rnD);
        ui.BitBtnScanDirs->click();
        // The scan's own switch to the by-path tab built nothing.
        QCOMPARE(ui.byObj()->rowCount(), 0);
        ui.PageControl2->setCurrentWidget(ui.TabSheetByObj);
        const std::vector<std::string> expected { "Trustee: .Admin.Corp ", "     FS1\\VOL1:R&D\\PLANS2~1 [RF]",
            "     FS1\\VOL1:R&D [RWCEAFM]", "Trustee: .Staff.Corp ", "     FS1\\VOL1:R&D [RF]" };
        QCOMPARE(lines(ui.byObj()->lines()), expected);
        QCOMPARE(ui.byObj()->rowCount(), 5);
        // Built once: later tab changes keep it.
        ui.PageControl2->setCurrentWidget(ui.TabSheetByPath);
        ui.results()->clear();
        ui.PageControl2->setCurrentWidget(ui.TabSheetByObj);
        QCOMPARE(ui.byObj()->rowCount(), 5);
    }

    void aListByTrusteeBuiltBeforeTheScanEndedIsBuiltAgain()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        queueFolder(ui, rnD);
        queueFolder(ui, "\\\\FS1\\VOL1\\Public");
        {
            // The user shows the list by trustee while the scan has written little yet.
            DuringOperation during(env, [&] { ui.PageControl2->setCurrentWidget(ui.TabSheetByObj); });
            ui.BitBtnScanDirs->click();
        }
        // Its tab is still shown, so it is built again from the whole results, and that
        // is what its text form saves.
        const std::string saved = env.home().file("by-trustee.txt");
        DialogAnswer answer(env, saved);
        ui.openContextMenu(ui.ListBoxByObj);
        ui.PopopSaveAsText->trigger();
        QCOMPARE(ReadFileBytes(saved),
            std::string("Trustee: .Admin.Corp \r\n     FS1\\VOL1:R&D\\PLANS2~1 [RF]\r\n     FS1\\VOL1:R&D [RWCEAFM]\r\n"
                        "Trustee: .Staff.Corp \r\n     FS1\\VOL1:R&D [RF]\r\nTrustee: [Public] \r\n"
                        "     FS1\\VOL1:PUBLIC [RF]\r\n"));
    }

    void longNamesAndSavesDoNotStartDuringAnotherLongOperation()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        queueFolder(ui, rnD);
        DialogAnswer answer(env, env.home().file("during.txt"));
        {
            DuringOperation during(env, [&] {
                QVERIFY(!ui.PopupGetLongNames->isEnabled() && !ui.PopopSaveAsXML->isEnabled());
                for (QAction* command : { ui.PopupGetLongNames, ui.PopopSaveAsText, ui.PopopSaveAsXML })
                    command->trigger();
            });
            ui.BitBtnScanDirs->click();
        }
        // Nothing was saved, and long names did not run: the command is still there.
        QVERIFY(answer.requests.empty());
        const std::vector<std::string> report = lines(ui.results()->lines());
        QVERIFY(std::find(report.begin(), report.end(), "FS1\\VOL1:R&D\\PLANS2~1") != report.end());
        QVERIFY(ui.PopupGetLongNames->isEnabled() && ui.PopopSaveAsXML->isEnabled());
    }

    void longNamesFromTheByTrusteeTabConvertTheByPathList()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        queueFolder(ui, rnD);
        ui.BitBtnScanDirs->click();
        ui.PageControl2->setCurrentWidget(ui.TabSheetByObj);
        const std::vector<std::string> byTrusteeBefore = lines(ui.byObj()->lines());
        const std::vector<std::string> before = lines(ui.results()->lines());

        ui.openContextMenu(ui.ListBoxByObj);
        ui.PopupGetLongNames->trigger();
        QVERIFY(!ui.PopupGetLongNames->isEnabled());
        const std::vector<std::string> after = lines(ui.results()->lines());
        QCOMPARE(after.size(), before.size());
        QVERIFY(std::find(after.begin(), after.end(), "\\\\FS1\\VOL1\\R&D\\Plans 2002") != after.end());
        QVERIFY(std::find(after.begin(), after.end(), "FS1\\VOL1:R&D\\PLANS2~1") == after.end());
        QCOMPARE(ui.results()->data(ui.results()->index(6)).toString(), QStringLiteral("\\\\FS1\\VOL1\\R&D"));
        // The list by trustee shown is built again from the long paths.
        QCOMPARE(lines(ui.byObj()->lines()).size(), byTrusteeBefore.size());
        QCOMPARE(lines(ui.byObj()->lines())[1], std::string("     \\\\FS1\\VOL1\\R&D\\Plans 2002 [RF]"));
        QVERIFY(ui.BitBtnScanDirs->isEnabled());

        // Disabled until the next scan ends.
        ui.BitBtnScanDirs->click();
        QVERIFY(ui.PopupGetLongNames->isEnabled());
    }

    void savingTheThreeForms()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        queueFolder(ui, rnD, false);
        ui.BitBtnScanDirs->click();
        ui.PageControl2->setCurrentWidget(ui.TabSheetByObj);

        // The text form from the by-path list, with the dialog set up for it.
        const std::string text = env.home().file("by-path.txt");
        {
            DialogAnswer answer(env, text);
            ui.openContextMenu(ui.ListBoxResults);
            ui.PopopSaveAsText->trigger();
            QCOMPARE(answer.requests.size(), size_t(1));
            QCOMPARE(answer.requests[0].fileName, std::string("Trustees.txt"));
            QCOMPARE(answer.requests[0].defaultExt, std::string("txt"));
            QCOMPARE(answer.requests[0].filter, std::string("TXT Files|*.txt|All Files|*.*"));
        }
        QVERIFY(ReadFileBytes(text).rfind("Base: \\\\FS1\\VOL1\\R&D\r\n     Subdirs: FALSE\r\n", 0) == 0);

        // The text form from the by-trustee list writes that list.
        const std::string byTrustee = env.home().file("by-trustee.txt");
        {
            DialogAnswer answer(env, byTrustee);
            ui.openContextMenu(ui.ListBoxByObj);
            ui.PopopSaveAsText->trigger();
        }
        QCOMPARE(ReadFileBytes(byTrustee),
            std::string("Trustee: .Admin.Corp \r\n     FS1\\VOL1:R&D [RWCEAFM]\r\nTrustee: .Staff.Corp \r\n"
                        "     FS1\\VOL1:R&D [RF]\r\n"));

        // Batch and XML from the by-trustee list still write the by-path results.
        const std::string bat = env.home().file("rights.bat");
        {
            DialogAnswer answer(env, bat);
            ui.PopopSaveAsBat->trigger();
            // Proposed in the folder saved to last.
            QCOMPARE(answer.requests[0].fileName, env.home().file("Trustees.bat"));
            QCOMPARE(answer.requests[0].filter, std::string("BAT Files|*.bat|All Files|*.*"));
        }
        const std::string batBytes = ReadFileBytes(bat);
        QVERIFY2(batBytes.find("/Name=\".Admin.Corp\"") != std::string::npos, batBytes.c_str());
        QVERIFY(batBytes.find("REM Owner") == std::string::npos); // info was trustees only
        const std::string xml = env.home().file("rights.xml");
        {
            DialogAnswer answer(env, xml);
            ui.PopopSaveAsXML->trigger();
            QCOMPARE(answer.requests[0].defaultExt, std::string("xml"));
        }
        const std::string xmlBytes = ReadFileBytes(xml);
        QVERIFY(xmlBytes.rfind("<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?><document>\r\n", 0)
            == 0);
        QVERIFY(xmlBytes.find("<base>\\\\FS1\\VOL1\\R&amp;D</base>") != std::string::npos);
        QVERIFY(env.services().texts().empty());
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void auditFormsAndCompareWriteWhatTheCommandLineWrites()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        queueFolder(ui, rnD);
        ui.RadioGroupScope->click(2);
        ui.RadioGroupInfo->click(2);
        ui.BitBtnScanDirs->click();

        const std::string csv = env.home().file("audit.csv");
        {
            DialogAnswer answer(env, csv);
            ui.PopopSaveAsCSV->trigger();
            QCOMPARE(answer.requests[0].fileName, std::string("Trustees.csv"));
            QCOMPARE(answer.requests[0].filter, std::string("CSV Files|*.csv|All Files|*.*"));
        }
        QCOMPARE(ReadFileBytes(csv), commandLineOutput({ "--format", "csv" }));
        const std::string html = env.home().file("audit.html");
        {
            DialogAnswer answer(env, html);
            ui.PopopSaveAsHTML->trigger();
            QCOMPARE(answer.requests[0].defaultExt, std::string("html"));
        }
        QVERIFY(ReadFileBytes(html).find("<dt>Entries examined</dt><dd>3</dd>") != std::string::npos);
        QCOMPARE(withoutTime(ReadFileBytes(html)), withoutTime(commandLineOutput({ "--format", "html" })));

        // Compared with its own save, nothing differs.
        const std::string xml = env.home().file("audit.xml");
        {
            DialogAnswer answer(env, xml);
            ui.PopopSaveAsXML->trigger();
        }
        std::vector<SaveFileRequest> asked;
        std::string chosen = xml;
        env.services().openFileName = [&](const SaveFileRequest& request) {
            asked.push_back(request);
            return std::optional<std::string>(chosen);
        };
        ui.PopupCompareXml->trigger();
        QCOMPARE(asked.size(), size_t(1));
        QCOMPARE(asked[0].filter, std::string("XML Files|*.xml|All Files|*.*"));
        QPointer<CompareDialog> dialog = form.findChild<CompareDialog*>();
        QVERIFY(dialog);
        QCOMPARE(
            dialog->findChild<QLabel*>(QStringLiteral("CompareSummary"))->text(), QStringLiteral("Nothing differs."));
        QCOMPARE(dialog->findChild<QListView*>(QStringLiteral("CompareList"))->model()->rowCount(), 0);
        dialog->close();
        QTRY_VERIFY(!dialog);

        // A save with other rights: the list shows the difference, and its saves are the
        // command line's bytes.
        std::string older = ReadFileBytes(xml);
        const size_t at = older.find("<rights>RWCEAFM</rights>");
        QVERIFY(at != std::string::npos);
        older.replace(at, 24, "<rights>RF</rights>");
        chosen = env.home().file("older.xml");
        QVERIFY(WriteFileBytes(chosen, older));
        ui.PopupCompareXml->trigger();
        dialog = form.findChild<CompareDialog*>();
        QVERIFY(dialog);
        const QAbstractItemModel* rows = dialog->findChild<QListView*>(QStringLiteral("CompareList"))->model();
        QCOMPARE(rows->rowCount(), 1);
        QCOMPARE(rows->data(rows->index(0, 0)).toString(),
            QStringLiteral("Changed trustee at FS1\\VOL1:R&D: .Admin.Corp: RF -> RWCEAFM"));
        for (const auto& [button, format] :
            { std::pair { "CompareSaveText", "txt" }, { "CompareSaveCsv", "csv" }, { "CompareSaveHtml", "html" } }) {
            const std::string saved = env.home().file(std::string("compare.") + format);
            {
                DialogAnswer answer(env, saved);
                dialog->findChild<QPushButton*>(QLatin1String(button))->click();
                QCOMPARE(answer.requests[0].fileName, std::string("Compare.") + format);
            }
            QCOMPARE(withoutTime(ReadFileBytes(saved)),
                withoutTime(commandLineOutput({ "--compare", QString::fromStdString(chosen), "--format", format })));
        }
        dialog->close();
        QTRY_VERIFY(!dialog);

        // A file that is not Grantwise XML: said with its place, no dialog.
        QVERIFY(WriteFileBytes(chosen, "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<report/>"));
        ui.PopupCompareXml->trigger();
        QVERIFY(!form.findChild<CompareDialog*>());
        QCOMPARE(env.services().texts(),
            std::vector<std::string>(
                { chosen + ":2:9: not a Grantwise XML file: the root element is not <document>" }));
        QCOMPARE(env.services().messages()[0].type, int(mtError));
        // Cancelled: nothing happens.
        env.services().openFileName = nullptr;
        ui.PopupCompareXml->trigger();
        QCOMPARE(env.services().messages().size(), size_t(1));
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void aBatchSaveWarnsOfTheLinesThatAreNotRun()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        queueFolder(ui, rnD);
        ui.RadioGroupScope->click(2); // files too: budget.xls has a trustee without a name
        ui.BitBtnScanDirs->click();
        const std::string bat = env.home().file("rights.bat");
        {
            DialogAnswer answer(env, bat);
            ui.PopopSaveAsBat->trigger();
        }
        QCOMPARE(env.services().texts(),
            std::vector<std::string>(
                { "1 RIGHTS line is a remark that is not run ('REM Not run, ...'): 1 unknown trustee" }));
        QCOMPARE(env.services().messages()[0].type, int(mtWarning));
        QVERIFY(ReadFileBytes(bat).find("\r\nREM Not run, unknown trustee: RIGHTS FS1\\VOL1:R&D\\BUDGET.XLS RF "
                                        "/Name=\"ID: [0001A2B3]\"\r\n")
            != std::string::npos);
    }

    void cancelledOrFailedSavesWriteNothing()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        queueFolder(ui, rnD);
        ui.BitBtnScanDirs->click();
        {
            DialogAnswer answer(env, std::nullopt);
            ui.PopopSaveAsXML->trigger();
            QCOMPARE(answer.requests.size(), size_t(1));
        }
        QVERIFY(env.services().texts().empty());
        QVERIFY(QApplication::overrideCursor() == nullptr);

        // A file whose folder is a regular file cannot be created.
        QVERIFY(WriteFileBytes(env.home().file("plain"), "x"));
        const std::string impossible = env.home().file("plain/Trustees.bat");
        {
            DialogAnswer answer(env, impossible);
            ui.PopopSaveAsBat->trigger();
        }
        QCOMPARE(env.services().texts(), std::vector<std::string>({ "Cannot create file " + impossible }));
        QCOMPARE(env.services().messages()[0].type, int(mtError));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(ReadFileBytes(env.home().file("plain")), std::string("x"));
    }

    void closingDuringAScanStopsItSavesAndCloses()
    {
        AppTestEnv env;
        QPointer<TMainForm> alive = shownClosingForm(env);
        TMainForm* form = alive.data();
        const MainFormUi ui(*form);
        QVERIFY(QTest::qWaitForWindowExposed(form));
        queueFolder(ui, rnD);
        queueFolder(ui, "\\\\FS1\\VOL1\\Public");
        ui.EditPattern->setText(QStringLiteral("*.DOC"));
        size_t linesWhenClosed = 0;
        {
            DuringOperation during(env, [&] {
                QVERIFY(form->scanRunning());
                linesWhenClosed = ui.results()->lines().count();
                QVERIFY(!form->close()); // deferred: the scan is running
                QVERIFY(form->isVisible());
            });
            ui.BitBtnScanDirs->click();
            // The scan stopped at its next entry: the second start path was not reached.
            QVERIFY(alive);
            const std::vector<std::string> report = lines(ui.results()->lines());
            QVERIFY(std::find(report.begin(), report.end(), "Base: \\\\FS1\\VOL1\\Public") == report.end());
            QVERIFY(report.size() >= linesWhenClosed);
            QVERIFY(!form->operationRunning());
        }
        // The close follows from the event loop, and the settings were saved.
        QTRY_VERIFY(!alive);
        const std::string ini = ReadFileBytes(env.iniFile());
        QVERIFY2(ini.find("EditPattern=*.DOC") != std::string::npos, ini.c_str());
        QVERIFY(ini.find("\\\\FS1\\VOL1\\Public") != std::string::npos);
        QVERIFY(env.services().texts().empty());
    }

    void closingDuringTheByTrusteeBuildOrLongNames()
    {
        AppTestEnv env;
        for (int operation = 0; operation < 2; ++operation) {
            QPointer<TMainForm> alive = shownClosingForm(env);
            TMainForm* form = alive.data();
            const MainFormUi ui(*form);
            QVERIFY(QTest::qWaitForWindowExposed(form));
            queueFolder(ui, rnD);
            ui.BitBtnScanDirs->click();
            {
                bool ran = false;
                DuringOperation during(env, [&] {
                    ran = true;
                    QVERIFY(form->operationRunning());
                    form->close();
                });
                if (operation == 0)
                    ui.PageControl2->setCurrentWidget(ui.TabSheetByObj);
                else
                    ui.PopupGetLongNames->trigger();
                QVERIFY(ran);
                QVERIFY(alive);
                QVERIFY(!form->operationRunning());
            }
            QTRY_VERIFY(!alive);
        }
        QVERIFY(env.services().texts().empty());
    }

    void windowAndCommandLineReadOneSettingsFileAlike()
    {
        // Indexes beyond the choices select the last ones: scope and info "&Both".
        AppTestEnv env;
        QVERIFY(WriteFileBytes(env.iniFile(),
            "[Settings]\nRadioGroupScope=7\nRadioGroupInfo=0x10\n"
            "[CheckListBoxQ]\n0=\\\\FS1\\VOL1\\R&D\n"));
        TMainForm form(env.context());
        const MainFormUi ui(form);
        ui.BitBtnScanDirs->click();
        const std::string saved = env.home().file("window.txt");
        DialogAnswer answer(env, saved);
        ui.PopopSaveAsText->trigger();
        QVERIFY(ReadFileBytes(saved).find("     Scope: Directories and Files\r\n") != std::string::npos);
        QVERIFY(ReadFileBytes(saved).find("     Owner: (n/a)\r\n") != std::string::npos); // the file budget.xls

        QProcess report;
        report.start(QStringLiteral(GRANTWISE_REPORT_EXE),
            { "--network", QString::fromStdString(TestDataPath("app/window-network.json")), "--settings",
                QString::fromStdString(env.iniFile()) });
        QVERIFY(report.waitForFinished(60000));
        QCOMPARE(report.readAllStandardError(), QByteArray());
        QCOMPARE(report.readAllStandardOutput().toStdString(), ReadFileBytes(saved));
    }

    void settingsSurviveARestart()
    {
        AppTestEnv env;
        {
            TMainForm form(env.context());
            const MainFormUi ui(form);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            queueFolder(ui, rnD, false);
            queueFolder(ui, "\\\\FS1\\VOL1\\Public", true);
            ui.RadioGroupScope->click(2);
            ui.RadioGroupInfo->click(1);
            ui.CheckBox_IRM->setChecked(false);
            ui.EditPattern->setText(QStringLiteral("*.XLS"));
            form.move(50, 150);
            form.resize(700, 460);
            QVERIFY(form.close());
        }
        TMainForm form(env.context());
        const MainFormUi ui(form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(ui.CheckListBoxQ->count(), 2);
        QCOMPARE(ui.CheckListBoxQ->itemText(0), QString::fromStdString(rnD));
        QVERIFY(!ui.CheckListBoxQ->checked(0));
        QVERIFY(ui.CheckListBoxQ->checked(1));
        QCOMPARE(ui.RadioGroupScope->itemIndex(), 2);
        QCOMPARE(ui.RadioGroupInfo->itemIndex(), 1);
        QVERIFY(!ui.CheckBox_IRM->isChecked());
        QCOMPARE(ui.EditPattern->text(), QStringLiteral("*.XLS"));
        QCOMPARE(form.size(), QSize(700, 460));
        QCOMPARE(form.pos(), QPoint(50, 150));
        QVERIFY(ui.BitBtnScanDirs->isEnabled());
        QCOMPARE(ui.PageControl1->currentWidget(), ui.TabSheetInfo);
        QVERIFY(env.services().texts().empty());
    }

    void aValueTheSettingsFileCannotHoldCostsThatValueOnly()
    {
        // A checked queue entry whose text holds '"=' cannot be a key of the settings
        // file; it used to end the queue's save and skip the other saves.
        AppTestEnv env;
        const QString odd = QStringLiteral("\\\\FS1\\VOL1\\Say \"=hi\"");
        {
            TMainForm form(env.context());
            const MainFormUi ui(form);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            queueFolder(ui, rnD, true);
            ui.CheckListBoxQ->setChecked(ui.CheckListBoxQ->addItem(odd), true);
            ui.RadioGroupScope->click(2);
            form.resize(760, 560);
            QVERIFY(form.close());
        }
        QCOMPARE(env.services().messages().size(), size_t(1));
        QCOMPARE(env.services().messages()[0].type, int(mtWarning));
        QCOMPARE(env.services().texts()[0],
            "These settings could not be saved:\n" + env.iniFile()
                + ": [CheckListBoxQ Checked] the key '\\\\FS1\\VOL1\\Say \"=hi\"' holds a double quote followed by "
                  "'='");
        env.services().clearMessages();
        TMainForm form(env.context());
        const MainFormUi ui(form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(ui.CheckListBoxQ->count(), 2);
        QCOMPARE(ui.CheckListBoxQ->itemText(1), odd);
        QVERIFY(ui.CheckListBoxQ->checked(0));
        QVERIFY(!ui.CheckListBoxQ->checked(1)); // only its check mark is lost
        QCOMPARE(ui.RadioGroupScope->itemIndex(), 2);
        QCOMPARE(form.size(), QSize(760, 560));
        QVERIFY(env.services().texts().empty());
    }

    void theFilterNarrowsTheListsAndTheSavesKeepWholeLists()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        showActive(form);
        queueFolder(ui, rnD);
        ui.PageControl1->setCurrentWidget(ui.TabSheetAction);
        ui.BitBtnScanDirs->click();
        const int all = ui.results()->rowCount();
        QCOMPARE(statusLines(form), QStringLiteral("%1 lines").arg(all));
        auto* filter = FindControl<QLineEdit>(form, "EditFilter");

        // Ctrl+F goes to the filter; typing narrows the list as the user types.
        QTest::keyClick(ui.ListBoxResults, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(filter->hasFocus());
        QTest::keyClicks(filter, "staff");
        waitFiltered(ui);
        const std::vector<std::string> staff = rowTexts(ui.results());
        QVERIFY(!staff.empty());
        for (size_t i = 0; i < staff.size(); ++i) // each trustee line under its path line
            QVERIFY2(
                i % 2 == 0 ? staff[i].rfind("FS1\\VOL1:R&D", 0) == 0 : staff[i] == "     Trustee: .Staff.Corp [RF]",
                staff[i].c_str());
        QCOMPARE(statusLines(form), QStringLiteral("%1 of %2 lines").arg(staff.size()).arg(all));
        // The list by trustee is filtered alike.
        ui.PageControl2->setCurrentWidget(ui.TabSheetByObj);
        waitFiltered(ui);
        QVERIFY(ui.byObj()->rowCount() > 0);
        for (const std::string& row : rowTexts(ui.byObj()))
            QVERIFY2(row == "Trustee: .Staff.Corp " || row.find("[RF]") != std::string::npos, row.c_str());
        QVERIFY(ui.byObj()->rowCount() < int(ui.byObj()->lines().count()));

        // The saves write whole lists; "the lines shown" only the filtered ones.
        ui.openContextMenu(ui.ListBoxResults);
        const std::string whole = env.home().file("whole.txt");
        {
            DialogAnswer answer(env, whole);
            ui.PopopSaveAsText->trigger();
        }
        const std::string wholeBytes = ReadFileBytes(whole);
        QCOMPARE(std::count(wholeBytes.begin(), wholeBytes.end(), '\n'), long(all));
        const std::string shownFile = env.home().file("shown.txt");
        {
            DialogAnswer answer(env, shownFile);
            FindControl<QAction>(form, "PopupSaveShown")->trigger();
            QCOMPARE(answer.requests.at(0).fileName, env.home().file("TrusteesShown.txt"));
        }
        std::string expected;
        for (const std::string& line : staff)
            expected += line + "\r\n";
        QCOMPARE(ReadFileBytes(shownFile), expected);
        QVERIFY(statusInfo(form).startsWith(QStringLiteral("Saved ") + QString::fromStdString(shownFile)));
        QVERIFY(statusInfo(form).endsWith(QStringLiteral("(%1 bytes)").arg(expected.size())));

        // A quick filter: only grants holding S, A or M (.Admin.Corp's RWCEAFM).
        showActive(form); // the context menu was the active popup
        QTest::keyClick(filter, Qt::Key_Escape);
        QVERIFY(filter->text().isEmpty());
        ui.PageControl2->setCurrentWidget(ui.TabSheetByPath);
        waitFiltered(ui);
        QCOMPARE(ui.results()->rowCount(), all);
        FindControl<QCheckBox>(form, "CheckFilterRights")->click();
        waitFiltered(ui);
        for (const std::string& row : rowTexts(ui.results()))
            QVERIFY2(row.find("Staff") == std::string::npos && row.find("Owner") == std::string::npos, row.c_str());
        QVERIFY(ui.results()->rowCount() > 0);
        // A new scan is filtered as it arrives.
        ui.BitBtnScanDirs->click();
        waitFiltered(ui);
        QCOMPARE(rowTexts(ui.results()).at(1), std::string("     Trustee: .Admin.Corp [RWCEAFM]"));
        FindControl<QCheckBox>(form, "CheckFilterRights")->click();
        QCOMPARE(ui.results()->rowCount(), all);
    }

    void copyTooltipAndSidewaysScrolling()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        showActive(form);
        queueFolder(ui, rnD, false);
        ui.PageControl1->setCurrentWidget(ui.TabSheetAction);
        ui.BitBtnScanDirs->click();
        QApplication::processEvents();
        // Ctrl+C copies the selected lines, in list order.
        ui.ListBoxResults->setFocus();
        ui.ListBoxResults->selectionModel()->select(ui.results()->index(7), QItemSelectionModel::Select);
        ui.ListBoxResults->selectionModel()->select(ui.results()->index(0), QItemSelectionModel::Select);
        QTest::keyClick(ui.ListBoxResults, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
            QStringLiteral("Base: \\\\FS1\\VOL1\\R&D\n     Trustee: .Admin.Corp [RWCEAFM]\n"));
        // End and Home go to the last and the first line, as in a list box.
        ui.ListBoxResults->setCurrentIndex(ui.results()->index(3));
        QTest::keyClick(ui.ListBoxResults, Qt::Key_End);
        QCOMPARE(ui.ListBoxResults->currentIndex().row(), ui.results()->rowCount() - 1);
        QTest::keyClick(ui.ListBoxResults, Qt::Key_Home);
        QCOMPARE(ui.ListBoxResults->currentIndex().row(), 0);
        // A narrow list scrolls sideways to the end of its widest line.
        form.resize(form.minimumSize());
        ui.ListBoxResults->resize(120, 200);
        QApplication::processEvents();
        QTRY_VERIFY(ui.ListBoxResults->horizontalScrollBar()->maximum() > 0);
        const int widest
            = ui.ListBoxResults->fontMetrics().horizontalAdvance(QStringLiteral("Base: \\\\FS1\\VOL1\\R&D"));
        QVERIFY(ui.ListBoxResults->horizontalScrollBar()->maximum() + ui.ListBoxResults->viewport()->width() >= widest);
        // A line wider than the view shows whole in its tooltip.
        const QRect first = ui.ListBoxResults->visualRect(ui.results()->index(0));
        QHelpEvent help(QEvent::ToolTip, first.center(), ui.ListBoxResults->viewport()->mapToGlobal(first.center()));
        QApplication::sendEvent(ui.ListBoxResults->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("Base: \\\\FS1\\VOL1\\R&D"));
    }

    void escAndTheCancelButtonStopLongOperations()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        showActive(form);
        ui.PageControl1->setCurrentWidget(ui.TabSheetAction);
        queueFolder(ui, rnD);
        queueFolder(ui, "\\\\FS1\\VOL1\\Public");
        auto* cancel = FindControl<QPushButton>(form, "BitBtnCancel");
        QVERIFY(!cancel->isVisible());
        size_t linesWhenCancelled = 0;
        {
            DuringOperation during(env, [&] {
                QVERIFY(cancel->isVisible());
                linesWhenCancelled = ui.results()->lines().count();
                QTest::keyClick(ui.ListBoxResults, Qt::Key_Escape);
            });
            ui.BitBtnScanDirs->click();
        }
        // The scan stopped: the second start path was not reached, the lines stay.
        const std::vector<std::string> report = lines(ui.results()->lines());
        QVERIFY(report.size() >= linesWhenCancelled && !report.empty());
        QVERIFY(std::find(report.begin(), report.end(), "Base: \\\\FS1\\VOL1\\Public") == report.end());
        QVERIFY2(statusInfo(form).startsWith(QStringLiteral("Scan cancelled: ")), qPrintable(statusInfo(form)));
        QVERIFY(!cancel->isVisible() && ui.BitBtnScanDirs->isEnabled() && form.isVisible());
        QVERIFY(env.services().texts().empty());

        // A full scan says what it did.
        ui.BitBtnScanDirs->click();
        QVERIFY2(statusInfo(form).startsWith(QStringLiteral("Scanned ")), qPrintable(statusInfo(form)));
        QVERIFY(statusInfo(form).contains(QStringLiteral(" entries: %1 lines, ").arg(ui.results()->lines().count())));
        QVERIFY(statusInfo(form).endsWith(QStringLiteral("all paths read")));

        // The Cancel button stops the list by trustee: it stays empty until the next tab change.
        {
            DuringOperation during(env, [&] { cancel->click(); });
            ui.PageControl2->setCurrentWidget(ui.TabSheetByObj);
        }
        QCOMPARE(ui.byObj()->rowCount(), 0);
        QCOMPARE(statusInfo(form), QStringLiteral("List by trustee cancelled"));
        ui.PageControl2->setCurrentWidget(ui.TabSheetByPath);
        ui.PageControl2->setCurrentWidget(ui.TabSheetByObj);
        QVERIFY(ui.byObj()->rowCount() > 0);
        QCOMPARE(statusInfo(form), QString()); // its progress went with it

        // Cancelled long names may run again for the rest.
        {
            DuringOperation during(env, [&] { cancel->click(); });
            ui.PopupGetLongNames->trigger();
        }
        QVERIFY(statusInfo(form).startsWith(QStringLiteral("Long names cancelled")));
        QVERIFY(ui.PopupGetLongNames->isEnabled());

        // A cancelled save leaves the old file as it was.
        const std::string file = env.home().file("old.xml");
        QVERIFY(WriteFileBytes(file, "old"));
        {
            DialogAnswer answer(env, file);
            DuringOperation during(env, [&] { QTest::keyClick(ui.ListBoxByObj, Qt::Key_Escape); });
            ui.PopopSaveAsXML->trigger();
        }
        QCOMPARE(ReadFileBytes(file), std::string("old"));
        QVERIFY(statusInfo(form).startsWith(QStringLiteral("Save cancelled")));
        QVERIFY(env.services().texts().empty());
    }

    void longOperationsShowTheLinesDone()
    {
        // Enough lines that every operation lets messages through many times on its way.
        AppTestEnv env;
        const auto network = LoadNetwork(WriteGeneratedNetwork(
            env, R"("directories": 8, "depth": 3, "files": 8, "trustees": 1, "users": 50, "groups": 8)"));
        env.useLibrary(*network);
        TMainForm form(env.context());
        const MainFormUi ui(form);
        queueFolder(ui, "\\\\FS1\\VOL1");
        ui.RadioGroupScope->click(2);
        ui.RadioGroupInfo->click(2);
        ui.BitBtnScanDirs->click();
        QVERIFY(ui.results()->lines().count() > 4 * 4096);

        // Runs an operation; at a few of its pending-messages calls, waits until the window's
        // progress timer has run and reads the status text. Some count must lie strictly
        // between 0 and its total.
        const QRegularExpression count(QStringLiteral("([0-9,]+) of ([0-9,]+) lines"));
        const auto showsLinesDone = [&](const QString& what, const std::function<void()>& operation) {
            bool between = false;
            QStringList seen;
            env.services().pendingMessages = [&] {
                if (between || seen.size() >= 4)
                    return;
                QTest::qWait(300);
                seen.append(statusInfo(form));
                const QRegularExpressionMatch match = count.match(seen.back());
                const qulonglong done = match.captured(1).remove(QLatin1Char(',')).toULongLong();
                const qulonglong total = match.captured(2).remove(QLatin1Char(',')).toULongLong();
                between = match.hasMatch() && done > 0 && done < total;
            };
            operation();
            env.services().pendingMessages = nullptr;
            QVERIFY2(between, qPrintable(what + QStringLiteral(": ") + seen.join(QStringLiteral(" | "))));
        };
        showsLinesDone(QStringLiteral("list by trustee"), [&] { ui.PageControl2->setCurrentWidget(ui.TabSheetByObj); });
        QVERIFY(ui.byObj()->rowCount() > 4096);
        const auto save = [&](TResultList* list, QAction* command, const std::string& file) {
            return [&env, &ui, list, command, file] {
                DialogAnswer answer(env, env.home().file(file));
                ui.openContextMenu(list);
                command->trigger();
            };
        };
        showsLinesDone(QStringLiteral("TXT by trustee"), save(ui.ListBoxByObj, ui.PopopSaveAsText, "t.txt"));
        showsLinesDone(QStringLiteral("TXT by path"), save(ui.ListBoxResults, ui.PopopSaveAsText, "p.txt"));
        showsLinesDone(QStringLiteral("BAT"), save(ui.ListBoxResults, ui.PopopSaveAsBat, "p.bat"));
        showsLinesDone(QStringLiteral("XML"), save(ui.ListBoxResults, ui.PopopSaveAsXML, "p.xml"));
        showsLinesDone(QStringLiteral("CSV"), save(ui.ListBoxResults, ui.PopopSaveAsCSV, "p.csv"));
        showsLinesDone(QStringLiteral("HTML"), save(ui.ListBoxResults, ui.PopopSaveAsHTML, "p.html"));
        showsLinesDone(QStringLiteral("lines shown"),
            save(ui.ListBoxByObj, FindControl<QAction>(form, "PopupSaveShown"), "shown.txt"));
        QCOMPARE(ReadFileBytes(env.home().file("shown.txt")), ReadFileBytes(env.home().file("t.txt")));
        showsLinesDone(QStringLiteral("long names"), [&] { ui.PopupGetLongNames->trigger(); });
        // Every save was written (the batch form's only message is its warning of remarks).
        for (const std::string& text : env.services().texts())
            QVERIFY2(text.find("RIGHTS lines are remarks") != std::string::npos, text.c_str());
    }

    void theKeyboard()
    {
        AppTestEnv env;
        TMainForm form(env.context());
        const MainFormUi ui(form);
        showActive(form);
        // Alt keys: Alt+S shows the Select page from the Info page.
        QTest::keyClick(&form, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(ui.PageControl1->currentWidget(), ui.TabSheetSelect);
        // Folder tree: Enter queues with subfolders, Shift+Enter without.
        ui.ShellTreeView1->setFocus();
        ui.ShellTreeView1->selectIndex(FolderIndex(*ui.folders(), rnD));
        QTest::keyClick(ui.ShellTreeView1, Qt::Key_Return);
        ui.ShellTreeView1->selectIndex(FolderIndex(*ui.folders(), "\\\\FS1\\VOL1\\Public"));
        QTest::keyClick(ui.ShellTreeView1, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(ui.CheckListBoxQ->count(), 2);
        QVERIFY(ui.CheckListBoxQ->checked(0) && !ui.CheckListBoxQ->checked(1));
        // Queue: Space toggles the check mark, Delete removes the entry.
        ui.CheckListBoxQ->setFocus();
        ui.CheckListBoxQ->setItemIndex(1);
        QTest::keyClick(ui.CheckListBoxQ, Qt::Key_Space);
        QVERIFY(ui.CheckListBoxQ->checked(1));
        QTest::keyClick(ui.CheckListBoxQ, Qt::Key_Delete);
        QCOMPARE(ui.CheckListBoxQ->count(), 1);
        QCOMPARE(ui.LabelDirSelected->text(), QStringLiteral("#Start Paths Selected: 1"));

        // F5 scans from the Select page and shows the results.
        QTest::keyClick(ui.CheckListBoxQ, Qt::Key_F5);
        QCOMPARE(ui.PageControl1->currentWidget(), ui.TabSheetAction);
        QVERIFY(ui.results()->rowCount() > 0);
        // Enter in the pattern box scans with the pattern typed.
        ui.EditPattern->setFocus();
        ui.EditPattern->selectAll();
        QTest::keyClicks(ui.EditPattern, "*.DOC");
        QTest::keyClick(ui.EditPattern, Qt::Key_Return);
        const std::vector<std::string> patterned = lines(ui.results()->lines());
        QVERIFY(std::find(patterned.begin(), patterned.end(), "     Filter: *.DOC") != patterned.end());
        // On the scan page Alt+S is the scan button alone, Alt+T the list by trustee, Alt+F a scope.
        ui.results()->clear();
        QTest::keyClick(&form, Qt::Key_S, Qt::AltModifier);
        QVERIFY(ui.results()->rowCount() > 0);
        QCOMPARE(ui.PageControl1->currentWidget(), ui.TabSheetAction);
        QTest::keyClick(&form, Qt::Key_F, Qt::AltModifier);
        QCOMPARE(ui.RadioGroupScope->itemIndex(), 1);
        QTest::keyClick(&form, Qt::Key_T, Qt::AltModifier);
        QCOMPARE(ui.PageControl2->currentWidget(), ui.TabSheetByObj);
        QVERIFY(ui.byObj()->rowCount() > 0); // built as on the user's tab change
        // Ctrl+S saves the list shown, proposed under its own name.
        {
            DialogAnswer answer(env, env.home().file("keys.txt"));
            QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(answer.requests.size(), size_t(1));
            QCOMPARE(answer.requests[0].fileName, std::string("TrusteesByTrustee.txt"));
        }
        QVERIFY(ReadFileBytes(env.home().file("keys.txt")).rfind("Trustee: ", 0) == 0);
        QTest::keyClick(&form, Qt::Key_I, Qt::AltModifier);
        QCOMPARE(ui.PageControl1->currentWidget(), ui.TabSheetInfo);
    }

    void theWindowFitsTheScreen()
    {
        AppTestEnv env;
        {
            // Bounds saved on a much larger screen.
            QVERIFY(WriteFileBytes(env.iniFile(),
                "[Settings]\r\nMainForm.Left=5000\r\nMainForm.Top=4000\r\nMainForm.Width=6000\r\nMainForm.Height="
                "5000\r\n"));
        }
        TMainForm form(env.context());
        const MainFormUi ui(form);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QRect screen = form.screen()->availableGeometry();
        QVERIFY2(screen.contains(form.frameGeometry()),
            qPrintable(QStringLiteral("%1,%2 %3x%4").arg(form.x()).arg(form.y()).arg(form.width()).arg(form.height())));
        QVERIFY(!form.windowIcon().isNull());
        // At the smallest size every radio item lies inside its group.
        form.resize(form.minimumSize());
        ui.PageControl1->setCurrentWidget(ui.TabSheetAction);
        QApplication::processEvents();
        for (TRadioGroup* group : { ui.RadioGroupScope, ui.RadioGroupInfo })
            for (QRadioButton* item : group->findChildren<QRadioButton*>())
                QVERIFY2(group->rect().contains(item->geometry()), qPrintable(item->text()));
        QVERIFY(ui.PanelSettings->rect().contains(ui.RadioGroupScope->geometry()));
        QVERIFY(ui.EditPattern->width() >= 60 && ui.PanelSettings->rect().contains(ui.EditPattern->geometry()));
        // A click on the status bar without a viewer for the README says so.
        ui.StatusBar1->setPanelText(0, QStringLiteral("nosuchscheme:readme"));
        QTest::mouseClick(ui.StatusBar1, Qt::LeftButton, {}, QPoint(10, 5));
        QCOMPARE(env.services().texts().size(), size_t(1));
        QVERIFY(env.services().texts()[0].rfind("No viewer is available to open the README.", 0) == 0);
    }
};

QTEST_MAIN(MainFormScanTest)
#include "MainFormScan_test.moc"
