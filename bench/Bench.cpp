// grantwise-bench: the figures the performance budgets are about, for each network
// description given, printed as one table (see README.md, "Benchmarks").
//
//   grantwise-bench [--runs N] [--out DIR] [--no-window | --window-only] [--no-large-directory] [DESCRIPTION...]
//
// Each description is measured in a child process of its own, so that the peak
// resident memory of a row is that description's alone; then, in one more, the stress
// check of a directory of 200,000 files (LargeDirectory.h). Timings assert nothing; a
// check of that directory that does not hold makes the exit status 1.

#include "BenchTable.h"
#include "EffectiveBench.h"
#include "LargeDirectory.h"
#include "LoadScaling.h"
#include "PlainNetworkWriter.h"
#include "WindowBench.h"

#include "export/AuditReport.h"
#include "export/FormParts.h"
#include "export/ReportCompare.h"
#include "export/ReportExport.h"
#include "export/ReportFile.h"
#include "netware/D_NW.h"
#include "platform/netware/NetworkLoader.h"
#include "scan/ClientSession.h"
#include "scan/LineKinds.h"
#include "scan/LongNames.h"
#include "scan/ScanRun.h"
#include "scan/TrusteeList.h"
#include "util/D_Util.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace bench;

struct Options {
    int runs = 0; // 0: 5 for descriptions below half a million entries, else 3
    std::string outDir = "bench-out";
    bool window = true;
    bool windowOnly = false; // for profiling the window: load, then the window rows only
    bool largeDirectory = true;
    std::vector<std::string> files;
};

// "100k" from ".../network-100k.json".
std::string sizeLabel(const std::string& file)
{
    std::string base = QFileInfo(QString::fromStdString(file)).completeBaseName().toStdString();
    const size_t dash = base.rfind('-');
    return dash == std::string::npos ? base.substr(0, 5) : base.substr(dash + 1, 5);
}

double peakResidentMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// The high-water mark of a running process's resident memory (VmHWM), in KiB; 0 when it
// cannot be read (the process has ended).
long residentHighWaterKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

// The peak resident memory of the command line writing the text form of the whole
// volume (scope Both, info Both, IRM) to a file, in a process of its own: the program
// built beside this one. -1 when it could not run or failed. Read from the program's own
// high-water mark while it runs: the child's rusage would count this process's resident
// memory too, which the child held between fork and exec.
double commandLinePeakMiB(const std::string& description, const std::string& start, const std::string& out)
{
    const std::string program
        = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "grantwise-report").string();
    const std::string output = out + "/command-line-report.txt";
    const pid_t child = fork();
    if (child == 0) {
        execl(program.c_str(), program.c_str(), "--network", description.c_str(), "--scope", "both", "--info", "both",
            "--irm", "-o", output.c_str(), start.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    long peakKiB = 0;
    bool ended = child <= 0;
    while (!ended) {
        // The mark only grows while the program runs, so the last reading before it ends
        // is its peak but for the last few milliseconds.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const long reading = residentHighWaterKiB(child);
        const pid_t waited = waitpid(child, &status, WNOHANG);
        peakKiB = std::max(peakKiB, reading);
        ended = waited != 0;
    }
    const bool ran = child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    ::unlink(output.c_str());
    return ran && peakKiB > 0 ? peakKiB / 1024.0 : -1;
}

// Starts the client of `services` (a fresh context) and opens the first connection as the
// command line does; the session is ready for RunScan.
void startSession(Services& services, ScanSession& session)
{
    std::vector<NWConnectionItem> connections;
    if (StartClient(services, session, connections) != 0)
        throw std::runtime_error("the client library did not start");
    if (connections.empty())
        throw std::runtime_error("the network has no connection");
    const ServicesScope scope(services);
    SetContextFlag(session.DSContext, '+', 4);
    OpenChosenConnection(services, session, connections.front().reference, connections.front().serverName);
}

// The heaviest scan: scope Both, info Both, IRM on, recursion, the first volume of the
// first server.
PlainScanControls heaviestChoices()
{
    PlainScanControls controls;
    controls.scope = 2;
    controls.info = 2;
    controls.irm = true;
    controls.pattern = "*.*";
    return controls;
}

std::vector<QueueEntry> wholeVolume(const Network& net)
{
    return { { "\\\\" + net.servers.front().name + "\\" + net.servers.front().volumes.front().name, true } };
}

// One plain write of bytes to path: open, write, close; with sync, an fdatasync before
// the close, as the save's QSaveFile does before it puts the file in place.
double plainWriteSeconds(const std::string& path, const std::vector<std::string>& parts, bool sync)
{
    const auto start = Clock::now();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot write " + path);
    for (const std::string& bytes : parts) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                ::close(fd);
                throw std::runtime_error("cannot write " + path);
            }
            done += static_cast<size_t>(n);
        }
    }
    if (sync)
        ::fdatasync(fd);
    ::close(fd);
    const double seconds = SecondsSince(start);
    ::unlink(path.c_str());
    return seconds;
}

