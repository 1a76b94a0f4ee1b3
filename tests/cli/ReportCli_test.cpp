// End-to-end: runs grantwise-report on the descriptions under tests/data and compares
// its output with expected files, byte for byte.
#include "support/FileFaults.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>

#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#else
#define RUNNING_ON_VALGRIND 0
#endif

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// addressSpace: when not 0, the program runs with that much address space at most
// (RLIMIT_AS), so an allocation past it fails as on a machine out of memory.
CliRun runReport(const std::vector<std::string>& args, const std::string& networkEnv = "", rlim_t addressSpace = 0)
{
    QProcess process;
    if (addressSpace != 0)
        process.setChildProcessModifier([addressSpace] {
            const rlimit limit { addressSpace, addressSpace };
            setrlimit(RLIMIT_AS, &limit);
        });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("GRANTWISE_NETWORK");
    if (!networkEnv.empty())
        env.insert("GRANTWISE_NETWORK", QString::fromStdString(networkEnv));
    process.setProcessEnvironment(env);
    QStringList list;
    for (const auto& a : args)
        list << QString::fromStdString(a);
    process.start(GRANTWISE_REPORT_EXE, list);
    process.waitForFinished(120000);
    CliRun run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

const std::string cliNetwork = TestDataPath("cli-network.json");

std::vector<std::string> withNetwork(std::vector<std::string> args)
{
    args.insert(args.begin(), { "--network", cliNetwork });
    return args;
}

// Compares with tests/data/<name>; GRANTWISE_UPDATE_GOLDEN=1 rewrites the file instead
// (then inspect the difference before committing it).
void expectGolden(const std::string& actual, const std::string& name)
{
    const std::string path = TestDataPath(name);
    if (std::getenv("GRANTWISE_UPDATE_GOLDEN"))
        WriteFileBytes(path, actual);
    EXPECT_EQ(actual, ReadFileBytes(path)) << "differs from " << path;
}

// The audit network: non-ASCII names in paths and trustees, a file whose name needs CSV
// quoting, a trustee named like a script, an IRM that lets nothing through.
const std::string auditNetwork = TestDataPath("cli-audit-network.json");

std::vector<std::string> auditScan(const std::vector<std::string>& more)
{
    std::vector<std::string> args { "--network", auditNetwork, "\\\\FS1\\VOL1", "--scope", "both", "--info", "both",
        "--long-names" };
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// The run's time is the only part of an HTML page that differs between runs: it is
// checked for its form and replaced by "TIME".
std::string withoutRunTime(const std::string& html)
{
    static const QRegularExpression time(
        QStringLiteral("<time datetime=\"(\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d)\">\\1</time>"));
    QString page = QString::fromStdString(html);
    EXPECT_EQ(page.count(time), 1) << "no run time in ISO 8601 with its offset";
    return page.replace(time, QStringLiteral("<time datetime=\"TIME\">TIME</time>")).toStdString();
}

struct ToolRun {
    bool started = false;
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a program of the system (Debian's python3, chromium) with arguments.
ToolRun runTool(const QString& program, const QStringList& args, int timeoutMs = 120000)
{
    QProcess process;
    process.start(program, args);
    ToolRun run;
    run.started = process.waitForStarted(10000);
    if (!run.started)
        return run;
    if (!process.waitForFinished(timeoutMs))
        process.kill();
    process.waitForFinished(5000);
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

// Chromium without a display, sandbox or GPU, as a test machine allows it.
QStringList headlessChromium(const QStringList& more)
{
    return QStringList { "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars", "--no-first-run",
        "--user-data-dir=" + QString::fromStdString(TempDir().path()) }
    + more;
}

} // namespace

TEST(ReportCli, TextFormsForEveryChoice)
{
    struct Case {
        std::vector<std::string> args;
        std::string golden;
    };
    const std::vector<Case> cases {
        { { "\\\\FS1\\VOL1\\R&D" }, "cli-rd-default.txt" },
        { { "\\\\FS1\\VOL1\\R&D", "--info", "both", "--scope", "both" }, "cli-rd-both.txt" },
        { { "\\\\FS1\\VOL1\\R&D", "--info", "owner", "--scope", "files", "--pattern", "*.TXT" }, "cli-rd-files.txt" },
        { { "\\\\FS1\\VOL1\\R&D", "--no-recurse", "--no-irm", "--pattern", "" }, "cli-rd-flat.txt" },
        { { "\\\\FS1\\VOL1\\R&D", "--info", "both", "--scope", "both", "--long-names" }, "cli-rd-long.txt" },
        { { "\\\\FS1\\VOL1\\R&D", "\\\\fs2\\data\\shared", "--info", "both", "--format", "trustees" },
            "cli-two-trustees.txt" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.golden);
        const CliRun run = runReport(withNetwork(c.args));
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        expectGolden(run.out, c.golden);
    }
}

TEST(ReportCli, BatchAndXmlFormsWithHostileNames)
{
    const std::vector<std::string> paths { "\\\\FS1\\VOL1", "--info", "both", "--scope", "both" };
    auto args = withNetwork(paths);
    args.insert(args.end(), { "--format", "bat" });
    CliRun run = runReport(args);
    EXPECT_EQ(run.status, 0) << run.err; // a subdirectory that cannot be searched is no start path
    expectGolden(run.out, "cli-vol1.bat"); // code page 850, as its first line says
    EXPECT_EQ(run.err,
        "grantwise-report: warning: 3 RIGHTS lines are remarks that are not run ('REM Not run, ...'): 1 unsafe "
        "characters, 1 unknown trustee, 1 characters outside code page 850\n");

    args = withNetwork(paths);
    args.insert(args.end(), { "--format", "xml", "--long-names" });
    run = runReport(args);
    EXPECT_EQ(run.status, 0) << run.err;
    expectGolden(run.out, "cli-vol1-long.xml");

    // A real XML parser reads the document and gives back the names as scanned.
    QXmlStreamReader xml(QByteArray::fromStdString(run.out));
    QStringList names, paths2;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            if (xml.name() == u"name")
                names << xml.readElementText();
            else if (xml.name() == u"path")
                paths2 << xml.readElementText();
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(names.contains(QString::fromUtf8(".Müller.Staff.Corp")));
    EXPECT_TRUE(names.contains(QString::fromUtf8(".Łukasz.Staff.Corp")));
    EXPECT_TRUE(names.contains(QString::fromUtf8(".O'Neil.Staff.Corp")));
    EXPECT_TRUE(paths2.contains(QString::fromUtf8("\\\\FS1\\VOL1\\Müller & Łukasz")));
    EXPECT_TRUE(paths2.contains(QString::fromUtf8("\\\\FS1\\VOL1\\R&D\\50% Done")));
}

TEST(ReportCli, UnreadableStartPathsGiveStatusOne)
{
    // Directories without recursion: the scan reads each start directory's information
    // and searches nowhere, so Sealed (information fails) is unreadable and Locked (a
    // search fails) is not.
    CliRun run = runReport(withNetwork({ "\\\\FS9\\VOL1\\X", "\\\\FS1\\VOL1\\R&D", "\\\\FS1\\VOL1\\Locked",
        "\\\\FS1\\VOL1\\Sealed", "--no-recurse", "--scope", "directories" }));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
        "grantwise-report: cannot read start path \\\\FS9\\VOL1\\X: 0x880F (No connection to server)\n"
        "grantwise-report: cannot read start path \\\\FS1\\VOL1\\Sealed: 0x89A8 (Access denied)\n");
    expectGolden(run.out, "cli-unreadable.txt");
    // Where the scan searches (for files, or with recursion), Locked cannot be read.
    const std::string locked
        = "grantwise-report: cannot read start path \\\\FS1\\VOL1\\Locked: 0x89A8 (Access denied)\n";
    EXPECT_EQ(runReport(withNetwork({ "\\\\FS1\\VOL1\\Locked", "--scope", "files", "--no-recurse" })).err, locked);
    EXPECT_EQ(runReport(withNetwork({ "\\\\FS1\\VOL1\\Locked", "--scope", "directories" })).err, locked);
}

TEST(ReportCli, EmptyQueueWritesAnEmptyReport)
{
    CliRun run = runReport(withNetwork({}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    run = runReport(withNetwork({ "--format", "xml" }));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.out, "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?><document>\r\n</document>\r\n");
}

TEST(ReportCli, OutputFileIsWrittenWholeOrNotAtAll)
{
    TempDir dir;
    const std::string out = dir.file("report.bat");
    CliRun run = runReport(withNetwork({ "\\\\FS1\\VOL1\\R&D", "--format", "bat", "-o", out }));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const std::string written = ReadFileBytes(out);
    EXPECT_NE(written.find("RIGHTS \"FS1\\VOL1:R&D\" RWCEAFM /Name=\".Admin.Corp\"\r\n"), std::string::npos);

    // An unusable description: status 2, the old file stays as it was.
    const std::string broken = dir.file("broken.json");
    WriteFileBytes(broken, "{ \"grantwise-network\": 1, \"servers\": [ { \"name\": \"FS1\" } ] ");
    run = runReport({ "--network", broken, "\\\\FS1\\VOL1", "-o", out });
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("grantwise-report: Could not initialize NetWare Client returned error 0x88FF ("),
        std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("broken.json"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes(out), written);

    // A folder where the file should be, and a file where its folder should be.
    run = runReport(withNetwork({ "\\\\FS1\\VOL1\\R&D", "-o", dir.path() }));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("grantwise-report: cannot write " + dir.path(), 0), 0u) << run.err;
    run = runReport(withNetwork({ "\\\\FS1\\VOL1\\R&D", "-o", out + "/inside.txt" }));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(ReadFileBytes(out), written);
}

TEST(ReportCli, OutputIntoAFifoIsWrittenIntoAndASocketIsRefused)
{
    TempDir dir;
    const std::string fifo = dir.file("report.pipe");
    FifoReader reader(fifo);
    ASSERT_TRUE(reader.made());
    CliRun run = runReport(withNetwork({ "\\\\FS1\\VOL1\\R&D", "--no-recurse", "-o", fifo }));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(reader.drain(), runReport(withNetwork({ "\\\\FS1\\VOL1\\R&D", "--no-recurse" })).out);
    EXPECT_TRUE(IsFifo(fifo));

    const std::string socketPath = dir.file("report.sock");
    const BoundSocket socket(socketPath);
    ASSERT_TRUE(socket.bound());
    run = runReport(withNetwork({ "\\\\FS1\\VOL1\\R&D", "-o", socketPath }));
    EXPECT_TRUE(IsSocket(socketPath));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
        "grantwise-report: cannot write " + socketPath + ": not a regular file, a FIFO or a character device\n");
}

TEST(ReportCli, AFullDiskGivesStatusTwoAndKeepsTheOldOutput)
{
    TempDir dir;
    const std::string out = dir.file("report.xml");
    ASSERT_TRUE(WriteFileBytes(out, "<old/>"));
    CliRun run;
    {
        // The program inherits a file-size limit far below the report's size.
        FileSizeLimit full(512);
        run = runReport(
            withNetwork({ "\\\\FS1\\VOL1", "--scope", "both", "--info", "both", "--format", "xml", "-o", out }));
    }
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: cannot write " + out + ": File too large\n");
    EXPECT_EQ(ReadFileBytes(out), "<old/>");
    EXPECT_EQ(FolderListing(dir.path()), "report.xml");
}

TEST(ReportCli, InjectedStartUpAndConnectionFailures)
{
    TempDir dir;
    const auto network = [&](const std::string& workstation) {
        const std::string file = dir.file("net.json");
        WriteFileBytes(file, R"({ "grantwise-network": 1, "workstation": )" + workstation + R"(,
          "trees": [ { "name": "T" } ],
          "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "V", "trustees": [ ["A.Corp", "R"] ] } ] },
                       { "name": "FS2", "tree": "T", "fail": { "open": "0x8847" }, "volumes": [ { "name": "V" } ] } ] })");
        return file;
    };
    // Client initialisation and context creation: status 2, the start-up's messages.
    CliRun run = runReport({ "--network", network(R"({ "fail": { "init": "0x8836" } })"), "\\\\FS1\\V" });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
        "grantwise-report: Could not initialize NetWare Client returned error 0x8836 (Invalid parameter)\n"
        "grantwise-report: Error 8836: InitNetWare\n");
    run = runReport({ "--network", network(R"({ "fail": { "context": "0x89FF" } })"), "\\\\FS1\\V" });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: Error 89FF: InitNetWare\n");
    // The chosen connection cannot be opened: said, and the scan goes on; a start path
    // on that server cannot be read.
    run = runReport({ "--network", network("{}"), "--connection", "FS2", "\\\\FS1\\V", "\\\\FS2\\V" });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
        "grantwise-report: Error 8847: NWCCOpenConnByRef\n"
        "grantwise-report: cannot read start path \\\\FS2\\V: 0x8847 (Server not found)\n");
    EXPECT_NE(run.out.find("     Trustee: .A.Corp [R]\r\n"), std::string::npos) << run.out;
}

