#include "support/FakeNWClient.h"

#include "platform/netware/DosNames.h"
#include "util/D_Util.h"

#include <algorithm>
#include <cstring>

namespace {
void copyText(const std::string& text, char* buffer, size_t size)
{
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}
constexpr uint16_t invalidConnection = 0x8801;
constexpr uint16_t noConnection = 0x880F;
constexpr uint16_t invalidParameter = 0x8836;
constexpr uint16_t invalidPath = 0x899C;
constexpr uint16_t noMoreFiles = 0x89FF;
constexpr uint16_t serverNotFound = 0x8847;

// The child's name in a name space.
const std::string& nameIn(const FakeNWClient::Child& child, uint8_t nameSpace)
{
    return nameSpace == nw::nameSpaceLong && !child.longName.empty() ? child.longName : child.shortName;
}

void fillInfo(const std::string& name, bool isDirectory, NWEntryInfo& info)
{
    info = NWEntryInfo();
    copyText(name, info.entryName, sizeof info.entryName);
    info.nameLength = static_cast<uint16_t>(std::min(name.size(), sizeof info.entryName - 1));
    info.attributes = isDirectory ? nw::attrDirectory : 0;
}
} // namespace

void FakeNWClient::queueCodes(const std::string& entry, std::initializer_list<uint32_t> codes)
{
    auto& queue = m_queued[entry];
    queue.insert(queue.end(), codes.begin(), codes.end());
}

void FakeNWClient::setFixedCode(const std::string& entry, uint32_t code)
{
    if (code == 0)
        m_fixed.erase(entry);
    else
        m_fixed[entry] = code;
}

std::vector<std::string> FakeNWClient::entries() const
{
    std::vector<std::string> out;
    for (const auto& call : m_calls)
        out.push_back(call.entry);
    return out;
}

int FakeNWClient::countOf(const std::string& entry) const
{
    return static_cast<int>(
        std::count_if(m_calls.begin(), m_calls.end(), [&](const Call& call) { return call.entry == entry; }));
}

uint32_t FakeNWClient::record(const std::string& entry, const std::string& args)
{
    m_calls.push_back({ entry, args });
    auto queued = m_queued.find(entry);
    if (queued != m_queued.end() && !queued->second.empty()) {
        const uint32_t code = queued->second.front();
        queued->second.pop_front();
        if (code != 0)
            return code;
    }
    auto fixed = m_fixed.find(entry);
    return fixed != m_fixed.end() ? fixed->second : 0;
}

uint16_t FakeNWClient::initialize(void*, void*)
{
    return static_cast<uint16_t>(record("initialize", ""));
}

uint16_t FakeNWClient::getPrimaryConnRef(uint32_t& connRef)
{
    if (const uint32_t code = record("getPrimaryConnRef", ""))
        return static_cast<uint16_t>(code);
    connRef = primaryRef;
    return 0;
}

uint16_t FakeNWClient::NWCCScanConnRefs(uint32_t& scanIndex, uint32_t& connRef)
{
    if (const uint32_t code = record("NWCCScanConnRefs", std::to_string(scanIndex)))
        return static_cast<uint16_t>(code);
    if (scanIndex >= connRefs.size())
        return noConnection;
    connRef = connRefs[scanIndex++];
    return 0;
}

uint16_t FakeNWClient::NWCCOpenConnByRef(uint32_t connRef, uint32_t openState, uint32_t reserved, uint32_t& connHandle)
{
    if (const uint32_t code = record("NWCCOpenConnByRef", Format("%u %u %u", connRef, openState, reserved)))
        return static_cast<uint16_t>(code);
    connHandle = openedHandle;
    return 0;
}

uint16_t FakeNWClient::closeConn(uint32_t connHandle)
{
    return static_cast<uint16_t>(record("closeConn", std::to_string(connHandle)));
}

uint16_t FakeNWClient::getConnInfo(uint32_t connHandle, uint16_t item, uint16_t bufferLength, char* buffer)
{
    if (const uint32_t code = record("getConnInfo", Format("%u %u %u", connHandle, item, bufferLength)))
        return static_cast<uint16_t>(code);
    const auto& names = item == 7 ? connServerNames : connTreeNames;
    auto it = names.find(connHandle);
    if ((item != 4 && item != 7) || it == names.end())
        return invalidConnection;
    copyText(it->second, buffer, bufferLength);
    return 0;
}

