// End-to-end: runs grantwise-report on the descriptions under tests/data and compares
// its output with expected files, byte for byte.
#include "support/FileFaults.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
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