TEST(ReportCli, BadArgumentsAndUnknownConnection)
{
    CliRun run = runReport({ "--scope", "everything" });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("grantwise-report: ", 0), 0u);
    run = runReport(withNetwork({ "--connection", "FS7", "\\\\FS1\\VOL1" }));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: no connection to server FS7\n");
    run = runReport(withNetwork({ "--settings", TestDataPath("no-such-settings.ini") }));
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no-such-settings.ini"), std::string::npos) << run.err;
    // A negative stored scope selects no scope, and the window scans nothing for it.
    TempDir dir;
    WriteFileBytes(dir.file("none.ini"), "[Settings]\nRadioGroupScope=-1\n");
    run = runReport(withNetwork({ "--settings", dir.file("none.ini") }));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("grantwise-report: " + dir.file("none.ini") + ": no scope choice is selected", 0), 0u);
}

TEST(ReportCli, ANetworkOrSettingsFileThatIsNoRegularFileIsAnErrorNotAHang)
{
    TempDir dir;
    const std::string fifo = dir.file("net.pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CliRun run = runReport({ "\\\\FS1\\VOL1" }, fifo);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
        "grantwise-report: Could not initialize NetWare Client returned error 0x88FF (" + fifo
            + ": cannot be read: not a regular file)\ngrantwise-report: Error 88FF: InitNetWare\n");
    run = runReport(withNetwork({ "--settings", fifo }));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: " + fifo + ": cannot read the settings file: not a regular file\n");

    const std::string link = dir.file("grantwise.ini");
    if (!MakeCharDevice(dir.file("zero"), 1, 5))
        GTEST_SKIP() << "this machine does not allow device nodes";
    ::symlink(dir.file("zero").c_str(), link.c_str());
    run = runReport(withNetwork({ "--settings", link }));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: " + link + ": cannot read the settings file: not a regular file\n");
}

