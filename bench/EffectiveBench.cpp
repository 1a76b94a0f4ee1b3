#include "EffectiveBench.h"

#include "BenchTable.h"

#include "effective/EffectiveRun.h"
#include "export/EffectiveForms.h"
#include "netware/D_NW.h"
#include "platform/netware/NetworkLoader.h"
#include "scan/ScanSession.h"
#include "services/Services.h"
#include "util/D_Util.h"

#include <QDir>

#include <cstdio>
#include <memory>

#include <stdexcept>

namespace bench {

namespace {

// The first generated user ("ASmith" of the first department, a member of its staff
// group), in the context the description's generate key names.
const char* const kUser = "ASmith.Sales.Corp";

// The network path of a directory `levels` down the first subdirectories of the first
// volume (fewer when the tree is not that deep).
std::string DeepPath(const Network& net, int levels)
{
    const NetServer& server = net.servers.front();
    std::string path = "\\\\" + server.name + "\\" + server.volumes.front().name;
    uint32_t dir = server.volumes.front().root;
    for (int level = 0; level < levels; ++level) {
        const NetEntry& entry = net.entries[dir];
        uint32_t next = NetEntry::none;
        for (uint32_t i = 0; i < entry.childCount && next == NetEntry::none; ++i)
            if (net.entries[entry.firstChild + i].flags & NetEntry::isDirectory)
                next = entry.firstChild + i;
        if (next == NetEntry::none)
            break;
        dir = next;
        path += "\\" + std::string(net.longName(net.entries[dir]));
    }
    return path;
}

} // namespace

void MeasureRightsMap(SimulatedNetWare& library, const std::string& size, int runs, double scanSeconds)
{
    const Network& net = *library.network();
    Services services;
    services.clientLibrary = &library;
    ScanSession session;
    StartSession(services, session);
    const ServicesScope scope(services);
    const uint32_t conn = session.ConnHandle;
    const std::vector<effective::StartPath> volume { { DeepPath(net, 0), true } };
    const effective::WalkChoices choices { 2, "*.*", true };
    for (const bool explain : { true, false }) {
        std::vector<double> times;
        size_t rows = 0, bytes = 0;
        uint64_t examined = 0;
        for (int run = 0; run < runs; ++run) {
            const auto start = Clock::now();
            const effective::RightsMapReport report = effective::RunRightsMap(volume, conn, kUser, choices, explain);
            const std::string form = BuildRightsMapForm(report, !explain);
            times.push_back(SecondsSince(start));
            rows = report.rows.size();
            bytes = form.size();
            examined = report.entriesExamined;
        }
        const Summary map = Summarize(times);
        const std::string figure = explain ? "rights map of one user, text form" : "rights map of one user, CSV form";
        std::string note
            = Format("%llu entries, %zu rows, %.1f MB; %.2fx the scan", static_cast<unsigned long long>(examined), rows,
                bytes / 1e6, scanSeconds > 0 ? map.median / scanSeconds : 0);
        if (size == "1m")
            note += "; " + Verdict(map.median <= 1.5 * scanSeconds, "<= 1.5x");
        PrintRow(size, figure, map, "s", note);
    }
    PrintRow(size, "  floor: the headless scan above", { scanSeconds, scanSeconds, scanSeconds }, "s",
        "Both/Both/IRM, recursive, same tree");
}

void MeasureWhoHasAccess(int runs, const std::string& outDir)
{
    QDir().mkpath(QString::fromStdString(outDir));
    const std::string file = outDir + "/who-has-access.json";
    const std::string text = R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ],
  "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "VOL1", "trustees": [ ["[Root]", "F"] ],
    "generate": { "seed": 7, "directories": 6, "depth": 5, "files": 4, "trustees": 0.5, "irm": 0.1,
                  "users": 10000, "groups": 60, "owners": 100, "context": "Corp" } } ] } ] })";
    FILE* out = std::fopen(file.c_str(), "wb");
    if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fclose(out) != 0)
        throw std::runtime_error("cannot write " + file);
    const std::unique_ptr<SimulatedNetWare> library = LoadNetwork(file);
    if (!library->loaded())
        throw std::runtime_error(library->loadError());
    Services services;
    services.clientLibrary = library.get();
    ScanSession session;
    StartSession(services, session);
    const ServicesScope scope(services);
    const uint32_t conn = session.ConnHandle;
    const std::string path = DeepPath(*library->network(), 4);
    std::vector<double> times;
    size_t rows = 0;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        const effective::AccessReport report = effective::RunWhoHasAccess({ { path, false } }, conn);
        times.push_back(SecondsSince(start));
        if (report.entries.at(0).code != 0)
            throw std::runtime_error(path + " cannot be read");
        rows = report.entries[0].rows.size();
    }
    const Summary access = Summarize(times);
    PrintRow("10k u", "who has access at one path", access, "s",
        Format("10,000 users, %zu with rights, %.1f us a user; %s", rows, access.median * 1e6 / 10000,
            Verdict(access.median <= 1.0, "<= 1 s").c_str()));
    std::remove(file.c_str());
}

} // namespace bench
