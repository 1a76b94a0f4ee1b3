#include "LargeDirectory.h"

#include "BenchTable.h"

#include "netware/D_NW.h"
#include "platform/netware/DosNames.h"
#include "platform/netware/NetworkLoader.h"
#include "platform/netware/NetworkReader.h"
#include "scan/LineKinds.h"
#include "scan/ScanRun.h"
#include "util/D_Util.h"

#include <stdexcept>
#include <string>
#include <unordered_set>

namespace bench {

namespace {

constexpr int fileCount = 200000;
const std::string row = "dir";

void require(bool holds, const std::string& what)
{
    if (!holds)
        throw std::runtime_error(what);
}

// One server S (tree T), volume V, directory BIG with one trustee and the files.
std::string largeDescription()
{
    std::string text = R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "S",
      "tree": "T", "volumes": [ { "name": "V", "entries": [
      { "dir": "BIG", "trustees": [ ["Admin.Corp", "RF"] ], "entries": [ )";
    text.reserve(text.size() + fileCount * 28 + 16);
    for (int i = 1; i <= fileCount; ++i) {
        text += i == 1 ? "" : ",";
        text += Format(R"({"file":"Report %06d"})", i);
    }
    return text + "] } ] } ] } ] }";
}

size_t countOf(const ReportList& results, int32_t code)
{
    size_t n = 0;
    for (size_t i = 0; i < results.count(); ++i)
        n += results.code(i) == code;
    return n;
}

} // namespace

void MeasureLargeDirectory(int runs)
{
    runs = runs > 0 ? runs : 3;
    const std::string text = largeDescription();
    std::unique_ptr<SimulatedNetWare> library;
    std::vector<double> loadTimes;
    for (int run = 0; run < runs; ++run) {
        library.reset();
        const auto start = Clock::now();
        library = std::make_unique<SimulatedNetWare>(ReadNetwork(text, "large-directory.json"));
        loadTimes.push_back(SecondsSince(start));
    }

    const Network& net = *library->network();
    const NetEntry& root = net.entries[net.servers[0].volumes[0].root];
    const NetEntry& big = net.entries[root.firstChild];
    require(big.childCount == fileCount, "the directory holds " + std::to_string(big.childCount) + " files");
    std::unordered_set<std::string> aliases;
    for (uint32_t i = 0; i < big.childCount; ++i) {
        const std::string alias(Network::dosName(net.entries[big.firstChild + i]));
        require(IsValidDosName(alias), "'" + alias + "' is no valid DOS name");
        aliases.insert(alias);
    }
    require(aliases.size() == fileCount, "only " + std::to_string(aliases.size()) + " different DOS names");
    const std::string first(Network::dosName(net.entries[big.firstChild]));
    const std::string last(Network::dosName(net.entries[big.firstChild + fileCount - 1]));
    require(first == "REPORT~1", "the first alias is '" + first + "'");
    require(last == "R~200000", "the last alias is '" + last + "'");
    PrintRow(
        row, "200000 files: load, names generated", Summarize(loadTimes), "s", "aliases valid and unique: checked");

    Services services;
    services.clientLibrary = library.get();
    const ServicesScope scope(services);
    ScanSession session;
    require(library->createContext(session.DSContext) == 0, "no context");
    SetContextFlag(session.DSContext, '+', nw::ctxFlagTypeless);
    PlainScanControls controls;
    ReportList results;
    const auto scan = [&](int scope, int info, bool recurse) {
        results.clear();
        controls.scope = scope;
        controls.info = info;
        return RunScan(
            services, session, { { "\\\\S\\V\\BIG", recurse } }, *ScopeFlagForIndex(scope), controls, results);
    };

    // Files scope, recursion: every file examined once, none with a trustee.
    std::vector<double> scanTimes;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        const ScanResult result = scan(1, 0, true);
        scanTimes.push_back(SecondsSince(start));
        require(result.unreadable.empty(), "the directory is unreadable");
        require(result.entriesExamined == fileCount,
            "the files scan examined " + std::to_string(result.entriesExamined) + " entries");
        require(countOf(results, lkTrustee) == 0, "the files scan found trustees");
    }
    // The directory's own trustee shows with the directories scope; a pattern that
    // matches one alias examines one file.
    ScanResult result = scan(0, 2, true);
    require(result.entriesExamined == 1 && countOf(results, lkTrustee) == 1, "the directories scan missed its trustee");
    controls.pattern = last;
    result = scan(1, 0, false);
    require(result.entriesExamined == 1,
        "the pattern " + last + " examined " + std::to_string(result.entriesExamined) + " entries");
    PrintRow(row, "200000 files: scan files, recursive", Summarize(scanTimes), "s",
        "every file once, no trustee; directory's trustee, pattern: checked");
}

} // namespace bench