TEST(ReportCli, RunningOutOfMemoryWhileLoadingIsALoadErrorNamingTheFile)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit leaves";
#else
    if (RUNNING_ON_VALGRIND)
        GTEST_SKIP() << "valgrind, which runs the child too, needs more address space than the limit leaves";
    TempDir dir;
    // Ten million generated entries, and a settings file of four million empty lines,
    // in 300 MB of address space.
    const std::string network = dir.file("big.json");
    WriteFileBytes(network, R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "FS1",
        "tree": "T", "volumes": [ { "name": "V", "generate": { "directories": 10000, "depth": 1, "files": 1000 } } ] } ] })");
    CliRun run = runReport({ "--network", network }, "", rlim_t(300) << 20);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
        "grantwise-report: Could not initialize NetWare Client returned error 0x88FF (" + network
            + ": not enough memory to load it)\ngrantwise-report: Error 88FF: InitNetWare\n");
    const std::string ini = dir.file("grantwise.ini");
    WriteFileBytes(ini, std::string(4 << 20, '\n'));
    run = runReport(withNetwork({ "--settings", ini }), "", rlim_t(300) << 20);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: " + ini + ": cannot read the settings file: not enough memory to read it\n");
#endif
}

TEST(ReportCli, SettingsFileGivesChoicesAndQueue)
{
    TempDir dir;
    const std::string ini = dir.file("grantwise.ini");
    WriteFileBytes(ini,
        "[Settings]\r\nRadioGroupScope=2\r\nRadioGroupInfo=1\r\nEditPattern=*.XLS\r\nCheckBox_IRM=0\r\n"
        "[CheckListBoxQ]\r\n0=\\\\FS1\\VOL1\\R&D\\Plans 2002\r\n1=\\\\FS2\\DATA\\Shared\r\n"
        "[CheckListBoxQ Checked]\r\n\\\\FS1\\VOL1\\R&D\\Plans 2002=1\r\n");
    // The settings' choices, with the pattern overridden and one more path queued after
    // the file's entries (an entry already queued keeps its place).
    const CliRun run = runReport(withNetwork({ "--settings", ini, "--pattern", "*.*", "\\\\fs2\\data\\shared",
        "\\\\FS1\\VOL1\\R&D\\50% Done", "--no-recurse" }));
    EXPECT_EQ(run.status, 0) << run.err;
    expectGolden(run.out, "cli-settings.txt");

    // Queue paths, check-mark keys and path components compare with Unicode case folding:
    // 'Müller & Łukasz' queued in capitals, its check mark under the lower-case path, and
    // the lower-case path given again (one entry, its mark now off).
    const std::string lower = "\\\\fs1\\vol1\\müller & łukasz";
    WriteFileBytes(
        ini, "[CheckListBoxQ]\n0=\\\\FS1\\VOL1\\MÜLLER & ŁUKASZ\n[CheckListBoxQ Checked]\n" + lower + "=1\n");
    CliRun folded = runReport(withNetwork({ "--settings", ini }));
    EXPECT_EQ(folded.status, 0) << folded.err;
    EXPECT_NE(folded.out.find("     Subdirs: TRUE\r\n"), std::string::npos);
    EXPECT_NE(folded.out.find("     Trustee: .Müller.Staff.Corp [RWCEAFM]\r\n"), std::string::npos) << folded.out;
    folded = runReport(withNetwork({ "--settings", ini, lower, "--no-recurse" }));
    EXPECT_EQ(folded.out.find("Base: "), folded.out.rfind("Base: ")) << folded.out;
    EXPECT_NE(folded.out.find("     Subdirs: FALSE\r\n"), std::string::npos);
}