uint16_t FakeNWClient::getConnRefInfo(uint32_t connRef, uint16_t item, uint16_t bufferLength, char* buffer)
{
    if (const uint32_t code = record("getConnRefInfo", Format("%u %u %u", connRef, item, bufferLength)))
        return static_cast<uint16_t>(code);
    auto it = refServerNames.find(connRef);
    if (item != 7 || it == refServerNames.end())
        return invalidConnection;
    copyText(it->second, buffer, bufferLength);
    return 0;
}

uint32_t FakeNWClient::createContext(uint32_t& context)
{
    if (const uint32_t code = record("createContext", ""))
        return code;
    context = contextHandle;
    return 0;
}

uint32_t FakeNWClient::getContextInfo(uint32_t context, uint32_t key, void* value)
{
    if (const uint32_t code = record("getContextInfo", Format("%u %u", context, key)))
        return code;
    if (key == 1)
        std::memcpy(value, &contextFlags, sizeof contextFlags);
    else if (key == 3)
        copyText(contextNameContext, static_cast<char*>(value), 256);
    else if (key == 11)
        copyText(contextTreeName, static_cast<char*>(value), 256);
    else
        return invalidParameter;
    return 0;
}

uint32_t FakeNWClient::setContextInfo(uint32_t context, uint32_t key, const void* value)
{
    std::string shown;
    uint32_t flags = 0;
    if (key == 1) {
        std::memcpy(&flags, value, sizeof flags);
        shown = std::to_string(flags);
    } else {
        shown = static_cast<const char*>(value);
    }
    if (const uint32_t code = record("setContextInfo", Format("%u %u %s", context, key, shown.c_str())))
        return code;
    if (key == 1)
        contextFlags = flags;
    else if (key == 3)
        contextNameContext = shown;
    else if (key == 11)
        contextTreeName = shown;
    else
        return invalidParameter;
    return 0;
}

uint32_t FakeNWClient::mapIDToName(uint32_t context, uint32_t connHandle, uint32_t objectID, char* name)
{
    if (const uint32_t code = record("mapIDToName", Format("%u %u %08X", context, connHandle, objectID)))
        return code;
    auto it = objectNames.find(objectID);
    if (it == objectNames.end())
        return nw::noSuchEntry;
    copyText(it->second, name, nw::nameBufferSize);
    return 0;
}

uint16_t FakeNWClient::parsePath(
    const char* path, char* serverName, uint32_t& connHandle, char* volumeName, char* dirPath)
{
    if (const uint32_t code = record("parsePath", path))
        return static_cast<uint16_t>(code);
    auto it = splits.find(path);
    if (it == splits.end())
        return invalidParameter;
    if (it->second.code != 0)
        return it->second.code;
    copyText(it->second.server, serverName, nw::nameBufferSize);
    copyText(it->second.volume, volumeName, nw::nameBufferSize);
    copyText(it->second.dirPath, dirPath, nw::nameBufferSize);
    connHandle = it->second.connHandle;
    return 0;
}

uint16_t FakeNWClient::getDirectoryInfo(uint32_t connHandle, uint8_t, const char* path, uint8_t*, char* name,
    uint32_t& dateTime, uint32_t& ownerID, uint8_t& rightsMask, void*)
{
    if (const uint32_t code = record("getDirectoryInfo", Format("%u %s", connHandle, path)))
        return static_cast<uint16_t>(code);
    auto it = directories.find(path);
    if (it == directories.end())
        return invalidPath;
    if (it->second.infoCode != 0)
        return it->second.infoCode;
    name[0] = '\0';
    dateTime = it->second.dateTime;
    ownerID = it->second.ownerID;
    rightsMask = it->second.irm;
    return 0;
}

uint16_t FakeNWClient::initFileSearch(uint32_t connHandle, uint8_t, const char* path, uint8_t& volumeNumber,
    uint16_t& directoryID, uint16_t& sequence, uint8_t& accessRights, void*)
{
    if (const uint32_t code = record("initFileSearch", Format("%u %s", connHandle, path)))
        return static_cast<uint16_t>(code);
    auto it = directories.find(path);
    if (it == directories.end())
        return invalidPath;
    if (it->second.searchCode != 0)
        return it->second.searchCode;
    m_searchDirs.push_back(path);
    volumeNumber = 1;
    directoryID = static_cast<uint16_t>(m_searchDirs.size());
    sequence = 0;
    accessRights = 0xFF;
    return 0;
}

