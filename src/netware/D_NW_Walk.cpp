// D_NW: the directory walk.
//
// The walk recurses once per directory level (WalkDirectory -> ScanDirEntries ->
// WalkDirectory). Depth is bounded by the 255-character limit of NetWare paths, and each
// level keeps only one search work area on the stack: the directory record's work area
// (with its name buffer) lives in a function of its own that has returned before the
// search passes start.

#include "netware/D_NW.h"

#include "netware/NWBufferText.h"
#include "services/PendingMessages.h"
#include "util/D_Util.h"

#include <cstring>

namespace {

// Steps 2 of the walk: the directory's own record, handed to the callback when the
// directory information can be read.
[[gnu::noinline]] void ReportDirectoryRecord(const WalkArgs& walk)
{
    FD_Inf info;
    std::memset(info.infoSequence, 0xFF, sizeof info.infoSequence);
    uint32_t dateTime = 0;
    uint32_t ownerID = 0;
    uint8_t rightsMask = 0;
    info.code = NWLib().getDirectoryInfo(
        walk.connHandle, 0, walk.path.c_str(), info.infoSequence, info.dirName, dateTime, ownerID, rightsMask, nullptr);
    info.walkEntry.Kind = walkKindDirectory;
    info.walkEntry.Entry.rightsMask = rightsMask;
    info.walkEntry.Entry.dateTime = dateTime;
    info.walkEntry.Entry.ownerID = ownerID;
    if (info.code == 0)
        walk.callback(walk.path, info.walkEntry, walk.userData);
}

} // namespace

void WalkDirectory(uint32_t connHandle, const std::string& path, const std::string& pattern, uint8_t scope,
    const EntryCallback& callback, void* userData, bool recurse, const SearchFailureCallback* searchFailed)
{
    const WalkArgs walk { connHandle, RemoveSlash(path), pattern.empty() ? std::string("*.*") : pattern, scope,
        callback, userData, recurse, searchFailed };
    if (scope == 1 || scope == 2)
        ReportDirectoryRecord(walk);
    if (scope == 0 || scope == 2)
        ScanDirEntries(walk, searchAttrFiles, walk.pattern, false);
    if (recurse)
        ScanDirEntries(walk, searchAttrDirectories, "*.*", true);
}

void ScanDirEntries(const WalkArgs& walk, uint8_t searchAttributes, const std::string& pattern, bool recurse)
{
    NWClientLibrary& lib = NWLib();
    FD_Inf search;
    search.walkEntry.Kind = searchAttributes;
    search.code = lib.initFileSearch(walk.connHandle, 0, walk.path.c_str(), search.volumeNumber, search.directoryID,
        search.sequence, search.accessRights, nullptr);
    if (search.code != 0) {
        if (walk.searchFailed)
            (*walk.searchFailed)(walk.path, search.code);
        return;
    }
    const std::string folder = AddSlash(walk.path);
    while (search.code == 0) {
        search.code = lib.continueFileSearch(walk.connHandle, search.volumeNumber, search.directoryID, search.sequence,
            searchAttributes, pattern.c_str(), search.walkEntry.Entry, 1);
        if (search.code != 0)
            break;
        ProcessPendingMessages();
        search.sequence = search.walkEntry.Entry.nextSequence;
        search.fullPath = folder;
        search.fullPath += NWBufferText(search.walkEntry.Entry.shortName, sizeof search.walkEntry.Entry.shortName);
        if (searchAttributes == searchAttrFiles)
            walk.callback(search.fullPath, search.walkEntry, walk.userData);
        if (recurse)
            WalkDirectory(walk.connHandle, search.fullPath, walk.pattern, walk.scope, walk.callback, walk.userData,
                walk.recurse, walk.searchFailed);
    }
}