TEST(ReportCli, NetworkFromTheEnvironmentAndTheDemo)
{
    CliRun run = runReport({ "\\\\FS2\\DATA\\Shared", "--no-recurse" }, cliNetwork);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("     Trustee: .Guest.Other [RWCEF]\r\n"), std::string::npos) << run.out;
    // Without any description the built-in demo network answers.
    run = runReport({ "--info", "both", "--stats" });
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("grantwise-report: 0 entries examined, 0 lines written"), std::string::npos) << run.err;
}

TEST(ReportCli, EffectiveRightsForms)
{
    const std::string rules = TestDataPath("effective-rules.json");
    const std::vector<std::string> access { "--network", rules, "\\\\FS1\\VOL1\\Containers", "\\\\FS1\\VOL1\\Orphan",
        "FS1\\VOL1:MASKED\\FILTERED\\REPORT.TXT", "\\\\FS1\\VOL1\\Missing", "\\\\FS1\\VOL1\\Q1, \"Final\"\\notes.txt" };
    const std::string missing = "grantwise-report: cannot read \\\\FS1\\VOL1\\Missing: 0x899C (Invalid path)\n";
    for (const auto& [format, golden] :
        { std::pair { "access", "cli-access.txt" }, { "access-csv", "cli-access.csv" } }) {
        auto args = access;
        args.insert(args.end(), { "--format", format });
        const CliRun run = runReport(args);
        EXPECT_EQ(run.status, 1) << format;
        EXPECT_EQ(run.err, missing);
        expectGolden(run.out, golden);
    }
    for (const auto& [format, golden] :
        { std::pair { "effective", "cli-effective.txt" }, { "effective-csv", "cli-effective.csv" } }) {
        const CliRun run = runReport({ "--network", rules, "--format", format, "--user", "alice.sales.corp", "--scope",
            "both", "\\\\FS1\\VOL1", "\\\\FS1\\VOL2\\Sub", "\\\\fs1\\vol1" });
        EXPECT_EQ(run.status, 0) << run.err;
        expectGolden(run.out, golden);
    }
    // The pattern filters the files of the map; scope directories lists no file.
    CliRun run = runReport({ "--network", rules, "--format", "effective-csv", "--user", "Alice.Sales.Corp", "--scope",
        "files", "--pattern", "NOTES.*", "\\\\FS1\\VOL1" });
    EXPECT_EQ(run.out,
        "\xEF\xBB\xBFpath,user,rights\r\n\\\\FS1\\VOL1,.Alice.Sales.Corp,\r\n"
        "\"\\\\FS1\\VOL1\\Q1, \"\"Final\"\"\\notes.txt\",.Alice.Sales.Corp,RF\r\n");
    // The figures of the run: every entry of the walk, the header and the rows.
    run = runReport({ "--network", rules, "--format", "effective-csv", "--user", "Alice.Sales.Corp", "--scope", "both",
        "\\\\FS1\\VOL1", "--stats" });
    EXPECT_EQ(run.err.rfind("grantwise-report: 22 entries examined, 13 lines written, load ", 0), 0u) << run.err;
}