std::string ratio(double value, double floor)
{
    return Format("%.2fx", floor > 0 ? value / floor : 0.0);
}

void measureDescription(const std::string& file, const Options& options)
{
    const std::string size = sizeLabel(file);
    const std::string out = options.outDir;
    QDir().mkpath(QString::fromStdString(out));

    // Loading the description (for generated ones: the generation).
    std::unique_ptr<SimulatedNetWare> library;
    std::vector<double> loadTimes;
    int runs = options.runs;
    for (int run = 0; run < std::max(runs, 1); ++run) {
        library.reset();
        const auto start = Clock::now();
        library = LoadNetwork(file);
        loadTimes.push_back(SecondsSince(start));
        if (!library->loaded())
            throw std::runtime_error(library->loadError());
        if (runs == 0)
            runs = library->network()->entryCount() < 500000 ? 5 : 3;
    }
    const size_t entryCount = library->network()->entryCount();
    PrintRow(size, "load description", Summarize(loadTimes), "s", Format("%zu entries", entryCount));

    if (options.windowOnly) {
        MeasureWindow(*library, size, runs, 0, out);
        return;
    }

    // The parser on a plain description of the same network, written out once.
    if (entryCount <= 200000) {
        const std::string plainFile = out + "/plain-" + size + ".json";
        const std::string text = PlainNetworkText(*library->network());
        if (!WriteReportFile(plainFile, text).ok)
            throw std::runtime_error("cannot write " + plainFile);
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            const auto start = Clock::now();
            auto plain = LoadNetwork(plainFile);
            times.push_back(SecondsSince(start));
            if (!plain->loaded())
                throw std::runtime_error(plain->loadError());
        }
        const Summary s = Summarize(times);
        const double mb = text.size() / 1e6;
        PrintRow(size, "load plain JSON", s, "s", Format("%.1f MB", mb));
        PrintRow(size, "load plain JSON, rate", { mb / s.median, mb / s.max, mb / s.min }, "MB/s",
            Verdict(mb / s.median >= 300, ">= 300 MB/s"), 1);
        ::unlink(plainFile.c_str());
    }

    const Network& net = *library->network();

    // The headless scan.
    std::vector<double> scanTimes;
    ReportList results;
    uint64_t examined = 0;
    for (int run = 0; run < runs; ++run) {
        results.clear();
        Services services;
        services.clientLibrary = library.get();
        ScanSession session;
        startSession(services, session);
        PlainScanControls controls = heaviestChoices();
        const auto start = Clock::now();
        const ScanResult result = RunScan(services, session, wholeVolume(net), 2, controls, results);
        scanTimes.push_back(SecondsSince(start));
        examined = result.entriesExamined;
    }
    const Summary scan = Summarize(scanTimes);
    const size_t lines = results.count();
    PrintRow(size, "scan (Both/Both/IRM, recursive)", scan, "s",
        Format("%llu entries, %zu lines", static_cast<unsigned long long>(examined), lines));
    const Summary entryRate { examined / scan.median, examined / scan.max, examined / scan.min };
    PrintRow(size, "scan, entries per second", entryRate, "entries/s",
        size == "1m"        ? Verdict(entryRate.median >= 500000, ">= 500000")
            : size == "10m" ? Verdict(entryRate.median >= 1500000, ">= 1500000")
                            : "",
        0);
    PrintRow(
        size, "scan, lines per second", { lines / scan.median, lines / scan.max, lines / scan.min }, "lines/s", "", 0);
    MeasureRightsMap(*library, size, runs, scan.median);

    // The list by trustee, against a plain stable sort of the same rows.
    std::vector<double> buildTimes, sortTimes;
    size_t trusteeRows = 0;
    for (int run = 0; run < runs; ++run) {
        ReportList byTrustee;
        auto start = Clock::now();
        BuildTrusteeList(results, byTrustee);
        buildTimes.push_back(SecondsSince(start));
        trusteeRows = byTrustee.count();
        byTrustee.clear();

        // The same rows as texts ('Trustee: <name> [<rights>]', the trustee line without
        // its indent), made before the clock starts: the floor sorts texts it only reads.
        struct Row {
            std::string_view text;
            uint32_t pathLine;
        };
        std::string texts;
        std::vector<std::pair<size_t, uint32_t>> spans; // end of the row's text, path line
        uint32_t lastPath = 0;
        for (size_t i = 0; i < results.count(); ++i) {
            const int32_t code = results.code(i);
            if (code == lkPath) {
                lastPath = static_cast<uint32_t>(i);
            } else if (code == lkTrustee) {
                const size_t from = texts.size();
                results.appendText(i, texts);
                texts.erase(from, lineIndent.size());
                spans.push_back({ texts.size(), lastPath });
            }
        }
        std::vector<Row> rows;
        rows.reserve(spans.size());
        for (size_t k = 0; k < spans.size(); ++k) {
            const size_t begin = k == 0 ? 0 : spans[k - 1].first;
            rows.push_back({ std::string_view(texts).substr(begin, spans[k].first - begin), spans[k].second });
        }
        start = Clock::now();
        std::stable_sort(rows.begin(), rows.end(),
            [](const Row& a, const Row& b) { return CompareTrusteeRows(a.text, b.text) < 0; });
        sortTimes.push_back(SecondsSince(start));
    }
    const Summary build = Summarize(buildTimes);
    const Summary sortFloor = Summarize(sortTimes);
    PrintRow(size, "list by trustee", build, "s",
        Format("%zu rows; %s of the sort floor; %s", trusteeRows, ratio(build.median, sortFloor.median).c_str(),
            Verdict(build.median <= 3 * sortFloor.median, "<= 3x").c_str()));
    PrintRow(size, "  floor: std::stable_sort of the rows", sortFloor, "s", "");

    // The save forms, each against one plain write of as many bytes to the same folder.
    struct Form {
        SaveForm form;
        const char* name;
        double budget;
    };
    for (const Form& form : { Form { SaveForm::Text, "text", 3 }, Form { SaveForm::Batch, "batch", 3 },
             Form { SaveForm::Xml, "XML", 5 }, Form { SaveForm::Csv, "CSV", 3 }, Form { SaveForm::Html, "HTML", 5 } }) {
        std::vector<double> saveTimes, floorTimes, unsyncedTimes;
        size_t bytes = 0;
        const std::string path = out + "/save-" + size + "." + std::string(SaveFormExtension(form.form));
        for (int run = 0; run < runs; ++run) {
            const auto start = Clock::now();
            // As the window saves: the form made whole in memory (in the parts it was
            // made in), then written.
            const std::vector<std::string> parts = BuildSaveFormInParts(form.form, results, results);
            if (!WriteReportFile(path, parts).ok)
                throw std::runtime_error("cannot write " + path);
            saveTimes.push_back(SecondsSince(start));
            bytes = FormPartsSize(parts);
            ::unlink(path.c_str());
            floorTimes.push_back(plainWriteSeconds(path, parts, true));
            unsyncedTimes.push_back(plainWriteSeconds(path, parts, false));
        }
        const Summary save = Summarize(saveTimes);
        const Summary floor = Summarize(floorTimes);
        // Ten times the scale: every form within twice its write floor.
        const double budget = size == "10m" ? 2 : form.budget;
        const double mb = bytes / 1e6;
        PrintRow(size, std::string("save ") + form.name, save, "s",
            Format("%.1f MB; %s of the write floor; %s", mb, ratio(save.median, floor.median).c_str(),
                Verdict(save.median <= budget * floor.median, Format("<= %gx", budget)).c_str()));
        PrintRow(size, std::string("save ") + form.name + ", rate", { mb / save.median, mb / save.max, mb / save.min },
            "MB/s", "", 1);
        PrintRow(size, "  floor: write + fdatasync, as many B", floor, "s",
            Format("without fdatasync: %.3f s", Summarize(unsyncedTimes).median));
    }

    // A compare of two saves of the scan (two files of the same bytes: every detail is
    // read, matched and compared, and nothing differs): reading both, then matching.
    {
        const std::string older = out + "/compare-old-" + size + ".xml";
        const std::string newer = out + "/compare-new-" + size + ".xml";
        const std::string xml = BuildXmlForm(results);
        if (!WriteReportFile(older, xml).ok || !WriteReportFile(newer, xml).ok)
            throw std::runtime_error("cannot write " + older);
        std::vector<double> readTimes, compareTimes, totalTimes;
        size_t details = 0, rows = 0;
        for (int run = 0; run < runs; ++run) {
            const auto start = Clock::now();
            const auto [a, b] = ReadSavedXmlPair(older, newer);
            readTimes.push_back(SecondsSince(start));
            const auto match = Clock::now();
            const CompareResult result = CompareReports(a, b);
            compareTimes.push_back(SecondsSince(match));
            totalTimes.push_back(SecondsSince(start));
            details = a.details.size();
            rows = result.rows.size();
        }
        ::unlink(older.c_str());
        ::unlink(newer.c_str());
        const Summary total = Summarize(totalTimes);
        PrintRow(size, "compare two XML saves", total, "s",
            Format("%zu details each, %.1f MB each, %zu differences; %s", details, xml.size() / 1e6, rows,
                size == "1m" ? Verdict(total.median <= 10, "<= 10 s").c_str() : ""));
        PrintRow(size, "  reading both files (one thread each)", Summarize(readTimes), "s", "");
        PrintRow(size, "  matching and comparing", Summarize(compareTimes), "s", "");
    }

    // Memory of the report store.
    const double perLine = lines ? double(results.memoryBytes()) / lines : 0;
    const double textPerLine = lines ? double(results.textBytes()) / lines : 0;
    const double storeLimit = 1.5 * textPerLine + 8;
    PrintRow(size, "report store, bytes per line", { perLine, perLine, perLine }, "B/line",
        Format("text %.1f B/line; %s", textPerLine,
            (size == "10m" ? Verdict(perLine <= 25, "<= 25")
                           : Verdict(perLine < storeLimit, Format("< 1.5 x text + 8 = %.1f", storeLimit)))
                .c_str()),
        1);

    // The same work in the window, on the offscreen platform.
    if (options.window)
        MeasureWindow(*library, size, runs, scan.median, out);
    else
        PrintMissing(size, "window figures", "not measured (--no-window)");

    const double peak = peakResidentMiB();
    PrintRow(size, "peak resident memory", { peak, peak, peak }, "MiB",
        size == "1m" ? Verdict(peak < 1536, "< 1536 MiB") : "", 0);
    if (!options.windowOnly) {
        const double cli = commandLinePeakMiB(file, wholeVolume(net).front().path, out);
        if (cli < 0)
            throw std::runtime_error("the command line did not run on " + file);
        PrintRow(size, "peak resident memory, command line", { cli, cli, cli }, "MiB",
            "text form, Both/Both/IRM, whole volume" + (size == "10m" ? "; " + Verdict(cli < 3000, "< 3000 MiB") : ""),
            0);
    }
}