uint16_t FakeNWClient::continueFileSearch(uint32_t connHandle, uint8_t volumeNumber, uint16_t directoryID,
    uint16_t sequence, uint8_t searchAttributes, const char* pattern, NWSearchEntry& entry, uint32_t)
{
    if (const uint32_t code = record("continueFileSearch",
            Format("%u %u %u %u %02X %s", connHandle, volumeNumber, directoryID, sequence, searchAttributes, pattern)))
        return static_cast<uint16_t>(code);
    if (directoryID == 0 || directoryID > m_searchDirs.size())
        return invalidParameter;
    const Directory& dir = directories.at(m_searchDirs[directoryID - 1]);
    const std::string upperPattern = UpperAscii(pattern);
    const bool wantDirectories = (searchAttributes & 0x10) != 0;
    for (size_t i = sequence; i < dir.children.size(); ++i) {
        const Child& child = dir.children[i];
        if (child.isDirectory != wantDirectories || !DosWildcardMatch(upperPattern, child.shortName))
            continue;
        entry = NWSearchEntry();
        entry.nextSequence = static_cast<uint16_t>(i + 1);
        copyText(child.shortName, entry.shortName, sizeof entry.shortName);
        entry.rightsMask = child.rightsMask;
        return 0;
    }
    return noMoreFiles;
}

uint16_t FakeNWClient::scanTrustees(uint32_t connHandle, uint8_t, const char* path, uint32_t& iterationHandle,
    uint16_t& count, NWTrusteeBlock& block, void*)
{
    if (const uint32_t code = record("scanTrustees", Format("%u %s %u", connHandle, path, iterationHandle)))
        return static_cast<uint16_t>(code);
    auto it = trusteeBlocks.find(path);
    if (it == trusteeBlocks.end() || iterationHandle >= it->second.size())
        return nw::noMoreTrustees;
    const Block& given = it->second[iterationHandle++];
    const size_t n = std::min(given.entries.size(), static_cast<size_t>(NWTrusteeBlock::capacity));
    std::copy_n(given.entries.begin(), n, block.entries);
    count = static_cast<uint16_t>(given.reportedCount >= 0 ? given.reportedCount : static_cast<int>(n));
    return 0;
}

uint16_t FakeNWClient::openConnByName(const char* serverName, uint32_t& connHandle)
{
    if (const uint32_t code = record("openConnByName", serverName))
        return static_cast<uint16_t>(code);
    auto it = serverHandles.find(serverName);
    if (it == serverHandles.end())
        return serverNotFound;
    connHandle = it->second;
    return 0;
}

uint16_t FakeNWClient::getVolumeName(uint32_t connHandle, uint16_t volumeNumber, char* volumeName)
{
    if (const uint32_t code = record("getVolumeName", Format("%u %u", connHandle, volumeNumber)))
        return static_cast<uint16_t>(code);
    auto it = volumeNames.find(connHandle);
    if (it == volumeNames.end())
        return invalidConnection;
    if (volumeNumber >= it->second.size() || it->second[volumeNumber].empty())
        return nw::noSuchVolume;
    copyText(it->second[volumeNumber], volumeName, nw::nameBufferSize);
    return 0;
}

uint16_t FakeNWClient::getNSEntryInfo(
    uint32_t connHandle, uint8_t, const char* path, uint8_t srcNameSpace, uint8_t dstNameSpace, NWEntryInfo& info)
{
    if (const uint32_t code
        = record("getNSEntryInfo", Format("%u %s %u %u", connHandle, path, srcNameSpace, dstNameSpace)))
        return static_cast<uint16_t>(code);
    // "VOL1:" is a root, known when it is a directory of the fake; any other path is
    // looked up as a child, by either name, of the directory before its last separator.
    const std::string text = path;
    const size_t cut = text.find_last_of("\\:");
    if (cut == std::string::npos)
        return invalidPath;
    if (cut + 1 == text.size()) {
        if (text[cut] != ':' || !directories.count(text))
            return invalidPath;
        fillInfo(text.substr(0, cut), true, info);
        return 0;
    }
    auto parent = directories.find(text.substr(0, text[cut] == ':' ? cut + 1 : cut));
    if (parent == directories.end())
        return invalidPath;
    const std::string leaf = text.substr(cut + 1);
    for (const Child& child : parent->second.children) {
        if (SameText(child.shortName, leaf) || SameText(nameIn(child, nw::nameSpaceLong), leaf)) {
            fillInfo(nameIn(child, dstNameSpace), child.isDirectory, info);
            return 0;
        }
    }
    return invalidPath;
}