TEST(ReportCli, EffectiveRightsBadInput)
{
    const std::string rules = TestDataPath("effective-rules.json");
    TempDir dir;
    const std::string out = dir.file("map.csv");
    ASSERT_TRUE(WriteFileBytes(out, "old"));
    CliRun run = runReport(
        { "--network", rules, "--format", "effective", "--user", "Alicia.Sales.Corp", "\\\\FS1\\VOL1", "-o", out });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: no object named 'Alicia.Sales.Corp' in the tree RULES\n");
    EXPECT_EQ(ReadFileBytes(out), "old");
    run = runReport({ "--network", rules, "--format", "effective-csv", "\\\\FS1\\VOL1" });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: --format effective-csv needs --user NAME\n");
    run = runReport({ "--network", rules, "--user", "Alice.Sales.Corp", "\\\\FS1\\VOL1" });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: --user is only for --format effective and effective-csv\n");

    // A misspelt group in the description: the load error names its place.
    const std::string broken = dir.file("broken.json");
    WriteFileBytes(broken, R"({ "grantwise-network": 1, "trees": [ { "name": "T", "objects": [
        { "name": "A.Corp", "member-of": ["Staf.Corp"] }, { "name": "Staff.Corp", "class": "group" } ] } ],
      "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "V" } ] } ] })");
    run = runReport({ "--network", broken, "--format", "access", "\\\\FS1\\V" });
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(": $.trees[0].objects[0].member-of[0]: no object of the tree 'T' is named 'Staf.Corp'"),
        std::string::npos)
        << run.err;
}