[[noreturn]] void Usage()
{
    std::fprintf(stderr,
        "usage: grantwise-bench [--runs N] [--out DIR] [--no-window | --window-only] [--no-large-directory] "
        "[DESCRIPTION...]\n");
    std::exit(2);
}

Options parseOptions(int argc, char* argv[])
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            options.runs = std::max(0, std::atoi(argv[++i]));
        else if (arg == "--out" && i + 1 < argc)
            options.outDir = argv[++i];
        else if (arg == "--no-window")
            options.window = false;
        else if (arg == "--window-only")
            options.windowOnly = true;
        else if (arg == "--no-large-directory")
            options.largeDirectory = false;
        else if (!arg.empty() && arg[0] == '-')
            Usage();
        else
            options.files.push_back(arg);
    }
    if (options.files.empty() && !options.largeDirectory)
        Usage();
    return options;
}

// Runs measure in a child process of its own, so that its peak memory is its own;
// false when it failed (what is named in the message).
bool measureInChild(const std::string& what, const std::function<void()>& measure)
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        try {
            measure();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "grantwise-bench: %s: %s\n", what.c_str(), e.what());
            std::fflush(stdout);
            _exit(1);
        }
        std::fflush(stdout);
        _exit(0);
    }
    int childStatus = 0;
    waitpid(child, &childStatus, 0);
    return WIFEXITED(childStatus) && WEXITSTATUS(childStatus) == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const Options options = parseOptions(argc, argv);
    PrintHeading(static_cast<int>(std::thread::hardware_concurrency()));
    int status = 0;
    for (const std::string& file : options.files)
        if (!measureInChild(file, [&] { measureDescription(file, options); }))
            status = 1;
    if (options.largeDirectory && !options.windowOnly
        && !measureInChild("directory of 200000 files", [&] { MeasureLargeDirectory(options.runs); }))
        status = 1;
    // Who has access among 10,000 users.
    if (!options.windowOnly && !measureInChild("who has access", [&] {
            MeasureWhoHasAccess(options.runs > 0 ? options.runs : 5, options.outDir);
        }))
        status = 1;
    // The loads that must grow linearly with their input.
    if (!options.windowOnly && !measureInChild("load scaling", [&] {
            MeasureLoadScaling(options.runs > 0 ? options.runs : 3, options.outDir);
        }))
        status = 1;
    return status;
}