uint16_t FakeNWClient::scanNSEntryInfo(uint32_t connHandle, uint8_t, const char* path, uint8_t nameSpace,
    uint16_t searchAttributes, NWSearchSequence& sequence, const char* pattern, NWEntryInfo& info)
{
    const uint32_t start = sequence.searchDirNumber == 0xFFFFFFFFu ? 0 : sequence.searchDirNumber;
    if (const uint32_t code = record("scanNSEntryInfo",
            Format("%u %s %u %04X %u %s", connHandle, path, nameSpace, searchAttributes, start, pattern)))
        return static_cast<uint16_t>(code);
    auto it = directories.find(path);
    if (it == directories.end())
        return invalidPath;
    const std::string upperPattern = UpperAscii(pattern);
    const std::vector<Child>& children = it->second.children;
    for (size_t i = start; i < children.size(); ++i) {
        const Child& child = children[i];
        if (!nw::SearchAdmits(searchAttributes, child.isDirectory)
            || !DosWildcardMatch(upperPattern, nameIn(child, nameSpace)))
            continue;
        fillInfo(nameIn(child, nameSpace), child.isDirectory, info);
        sequence.searchDirNumber = static_cast<uint32_t>(i + 1);
        return 0;
    }
    return noMoreFiles;
}

void FakeNWClient::addObject(const std::string& name, Object object)
{
    objectNames[object.id] = name;
    objectOrder.push_back(name);
    dsObjects[name] = std::move(object);
}

const FakeNWClient::Object* FakeNWClient::findObject(const std::string& name) const
{
    for (const auto& [key, object] : dsObjects)
        if (SameText(key, name))
            return &object;
    return nullptr;
}

uint32_t FakeNWClient::mapNameToID(uint32_t context, uint32_t connHandle, const char* objectName, uint32_t& objectID)
{
    if (const uint32_t code = record("mapNameToID", Format("%u %u %s", context, connHandle, objectName)))
        return code;
    const Object* object = findObject(objectName);
    if (!object)
        return nw::noSuchEntry;
    objectID = object->id;
    return 0;
}

uint32_t FakeNWClient::readObjectValue(
    uint32_t context, const char* objectName, const char* attributeName, uint32_t& iterationHandle, char* value)
{
    if (const uint32_t code
        = record("readObjectValue", Format("%u %s %s %u", context, objectName, attributeName, iterationHandle)))
        return code;
    const Object* object = findObject(objectName);
    if (!object)
        return nw::noSuchEntry;
    const std::vector<std::string> classValue { object->className };
    const std::vector<std::string>* values = nullptr;
    if (SameText(attributeName, nw::attrObjectClass))
        values = &classValue;
    else if (SameText(attributeName, nw::attrGroupMembership))
        values = &object->memberOf;
    else if (SameText(attributeName, nw::attrSecurityEquals))
        values = &object->securityEquals;
    else
        return invalidParameter;
    if (iterationHandle >= values->size())
        return nw::noSuchValue;
    copyText((*values)[iterationHandle++], value, nw::nameBufferSize);
    return 0;
}

uint32_t FakeNWClient::searchObjects(
    uint32_t context, const char* className, uint32_t& iterationHandle, char* objectName, uint32_t& objectID)
{
    if (const uint32_t code = record("searchObjects", Format("%u %s %u", context, className, iterationHandle)))
        return code;
    for (size_t i = iterationHandle; i < objectOrder.size(); ++i) {
        const Object& object = dsObjects.at(objectOrder[i]);
        if (*className && !SameText(className, object.className))
            continue;
        copyText(objectOrder[i], objectName, nw::nameBufferSize);
        objectID = object.id;
        iterationHandle = static_cast<uint32_t>(i + 1);
        return 0;
    }
    return nw::noSuchEntry;
}

bool FakeNWClient::loadErrorLibrary()
{
    record("loadErrorLibrary", "");
    return errorLibraryPresent;
}

std::string FakeNWClient::NWstrerror(uint32_t code)
{
    record("NWstrerror", Format("%08X", code));
    auto it = errorTexts.find(code);
    return it != errorTexts.end() ? it->second : std::string();
}

void FakeNWClient::addSampleVolume()
{
    Split split;
    split.server = "FS1";
    split.volume = "VOL1";
    split.dirPath = "R&D";
    split.connHandle = 7;
    splits["\\\\FS1\\VOL1\\R&D"] = split;
    split.dirPath = "R&D\\SUB";
    splits["\\\\FS1\\VOL1\\R&D\\SUB"] = split;
    Directory rd;
    rd.irm = 0x7B;
    rd.ownerID = SwapLong(0x01000001);
    rd.children = { { "PLAN.TXT", false, 0 }, { "SUB", true, 0 } };
    directories["VOL1:R&D"] = rd;
    Directory sub;
    sub.ownerID = SwapLong(0x01000002);
    directories["VOL1:R&D\\SUB"] = sub;
}