TEST(ReportCli, CsvFormReadsBackWithAnIndependentReader)
{
    TempDir dir;
    const std::string file = dir.file("audit.csv");
    const CliRun run = runReport(auditScan({ "--format", "csv", "-o", file }));
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string csv = ReadFileBytes(file);
    expectGolden(csv, "cli-audit.csv");

    // Python's csv module (not our writer's logic) reads it back: one list of fields per
    // row, the fields separated by U+001F and the rows by U+001E.
    const ToolRun python = runTool(QStringLiteral("/usr/bin/python3"),
        { "-c",
            "import csv, sys\n"
            "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
            "    sys.stdout.buffer.write('\\x1e'.join('\\x1f'.join(r) for r in csv.reader(f, strict=True))"
            ".encode('utf-8'))\n",
            QString::fromStdString(file) });
    if (!python.started)
        GTEST_SKIP() << "/usr/bin/python3 cannot start (scripts/install-deps installs it)";
    ASSERT_EQ(python.status, 0) << python.err;
    std::vector<std::vector<std::string>> rows;
    for (const QString& row : QString::fromStdString(python.out).split(QChar(0x1e))) {
        rows.emplace_back();
        for (const QString& field : row.split(QChar(0x1f)))
            rows.back().push_back(field.toStdString());
    }
    ASSERT_EQ(rows.size(), 15u);
    EXPECT_EQ(rows[0], (std::vector<std::string> { "path", "type", "detail", "name", "rights" }));
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), 5u);
    const auto has
        = [&](const std::vector<std::string>& row) { return std::find(rows.begin(), rows.end(), row) != rows.end(); };
    EXPECT_TRUE(has({ "\\\\FS1\\VOL1\\Finance\\Q1, \"Final\".xls", "file", "trustee", ".Łukasz.Staff.Corp", "R" }));
    EXPECT_TRUE(has({ "\\\\FS1\\VOL1\\Finance\\日本語", "directory", "irm", "", "'-ALL" }));
    EXPECT_TRUE(
        has({ "\\\\FS1\\VOL1\\Finance\\日本語", "directory", "trustee", ".<script>alert(1)</script>.Corp", "RF" }));
    EXPECT_TRUE(has({ "\\\\FS1\\VOL1\\Finance", "directory", "trustee", ".Müller.Staff.Corp", "RWCEF" }));
}

TEST(ReportCli, HtmlFormIsValidAndRendersInChromium)
{
    TempDir dir;
    const std::string file = dir.file("audit.html");
    const CliRun run = runReport(auditScan({ "--format", "html", "-o", file }));
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string html = ReadFileBytes(file);
    expectGolden(withoutRunTime(html), "cli-audit.html");
    // The trustee named like a script stays text: the page holds one script, its own.
    EXPECT_NE(html.find(".&lt;script&gt;alert(1)&lt;/script&gt;.Corp"), std::string::npos);
    EXPECT_EQ(QString::fromStdString(html).count(QStringLiteral("<script")), 1);

    // An HTML5 parser in strict mode (html5lib) finds no error.
    const ToolRun parser = runTool(QStringLiteral("/usr/bin/python3"),
        { "-c",
            "import sys, html5lib\n"
            "p = html5lib.HTMLParser(strict=True)\n"
            "p.parse(open(sys.argv[1], 'rb'), transport_encoding='utf-8')\n",
            QString::fromStdString(file) });
    if (!parser.started || parser.err.find("No module named 'html5lib'") != std::string::npos)
        GTEST_SKIP() << "python3 with html5lib cannot start (scripts/install-deps installs python3-html5lib)";
    EXPECT_EQ(parser.status, 0) << parser.err;

    // Chromium renders it: a screenshot, and the page as its script leaves it (both
    // tables paged and counted). (With scripts off the page is its markup as parsed above.)
    const QString url = QStringLiteral("file://") + QString::fromStdString(file);
    const std::string png = dir.file("audit.png");
    const ToolRun shot = runTool(QStringLiteral("/usr/bin/chromium"),
        headlessChromium({ "--window-size=1200,1400", "--screenshot=" + QString::fromStdString(png), url }));
    if (!shot.started || shot.status != 0 || ReadFileBytes(png).empty())
        GTEST_SKIP() << "headless chromium cannot start here (scripts/install-deps installs chromium): "
                     << shot.err.substr(0, 400);
    EXPECT_EQ(ReadFileBytes(png).rfind("\x89PNG", 0), 0u);
    EXPECT_GT(ReadFileBytes(png).size(), 10000u); // not a blank page
    const ToolRun dom = runTool(QStringLiteral("/usr/bin/chromium"), headlessChromium({ "--dump-dom", url }));
    EXPECT_NE(dom.out.find("rows 1-14 of 14"), std::string::npos) << dom.out.substr(0, 2000);
    EXPECT_NE(dom.out.find("rows 1-7 of 7"), std::string::npos);
    EXPECT_NE(dom.out.find(".&lt;script&gt;alert(1)&lt;/script&gt;.Corp"), std::string::npos);
}

