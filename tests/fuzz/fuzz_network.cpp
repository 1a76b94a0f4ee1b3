// Fuzzes the network-description loader with arbitrary text, then scans whatever loaded.
// The reader must either give a whole network or one NetworkLoadError naming the file;
// a loaded network must serve every start path, every walk and every name lookup
// without a crash, and every DOS name it holds must be a valid 8.3 name, unique in its
// directory.
#include "effective/EffectiveRun.h"
#include "netware/D_NW.h"
#include "platform/netware/DosNames.h"
#include "platform/netware/NetworkLoader.h"
#include "platform/netware/NetworkReader.h"
#include "scan/LongNames.h"
#include "scan/ScanRun.h"
#include "util/D_Util.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>

namespace {

void checkDosNames(const Network& net)
{
    for (const NetEntry& dir : net.entries) {
        if (!(dir.flags & NetEntry::isDirectory))
            continue;
        std::set<std::string> seen;
        for (uint32_t i = 0; i < dir.childCount; ++i) {
            const NetEntry& child = net.entries[dir.firstChild + i];
            const std::string dos(Network::dosName(child));
            if (!IsValidDosName(dos) || UpperAscii(dos) != dos || !seen.insert(dos).second)
                abort();
            // Every child is found again by both of its names.
            const uint32_t index = static_cast<uint32_t>(&child - net.entries.data());
            if (net.findChild(static_cast<uint32_t>(&dir - net.entries.data()), dos) != index)
                abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<Network> network;
    try {
        network = ReadNetwork(text, "fuzz.json");
    } catch (const NetworkLoadError& error) {
        if (std::string_view(error.what()).substr(0, 11) != "fuzz.json: ")
            abort();
        return 0;
    }
    checkDosNames(*network);

    // The network of the current context, so that the shell's long names see it too;
    // messages are dropped.
    SimulatedNetWare library(std::move(network));
    Services services;
    services.clientLibrary = &library;
    services.messageBox = [](int, const std::string&) {};
    const ServicesScope scope(services);
    const Network& net = *library.network();

    ScanSession session;
    if (library.createContext(session.DSContext) == 0) {
        SetContextFlag(session.DSContext, '+', 4);
        std::vector<NWConnectionItem> connections;
        ListConnections(connections);
        std::vector<QueueEntry> queue;
        for (const NetServer& server : net.servers)
            for (const NetVolume& volume : server.volumes)
                queue.push_back({ "\\\\" + server.name + "\\" + volume.name, true });
        queue.push_back({ "\\\\NOSUCH\\VOL", true });
        PlainScanControls controls;
        controls.scope = 2;
        controls.info = 2;
        ReportList results;
        RunScan(services, session, queue, 2, controls, results);
        GetLongNames(results);

        // Effective rights over the same start paths: who has access at each, and the
        // rights map of every declared object (lists in circles included).
        std::vector<effective::StartPath> starts;
        for (const QueueEntry& entry : queue)
            starts.push_back({ entry.path, true });
        effective::RunWhoHasAccess(starts, session.ConnHandle);
        for (const NetTree& tree : net.trees)
            for (size_t i = 0; i < tree.objects.size() && i < 4; ++i) {
                try {
                    effective::RunRightsMap(
                        starts, session.ConnHandle, tree.objects[i].name.typed(), { 2, "*.*", true }, true);
                } catch (const std::runtime_error&) {
                    // An object of another tree than the start paths' (UnknownObjectError),
                    // or a tree whose objects cannot be read (an injected failure).
                }
            }
    }
    return 0;
}
