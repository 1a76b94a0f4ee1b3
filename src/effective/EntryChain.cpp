#include "effective/EntryChain.h"

#include "netware/D_NW.h"
#include "netware/NWBufferText.h"
#include "util/D_Util.h"

#include <cstring>

namespace effective {

namespace {

constexpr uint32_t requesterFailure = 0x88FF;
constexpr uint32_t invalidPath = 0x899C;

// The components of a directory path, either separator.
std::vector<std::string> componentsOf(const std::string& dirPath)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : dirPath + "\\") {
        if (c == '\\' || c == '/') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    return parts;
}

// The library path of an entry in a folder ('VOL1:' + 'DOCS' is 'VOL1:DOCS').
std::string childPath(const std::string& folder, const std::string& name)
{
    return !folder.empty() && folder.back() == ':' ? folder + name : folder + "\\" + name;
}

// The name of an entry in a name space, read in the long name space (which knows both
// names, so a path may mix them), and whether it is a directory.
uint32_t readEntryName(uint32_t conn, const std::string& path, uint8_t nameSpace, std::string& name, bool& isDirectory)
{
    NWEntryInfo info {};
    const uint16_t code = NWLib().getNSEntryInfo(conn, 0, path.c_str(), nw::nameSpaceLong, nameSpace, info);
    if (code == 0) {
        name = NWBufferText(info.entryName, sizeof info.entryName);
        isDirectory = (info.attributes & nw::attrDirectory) != 0;
    }
    return code;
}

// A directory's inherited rights mask.
uint32_t readDirectoryMask(uint32_t conn, const std::string& dosPath, uint8_t& irm)
{
    uint8_t sequence[9];
    std::memset(sequence, 0xFF, sizeof sequence);
    char name[nw::nameBufferSize] = {};
    uint32_t dateTime = 0, ownerID = 0;
    return NWLib().getDirectoryInfo(conn, 0, dosPath.c_str(), sequence, name, dateTime, ownerID, irm, nullptr);
}

// A file's rights-mask byte, as the file search of its directory returns it.
uint32_t readFileMask(uint32_t conn, const std::string& folder, const std::string& dosName, uint8_t& irm)
{
    NWClientLibrary& lib = NWLib();
    uint8_t volumeNumber = 0, accessRights = 0;
    uint16_t directoryID = 0, sequence = 0;
    if (const uint16_t code
        = lib.initFileSearch(conn, 0, folder.c_str(), volumeNumber, directoryID, sequence, accessRights, nullptr))
        return code;
    NWSearchEntry found {};
    // A DOS name holds no wildcard, so the pattern matches this file only; the search
    // ends on its own after it.
    uint16_t code
        = lib.continueFileSearch(conn, volumeNumber, directoryID, sequence, searchAttrFiles, dosName.c_str(), found, 1);
    if (code != 0)
        return code;
    irm = found.rightsMask;
    while (code == 0)
        code = lib.continueFileSearch(
            conn, volumeNumber, directoryID, found.nextSequence, searchAttrFiles, dosName.c_str(), found, 1);
    return 0;
}

} // namespace

uint32_t ReadAssignments(uint32_t connHandle, const std::string& dosPath, std::vector<Assignment>& assignments)
{
    std::vector<NWTrusteeEntry> entries;
    uint16_t code = 0;
    try {
        code = GetTrusteeEntries(connHandle, dosPath, entries);
    } catch (const TrusteeBlockRangeError&) {
        return requesterFailure;
    }
    if (code != 0)
        return code;
    for (const NWTrusteeEntry& entry : entries)
        assignments.push_back({ entry.objectID, entry.rights });
    return 0;
}

uint32_t ReadLongName(uint32_t connHandle, const std::string& dosPath, std::string& longName)
{
    bool isDirectory = false;
    return readEntryName(connHandle, dosPath, nw::nameSpaceLong, longName, isDirectory);
}

uint32_t ResolveEntry(const std::string& path, uint32_t connHandle, ResolvedEntry& entry)
{
    entry = ResolvedEntry();
    entry.connHandle = connHandle;
    std::string dirPath;
    if (const uint16_t code = ParseNWPath(path, entry.connHandle, entry.server, entry.volume, dirPath))
        return code;
    if (const uint16_t code = GetConnTreeName(entry.connHandle, entry.treeName))
        return code;
    const uint32_t conn = entry.connHandle;

    // A level's trustees, then the level itself.
    const auto addLevel = [&](ChainLevel level, const std::string& dosPath, const std::string& longPath) {
        if (const uint32_t code = ReadAssignments(conn, dosPath, level.assignments))
            return code;
        entry.levels.push_back(std::move(level));
        entry.dosPaths.push_back(dosPath);
        entry.longPaths.push_back(longPath);
        return uint32_t(0);
    };
    std::string dosPath = entry.volume + ":";
    std::string longPath = "\\\\" + entry.server + "\\" + entry.volume;
    ChainLevel root;
    if (const uint32_t code = readDirectoryMask(conn, dosPath, root.irm))
        return code;
    if (const uint32_t code = addLevel(std::move(root), dosPath, longPath))
        return code;

    const std::vector<std::string> parts = componentsOf(dirPath);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (entry.isFile)
            return invalidPath; // a file has no entries below it
        const std::string folder = dosPath;
        std::string dosName, longName;
        bool isDirectory = false;
        if (const uint32_t code
            = readEntryName(conn, childPath(folder, parts[i]), nw::nameSpaceDos, dosName, isDirectory))
            return code;
        dosPath = childPath(folder, dosName);
        if (const uint32_t code = ReadLongName(conn, dosPath, longName))
            return code;
        longPath += "\\" + longName;
        ChainLevel level;
        if (isDirectory) {
            if (const uint32_t code = readDirectoryMask(conn, dosPath, level.irm))
                return code;
        } else {
            entry.isFile = true;
            if (const uint32_t code = readFileMask(conn, folder, dosName, level.irm))
                return code;
        }
        if (const uint32_t code = addLevel(std::move(level), dosPath, longPath))
            return code;
    }
    return 0;
}

} // namespace effective