TEST(ReportCli, CompareWithASavedFileInEveryForm)
{
    const std::string old = TestDataPath("cli-compare-old.xml");
    for (const auto& [format, golden] :
        { std::pair { "txt", "cli-compare.txt" }, { "csv", "cli-compare.csv" }, { "html", "cli-compare.html" } }) {
        SCOPED_TRACE(format);
        const CliRun run = runReport(auditScan({ "--compare", old, "--format", format }));
        EXPECT_EQ(run.status, 3) << run.err;
        EXPECT_EQ(run.err, "");
        // The page names OLD as given; the golden holds it without this checkout's folder.
        const std::string folder = TestDataPath("");
        std::string out = std::string(format) == "html" ? withoutRunTime(run.out) : run.out;
        for (size_t at = out.find(folder); at != std::string::npos; at = out.find(folder))
            out.replace(at, folder.size(), "DATA/");
        expectGolden(out, golden);
    }
    // Two saved files give what the file and the scan gave; a file against itself, nothing.
    TempDir dir;
    const std::string saved = dir.file("new.xml");
    ASSERT_EQ(runReport(auditScan({ "--format", "xml", "-o", saved })).status, 0);
    CliRun run = runReport({ "--compare", old, "--against", saved, "--format", "csv" });
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(run.out, ReadFileBytes(TestDataPath("cli-compare.csv")));
    run = runReport({ "--compare", saved, "--against", saved });
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Nothing differs.\r\n");
    // Short names against long: said first, and every path then differs.
    run = runReport(withNetwork({ "--compare", saved, "--network", auditNetwork, "\\\\FS1\\VOL1", "--format", "csv" }));
    EXPECT_EQ(run.status, 2); // --network twice
    run = runReport({ "--network", auditNetwork, "\\\\FS1\\VOL1", "--scope", "both", "--info", "both", "--compare",
        saved, "--format", "csv" });
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out.find("\xEF\xBB\xBF"
                           "change,path,detail,name,old,new\r\nchanged,,settings,names,long,short\r\n"),
        0u)
        << run.out;
    // A start path that cannot be read: status 1, whatever differs.
    run = runReport(auditScan({ "--compare", saved, "\\\\FS1\\VOL9" }));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "grantwise-report: cannot read start path \\\\FS1\\VOL9: 0x8998 (Volume does not exist)\n");
}

