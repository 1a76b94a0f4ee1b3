#include "scan/ScanRun.h"

#include "netware/D_NW.h"
#include "platform/PathForms.h"
#include "scan/EntryReport.h"
#include "scan/LineKinds.h"
#include "services/PendingMessages.h"
#include "util/D_Util.h"

#include <cstring>
#include <stdexcept>

namespace {

// Whether the start directory can be read as far as the walk reads it. The walk itself
// reports nothing for a directory it cannot read, which would look like a directory
// without trustees. So the directory's information is read in every mode (a directory
// whose information cannot be read is not there to report on, whichever entries the
// scope asks for), and a file search is started only where the walk searches: for the
// files of the scope, or for the subdirectories of a recursive walk. Returns the first
// failing code, 0 when the directory can be read.
uint16_t probeStartDirectory(
    NWClientLibrary& lib, uint32_t connHandle, const std::string& walkPath, uint8_t scopeFlag, bool recurse)
{
    const std::string path = RemoveSlash(walkPath);
    uint8_t infoSequence[9];
    std::memset(infoSequence, 0xFF, sizeof infoSequence);
    char dirName[nw::nameBufferSize] = {};
    uint32_t dateTime = 0;
    uint32_t ownerID = 0;
    uint8_t rightsMask = 0;
    if (const uint16_t code = lib.getDirectoryInfo(
            connHandle, 0, path.c_str(), infoSequence, dirName, dateTime, ownerID, rightsMask, nullptr))
        return code;
    const bool searches = scopeFlag == 0 || scopeFlag == 2 || recurse;
    if (!searches)
        return 0;
    uint8_t volumeNumber = 0;
    uint16_t directoryID = 0;
    uint16_t sequence = 0;
    uint8_t accessRights = 0;
    return lib.initFileSearch(connHandle, 0, path.c_str(), volumeNumber, directoryID, sequence, accessRights, nullptr);
}

void scanEntry(NWClientLibrary& lib, ScanSession& session, const QueueEntry& entry, uint8_t scopeFlag,
    ScanControls& controls, ReportList& results, EntryReport& report, ScanResult& result)
{
    session.DirPath = ConvertPathName(entry.path, PathForm::Short);
    const uint16_t parseCode
        = ParseNWPath(session.DirPath, session.ConnHandle, session.ServerName, session.VolumeName, session.DirPath);

    // Each value follows its label unchanged (percent signs included).
    results.appendSetting(lkBase, entry.path);
    results.appendSetting(lkSubdirs, BoolToText(entry.recurse));
    results.appendSetting(lkFilter, controls.patternText());
    results.appendSetting(lkInfo, ChoiceValue(controls.infoIndex(), InfoItems));
    results.appendSetting(lkScope, ChoiceValue(controls.scopeIndex(), ScopeItems));
    results.appendSeparator();

    GetConnTreeName(session.ConnHandle, session.TreeName);
    SetDSContext(session.DSContext, session.TreeName, "[Root]");

    const std::string walkPath = Format("%s:%s", session.VolumeName.c_str(), session.DirPath.c_str());
    if (parseCode != 0) {
        result.unreadable.push_back({ entry.path, parseCode });
    } else if (const uint16_t code = probeStartDirectory(lib, session.ConnHandle, walkPath, scopeFlag, entry.recurse);
               code != 0) {
        result.unreadable.push_back({ entry.path, code });
    }

    const EntryCallback callback = [&report](const std::string& path, const WalkEntry& walkEntry, void*) {
        report.ReportEntry(path, walkEntry);
    };
    WalkDirectory(session.ConnHandle, walkPath, controls.patternText(), scopeFlag, callback, &results, entry.recurse);

    results.appendSeparator();
    results.appendSeparator();
}

} // namespace

std::optional<uint8_t> ScopeFlagForIndex(int scopeIndex) noexcept
{
    switch (scopeIndex) {
    case 0:
        return uint8_t(1);
    case 1:
        return uint8_t(0);
    case 2:
        return uint8_t(2);
    default:
        return std::nullopt;
    }
}

std::string ChoiceValue(int index, const std::array<std::string_view, 3>& items)
{
    std::string value;
    if (index == 0 || index == 1)
        value = items[static_cast<size_t>(index)];
    else if (index == 2)
        value = std::string(items[0]) + " and " + std::string(items[1]);
    return RemoveChars(value, "&");
}

ScanResult RunScan(Services& services, ScanSession& session, const std::vector<QueueEntry>& queue, uint8_t scopeFlag,
    ScanControls& controls, ReportList& results)
{
    const ServicesScope scope(services);
    ScanResult result;
    EntryReport report(session, controls, results);
    const size_t count = queue.size();
    for (size_t i = 0; i < count; ++i) {
        try {
            scanEntry(services.client(), session, queue[i], scopeFlag, controls, results, report, result);
        } catch (const std::logic_error&) {
            // A fault in what one start path holds (a trustee block of more than 20
            // entries is a std::out_of_range) ends its report where it arose; the lines
            // written so far stay and the scan goes on with the next one. Running out of
            // memory (std::bad_alloc) and OperationCancelled are not such faults: they end
            // the whole scan.
        } catch (const std::runtime_error&) {
            // Likewise for an error reported while the start path is scanned.
        }
    }
    result.entriesExamined = report.entriesExamined();
    return result;
}