TEST(ReportCli, CompareOnTheDemoNetworkFindsExactlyWhatChanged)
{
    TempDir dir;
    const std::string saved = dir.file("demo.xml");
    const std::vector<std::string> scan { "\\\\HL-FS1\\VOL1", "--scope", "both", "--info", "both" };
    auto args = scan;
    args.insert(args.end(), { "--format", "xml", "-o", saved });
    ASSERT_EQ(runReport(args).status, 0);
    args = scan;
    args.insert(args.end(), { "--compare", saved });
    CliRun run = runReport(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Nothing differs.\r\n");

    // A copy of the demo description with one trustee's rights, one owner and one IRM
    // changed.
    QFile demo(QStringLiteral(GRANTWISE_TEST_DATA "/../../data/demo-network.json"));
    ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
    QJsonObject root = QJsonDocument::fromJson(demo.readAll()).object();
    QJsonArray servers = root["servers"].toArray();
    QJsonObject server = servers[0].toObject();
    QJsonArray volumes = server["volumes"].toArray();
    QJsonObject volume = volumes[1].toObject();
    ASSERT_EQ(volume["name"].toString(), QStringLiteral("VOL1"));
    QJsonArray top = volume["entries"].toArray();
    QJsonObject finance = top[0].toObject();
    ASSERT_EQ(finance["dir"].toString(), QStringLiteral("Finance"));
    QJsonArray trustees = finance["trustees"].toArray();
    trustees[1] = QJsonArray { "MBrennan.Finance.Harbour", "RF" }; // was RWCEAFM
    finance["trustees"] = trustees;
    QJsonArray below = finance["entries"].toArray();
    for (qsizetype i = 0; i < below.size(); ++i) {
        QJsonObject entry = below[i].toObject();
        if (entry.value("dir") == QStringLiteral("Payroll"))
            entry["irm"] = "R"; // was RF
        if (entry.value("dir") == QStringLiteral("Invoices"))
            entry["owner"] = "LVasquez.Finance.Harbour"; // was TOkafor
        below[i] = entry;
    }
    finance["entries"] = below;
    top[0] = finance;
    volume["entries"] = top;
    volumes[1] = volume;
    server["volumes"] = volumes;
    servers[0] = server;
    root["servers"] = servers;
    const std::string changed = dir.file("changed.json");
    ASSERT_TRUE(WriteFileBytes(changed, QJsonDocument(root).toJson().toStdString()));

    args.insert(args.end(), { "--network", changed, "--format", "csv" });
    run = runReport(args);
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(run.out,
        "\xEF\xBB\xBF"
        "change,path,detail,name,old,new\r\n"
        "changed,HL-FS1\\VOL1:\\FINANCE,trustee,.MBrennan.Finance.Harbour,RWCEAFM,RF\r\n"
        "changed,HL-FS1\\VOL1:\\FINANCE\\INVOICES,owner,,.TOkafor.Finance.Harbour,.LVasquez.Finance.Harbour\r\n"
        "changed,HL-FS1\\VOL1:\\FINANCE\\PAYROLL,irm,,RF,R\r\n");
}

TEST(ReportCli, CompareRefusesWhatIsNotAGrantwiseXmlFile)
{
    TempDir dir;
    const std::string out = dir.file("diff.txt");
    const std::string head = "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?><document>\r\n";
    struct Case {
        std::string content;
        std::string message; // after "grantwise-report: <file>:"
    };
    const std::vector<Case> cases {
        { "<html><body/></html>", "1:2: not a Grantwise XML file: no XML declaration at the start" },
        { "<?xml version=\"1.0\" encoding=\"UTF-8\"?><document></document>",
            "1:38: not a Grantwise XML file: the declaration names the encoding 'UTF-8', not windows-1252" },
        { head + "<grantwise>\r\n<trustee><path>X</path><name>Y</name></trustee>",
            "3:29: not a Grantwise XML file: <rights> expected" },
        { head + "<grantwise>\r\n<acl><path>X</path></acl>", "3:5: not a Grantwise XML file: unexpected <acl>" },
        { head + "<irm><path>X</path><rights>RF</rights></irm>\r\n",
            "3:0: not a Grantwise XML file: Premature end of document." },
        { head + "<irm><path>&nbsp;</path><rights>RF</rights></irm></document>",
            "2:17: not a Grantwise XML file: Entity 'nbsp' not declared." },
        { head + "stray<irm><path>X</path><rights>RF</rights></irm></document>",
            "2:6: not a Grantwise XML file: text outside the elements" },
    };
    for (const Case& c : cases) {
        const std::string file = dir.file("bad.xml");
        ASSERT_TRUE(WriteFileBytes(file, c.content));
        SCOPED_TRACE(c.content);
        // As OLD before a scan (no scan runs, no output is made) and as NEW.
        CliRun run = runReport(withNetwork({ "\\\\FS1\\VOL1", "--compare", file, "-o", out }));
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "grantwise-report: " + file + ":" + c.message + "\n");
        EXPECT_EQ(FolderListing(dir.path()), "bad.xml");
        run = runReport({ "--compare", TestDataPath("cli-compare-old.xml"), "--against", file });
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "grantwise-report: " + file + ":" + c.message + "\n");
    }
    // A file that is missing or no regular file (a FIFO would make the read wait).
    CliRun run = runReport({ "--compare", dir.file("none.xml"), "--against", dir.file("none.xml") });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: " + dir.file("none.xml") + ": cannot read it: no such file\n");
    const std::string fifo = dir.file("old.pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    run = runReport({ "--compare", fifo, "--against", fifo });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: " + fifo + ": cannot read it: not a regular file\n");

    // Arguments that do not go together.
    const std::string old = TestDataPath("cli-compare-old.xml");
    run = runReport({ "--against", old });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: --against needs --compare OLD\n");
    run = runReport({ "--compare", old, "--against", old, "\\\\FS1\\VOL1" });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("grantwise-report: --against compares two saved files and scans nothing", 0), 0u);
    run = runReport({ "--compare", old, "--against", old, "--scope", "files" });
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--scope does not go with it"), std::string::npos) << run.err;
    run = runReport({ "--compare", old, "--format", "bat" });
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "grantwise-report: --compare writes --format txt, csv or html, not bat\n");
}
