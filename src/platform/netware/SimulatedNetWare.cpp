#include "platform/netware/SimulatedNetWare.h"

#include "platform/netware/DosNames.h"
#include "util/CaseFold.h"
#include "util/D_Util.h"
#include "util/Utf8.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint16_t invalidConnection = 0x8801;
constexpr uint16_t noConnection = 0x880F;
constexpr uint16_t invalidParameter = 0x8836;
constexpr uint16_t serverNotFound = 0x8847;
constexpr uint16_t requesterFailure = 0x88FF;
constexpr uint16_t badDirectoryHandle = 0x899B;
constexpr uint16_t invalidPath = 0x899C;
constexpr uint16_t noMoreFiles = 0x89FF;

constexpr uint32_t firstConnRef = 0x1001;
constexpr size_t maxSearches = 0xFFFF;
// 2002-03-15 09:30:00 in the DOS packed date-time form, for every directory.
constexpr uint32_t directoryDateTime = (((2002 - 1980) << 9 | 3 << 5 | 15) << 16) | (9 << 11 | 30 << 5);

bool isSeparator(char c) noexcept
{
    return c == '\\' || c == '/';
}

// Copies text into a buffer of `size` bytes with its NUL; false when it does not fit.
bool putText(std::string_view text, char* buffer, size_t size)
{
    if (text.size() + 1 > size)
        return false;
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return true;
}

// The non-empty components of a path part, joined with "\".
std::string joinComponents(std::string_view part)
{
    std::string out;
    size_t pos = 0;
    while (pos <= part.size()) {
        size_t end = pos;
        while (end < part.size() && !isSeparator(part[end]))
            ++end;
        if (end > pos) {
            if (!out.empty())
                out += '\\';
            out.append(part.substr(pos, end - pos));
        }
        pos = end + 1;
    }
    return out;
}

struct ErrorText {
    uint32_t code;
    const char* text;
};
const ErrorText errorTexts[] = {
    { 0x8801, "Invalid connection" },
    { 0x880F, "No connection to server" },
    { 0x8836, "Invalid parameter" },
    { 0x8847, "Server not found" },
    { 0x88FF, "Requester failure" },
    { 0x8998, "Volume does not exist" },
    { 0x899B, "Bad directory handle" },
    { 0x899C, "Invalid path" },
    { 0x89A8, "Access denied" },
    { 0x89FF, "Failure" },
    { 0xFFFFFDA7, "No such entry" },
    { 0xFFFFFDA6, "No such value" },
};

} // namespace

SimulatedNetWare::SimulatedNetWare(std::unique_ptr<Network> network)
    : m_net(std::move(network))
    , m_open(m_net ? m_net->servers.size() : 0, false)
{
}

SimulatedNetWare::SimulatedNetWare(std::string loadError)
    : m_loadError(std::move(loadError))
{
}

SimulatedNetWare::~SimulatedNetWare() = default;

// ---- Connections --------------------------------------------------------------

bool SimulatedNetWare::serverOfHandle(uint32_t connHandle, uint32_t& server) const
{
    if (connHandle == 0 || connHandle > m_open.size() || !m_open[connHandle - 1])
        return false;
    server = connHandle - 1;
    return true;
}

bool SimulatedNetWare::serverOfRef(uint32_t connRef, uint32_t& server) const
{
    if (connRef < firstConnRef || connRef - firstConnRef >= m_net->servers.size())
        return false;
    server = connRef - firstConnRef;
    return true;
}

uint16_t SimulatedNetWare::openServer(uint32_t server, uint32_t& connHandle)
{
    if (const auto& failure = m_net->servers[server].openFailure)
        return static_cast<uint16_t>(*failure);
    m_open[server] = true;
    connHandle = server + 1;
    return 0;
}

uint16_t SimulatedNetWare::initialize(void*, void*)
{
    if (!m_net)
        return requesterFailure;
    return m_net->initFailure ? static_cast<uint16_t>(*m_net->initFailure) : 0;
}

uint16_t SimulatedNetWare::getPrimaryConnRef(uint32_t& connRef)
{
    if (!m_net)
        return requesterFailure;
    if (!m_net->primary)
        return noConnection;
    connRef = firstConnRef + *m_net->primary;
    return 0;
}

uint16_t SimulatedNetWare::NWCCScanConnRefs(uint32_t& scanIndex, uint32_t& connRef)
{
    if (!m_net)
        return requesterFailure;
    if (scanIndex >= m_net->connections.size())
        return noConnection;
    connRef = firstConnRef + m_net->connections[scanIndex++];
    return 0;
}

uint16_t SimulatedNetWare::NWCCOpenConnByRef(uint32_t connRef, uint32_t, uint32_t, uint32_t& connHandle)
{
    if (!m_net)
        return requesterFailure;
    uint32_t server = 0;
    if (!serverOfRef(connRef, server))
        return invalidConnection;
    return openServer(server, connHandle);
}

uint16_t SimulatedNetWare::closeConn(uint32_t connHandle)
{
    if (!m_net)
        return requesterFailure;
    uint32_t server = 0;
    if (!serverOfHandle(connHandle, server))
        return invalidConnection;
    m_open[server] = false;
    return 0;
}

uint16_t SimulatedNetWare::connText(uint32_t server, uint16_t item, uint16_t bufferLength, char* buffer) const
{
    std::string text;
    if (item == 4) {
        text = m_net->trees[m_net->servers[server].tree].name;
        text.append(32 - std::min<size_t>(Utf8Length(text), 32), '_'); // to 32 characters
    } else if (item == 7) {
        text = m_net->servers[server].name;
    } else {
        return invalidParameter;
    }
    return putText(text, buffer, bufferLength) ? 0 : invalidParameter;
}

uint16_t SimulatedNetWare::getConnInfo(uint32_t connHandle, uint16_t item, uint16_t bufferLength, char* buffer)
{
    if (!m_net)
        return requesterFailure;
    uint32_t server = 0;
    if (!serverOfHandle(connHandle, server))
        return invalidConnection;
    return connText(server, item, bufferLength, buffer);
}

uint16_t SimulatedNetWare::getConnRefInfo(uint32_t connRef, uint16_t item, uint16_t bufferLength, char* buffer)
{
    if (!m_net)
        return requesterFailure;
    uint32_t server = 0;
    if (!serverOfRef(connRef, server))
        return invalidConnection;
    return connText(server, item, bufferLength, buffer);
}

// ---- Directory-services contexts and names --------------------------------------

SimulatedNetWare::Context* SimulatedNetWare::context(uint32_t handle)
{
    if (handle == 0 || handle > m_contexts.size())
        return nullptr;
    return &m_contexts[handle - 1];
}

uint32_t SimulatedNetWare::createContext(uint32_t& handle)
{
    if (!m_net)
        return requesterFailure;
    if (m_net->contextFailure)
        return *m_net->contextFailure;
    Context ctx;
    ParseDsName("[Root]", ctx.nameContext);
    if (m_net->primary)
        ctx.treeName = m_net->trees[m_net->servers[*m_net->primary].tree].name;
    else if (!m_net->trees.empty())
        ctx.treeName = m_net->trees.front().name;
    if (!ctx.treeName.empty())
        ctx.namedTree = m_net->findTree(ctx.treeName);
    m_contexts.push_back(std::move(ctx));
    handle = static_cast<uint32_t>(m_contexts.size());
    return 0;
}

uint32_t SimulatedNetWare::getContextInfo(uint32_t handle, uint32_t key, void* value)
{
    if (!m_net)
        return requesterFailure;
    Context* ctx = context(handle);
    if (!ctx || !value)
        return invalidParameter;
    switch (key) {
    case 1:
        std::memcpy(value, &ctx->flags, sizeof ctx->flags);
        return 0;
    case 3:
        return putText(ctx->nameContextText, static_cast<char*>(value), nw::nameBufferSize) ? 0 : invalidParameter;
    case 11:
        return putText(ctx->treeName, static_cast<char*>(value), nw::nameBufferSize) ? 0 : invalidParameter;
    default:
        return invalidParameter;
    }
}

uint32_t SimulatedNetWare::setContextInfo(uint32_t handle, uint32_t key, const void* value)
{
    if (!m_net)
        return requesterFailure;
    Context* ctx = context(handle);
    if (!ctx || !value)
        return invalidParameter;
    switch (key) {
    case 1:
        std::memcpy(&ctx->flags, value, sizeof ctx->flags);
        return 0;
    case 3: {
        const std::string text = static_cast<const char*>(value);
        DsName name;
        if (text.empty())
            ParseDsName("[Root]", name);
        else if (!ParseDsName(text, name, DsNameKind::Container).empty())
            return invalidParameter;
        ctx->nameContextText = text.empty() ? "[Root]" : text;
        ctx->nameContext = std::move(name);
        return 0;
    }
    case 11: {
        const std::string text = static_cast<const char*>(value);
        if (text.size() > 32)
            return invalidParameter;
        ctx->treeName = text;
        ctx->namedTree = text.empty() ? std::nullopt : m_net->findTree(text);
        return 0;
    }
    default:
        return invalidParameter;
    }
}

uint32_t SimulatedNetWare::treeOf(const Context& ctx, uint32_t connHandle, uint32_t& tree) const
{
    if (ctx.namedTree) {
        tree = *ctx.namedTree;
        return 0;
    }
    uint32_t server = 0;
    if (!serverOfHandle(connHandle, server))
        return invalidConnection;
    tree = m_net->servers[server].tree;
    return 0;
}

uint32_t SimulatedNetWare::dsCall(uint32_t handle, uint32_t connHandle, Context*& ctx, const NetTree*& tree)
{
    if (!m_net)
        return requesterFailure;
    ctx = context(handle);
    if (!ctx)
        return invalidParameter;
    uint32_t index = 0;
    if (const uint32_t code = treeOf(*ctx, connHandle, index))
        return code;
    tree = &m_net->trees[index];
    return 0;
}

uint32_t SimulatedNetWare::putObjectName(const Context& ctx, const DsName& name, char* buffer) const
{
    const bool typeless = (ctx.flags & nw::ctxFlagTypeless) != 0;
    const std::string text = ctx.nameContext.isRoot() ? (typeless ? name.typeless() : name.typed())
                                                      : RelativeDsName(name, ctx.nameContext, typeless);
    return putText(text, buffer, nw::nameBufferSize) ? 0 : invalidParameter;
}

std::optional<uint32_t> SimulatedNetWare::objectNamed(const Context& ctx, const NetTree& tree, const char* text) const
{
    if (!text || !*text)
        return std::nullopt;
    std::string full = text;
    if (full[0] == '.')
        full.erase(0, 1);
    else if (!ctx.nameContext.isRoot() && !ctx.nameContext.isSpecial() && full[0] != '[')
        full += "." + ctx.nameContext.typed();
    DsName name;
    if (!ParseDsName(full, name).empty())
        return std::nullopt;
    return tree.findName(name);
}

uint32_t SimulatedNetWare::mapIDToName(uint32_t handle, uint32_t connHandle, uint32_t objectID, char* name)
{
    Context* ctx = nullptr;
    const NetTree* tree = nullptr;
    if (const uint32_t code = dsCall(handle, connHandle, ctx, tree))
        return code;
    const NetObject* object = tree->findID(objectID);
    if (!object)
        return nw::noSuchEntry;
    const bool typeless = (ctx->flags & nw::ctxFlagTypeless) != 0;
    if (ctx->nameContext.isRoot())
        return putText(typeless ? object->typelessName : object->typedName, name, nw::nameBufferSize)
            ? 0
            : invalidParameter;
    return putObjectName(*ctx, object->name, name);
}

uint32_t SimulatedNetWare::mapNameToID(uint32_t handle, uint32_t connHandle, const char* objectName, uint32_t& objectID)
{
    Context* ctx = nullptr;
    const NetTree* tree = nullptr;
    if (const uint32_t code = dsCall(handle, connHandle, ctx, tree))
        return code;
    const std::optional<uint32_t> index = objectNamed(*ctx, *tree, objectName);
    if (!index)
        return nw::noSuchEntry;
    objectID = tree->objects[*index].id;
    return 0;
}

namespace {
// The base class the "Object Class" attribute names for an object.
const char* baseClassName(const NetObject& object)
{
    switch (object.objectClass) {
    case NetObjectClass::User:
        return nw::classUser;
    case NetObjectClass::Group:
        return nw::classGroup;
    case NetObjectClass::Role:
        return nw::classOrganizationalRole;
    case NetObjectClass::Container:
        return !object.name.parts.empty() && object.name.parts.front().type == "O" ? nw::classOrganization
                                                                                   : nw::classOrganizationalUnit;
    case NetObjectClass::Other:
        break;
    }
    return nw::classUnknown;
}
} // namespace

uint32_t SimulatedNetWare::readObjectValue(
    uint32_t handle, const char* objectName, const char* attributeName, uint32_t& iterationHandle, char* value)
{
    Context* ctx = nullptr;
    const NetTree* found = nullptr;
    if (const uint32_t code = dsCall(handle, 0, ctx, found))
        return code;
    if (!attributeName || !value)
        return invalidParameter;
    const NetTree& tree = *found;
    const std::optional<uint32_t> index = objectNamed(*ctx, tree, objectName);
    if (!index)
        return nw::noSuchEntry;
    const NetObject& object = tree.objects[*index];
    if (SameText(attributeName, nw::attrObjectClass)) {
        if (iterationHandle != 0)
            return nw::noSuchValue;
        if (!putText(baseClassName(object), value, nw::nameBufferSize))
            return invalidParameter;
        iterationHandle = 1;
        return 0;
    }
    uint32_t first = object.listBegin;
    uint32_t count = object.memberOfCount;
    if (SameText(attributeName, nw::attrSecurityEquals)) {
        first += object.memberOfCount;
        count = object.securityEqualsCount;
    } else if (!SameText(attributeName, nw::attrGroupMembership)) {
        return invalidParameter;
    }
    if (iterationHandle >= count)
        return nw::noSuchValue;
    if (const uint32_t code = putObjectName(*ctx, tree.listItemName(tree.listItems[first + iterationHandle]), value))
        return code;
    ++iterationHandle;
    return 0;
}

uint32_t SimulatedNetWare::searchObjects(
    uint32_t handle, const char* className, uint32_t& iterationHandle, char* objectName, uint32_t& objectID)
{
    Context* ctx = nullptr;
    const NetTree* found = nullptr;
    if (const uint32_t code = dsCall(handle, 0, ctx, found))
        return code;
    if (!className || !objectName)
        return invalidParameter;
    const NetTree& tree = *found;
    for (uint32_t i = iterationHandle; i < tree.objects.size(); ++i) {
        const NetObject& object = tree.objects[i];
        if (*className && !SameText(className, baseClassName(object)))
            continue;
        if (const uint32_t code = putObjectName(*ctx, object.name, objectName))
            return code;
        objectID = object.id;
        iterationHandle = i + 1;
        return 0;
    }
    iterationHandle = static_cast<uint32_t>(tree.objects.size());
    return nw::noSuchEntry;
}

// ---- Paths ----------------------------------------------------------------------

uint16_t SimulatedNetWare::locate(std::string_view path, uint32_t connHandle, Location& where, std::string* dirPath)
{
    if (!m_net)
        return requesterFailure;
    std::string_view serverPart, volumePart, rest;
    bool namesServer = true;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
        // \\SERVER\VOLUME\dir\...
        std::string_view tail = path.substr(2);
        const size_t s1 = std::find_if(tail.begin(), tail.end(), isSeparator) - tail.begin();
        serverPart = tail.substr(0, s1);
        if (s1 >= tail.size()) // '\\SERVER' names no volume
            return !serverPart.empty() && !m_net->findServer(serverPart) ? noConnection : invalidParameter;
        tail = tail.substr(s1 + 1);
        const size_t s2 = std::find_if(tail.begin(), tail.end(), isSeparator) - tail.begin();
        volumePart = tail.substr(0, s2);
        if (!volumePart.empty() && volumePart.back() == ':')
            volumePart.remove_suffix(1);
        rest = s2 < tail.size() ? tail.substr(s2 + 1) : std::string_view();
    } else {
        // [SERVER\ or SERVER/]VOLUME:dir\...
        const size_t colon = path.find(':');
        if (colon == std::string_view::npos)
            return invalidParameter;
        std::string_view head = path.substr(0, colon);
        rest = path.substr(colon + 1);
        const size_t sep = std::find_if(head.begin(), head.end(), isSeparator) - head.begin();
        if (sep < head.size()) {
            serverPart = head.substr(0, sep);
            volumePart = head.substr(sep + 1);
        } else {
            namesServer = false;
            volumePart = head;
        }
    }
    if (volumePart.empty() || (namesServer && serverPart.empty()))
        return invalidParameter;
    uint32_t server = 0;
    if (namesServer) {
        const auto found = m_net->findServer(serverPart);
        if (!found)
            return noConnection;
        server = *found;
    } else if (!serverOfHandle(connHandle, server)) {
        return invalidConnection;
    }
    const auto volume = m_net->findVolume(server, volumePart);
    if (!volume)
        return nw::noSuchVolume;
    where.server = server;
    where.volume = *volume;
    where.entry = m_net->resolve(server, *volume, rest);
    if (dirPath)
        *dirPath = joinComponents(rest);
    return 0;
}

uint16_t SimulatedNetWare::parsePath(
    const char* path, char* serverName, uint32_t& connHandle, char* volumeName, char* dirPath)
{
    if (!m_net)
        return requesterFailure;
    if (!path)
        return invalidParameter;
    Location where;
    std::string directory;
    if (const uint16_t code = locate(path, connHandle, where, &directory))
        return code;
    const NetServer& server = m_net->servers[where.server];
    if (directory.size() >= static_cast<size_t>(nw::nameBufferSize))
        return invalidParameter;
    uint32_t handle = 0;
    if (const uint16_t code = openServer(where.server, handle))
        return code;
    connHandle = handle;
    putText(server.name, serverName, nw::nameBufferSize);
    putText(server.volumes[where.volume].name, volumeName, nw::nameBufferSize);
    putText(directory, dirPath, nw::nameBufferSize);
    return 0;
}

uint32_t SimulatedNetWare::childNamed(uint32_t dir, std::string_view name) const
{
    // The walk asks next about the entry a search has just returned, by its DOS name; a
    // DOS name is unique among all names of its directory, so comparing it is the same
    // as looking the name up.
    if (m_lastSearchResult != NetEntry::none && m_net->entries[m_lastSearchResult].parent == dir) {
        const std::string_view dos = Network::dosName(m_net->entries[m_lastSearchResult]);
        if (dos == name || SameName(dos, name))
            return m_lastSearchResult;
    }
    return m_net->findChild(dir, name);
}

uint32_t SimulatedNetWare::resolveBelowCachedDirs(std::string_view text, size_t& kept)
{
    // The deepest directory of the chain whose path, separator included, begins text.
    const size_t common = SharedPrefixLength(text, m_cachedDirPath);
    size_t k = m_dirChain.size();
    while (k > 0 && m_dirChain[k - 1].length > common)
        --k;
    if (k == 0)
        return NetEntry::none;
    // The rest of the path, component by component, as Network::resolve reads it.
    uint32_t current = m_dirChain[k - 1].entry;
    m_passedDirs.clear();
    for (size_t pos = m_dirChain[k - 1].length; pos < text.size();) {
        size_t end = pos;
        while (end < text.size() && !isSeparator(text[end]))
            ++end;
        if (end > pos) {
            if (!(m_net->entries[current].flags & NetEntry::isDirectory))
                return NetEntry::none;
            current = childNamed(current, text.substr(pos, end - pos));
            if (current == NetEntry::none)
                return NetEntry::none;
            if (end < text.size() && (m_net->entries[current].flags & NetEntry::isDirectory))
                m_passedDirs.push_back({ current, static_cast<uint32_t>(end + 1) });
        }
        pos = end + 1;
    }
    kept = k;
    return current;
}

uint16_t SimulatedNetWare::entryOf(uint32_t connHandle, const char* path, uint32_t& entry)
{
    uint32_t server = 0;
    if (!serverOfHandle(connHandle, server))
        return invalidConnection;
    if (!path)
        return invalidParameter;
    const std::string_view text(path);
    if (connHandle == m_cachedConn && m_cachedEntry != NetEntry::none && text == m_cachedPath) {
        entry = m_cachedEntry;
        return 0;
    }
    // A path below a directory the cache has passed through is resolved from there (the
    // walk goes down one directory at a time and comes back up to the next sibling);
    // any other path, or one that names nothing from there, from its start.
    size_t kept = 0;
    uint32_t found = NetEntry::none;
    if (connHandle == m_cachedConn && !m_dirChain.empty())
        found = resolveBelowCachedDirs(text, kept);
    const bool fromChain = found != NetEntry::none;
    if (!fromChain) {
        Location where;
        if (const uint16_t code = locate(text, connHandle, where))
            return code;
        found = where.entry;
    }
    if (found == NetEntry::none)
        return invalidPath;
    m_cachedConn = connHandle;
    m_cachedPath.assign(text);
    m_cachedEntry = found;
    const NetEntry& record = m_net->entries[found];
    if (fromChain) {
        m_dirChain.resize(kept);
        m_dirChain.insert(m_dirChain.end(), m_passedDirs.begin(), m_passedDirs.end());
    } else {
        m_dirChain.clear();
    }
    if (record.flags & NetEntry::isDirectory) {
        m_cachedDirPath.assign(text);
        if (m_cachedDirPath.empty() || !isSeparator(m_cachedDirPath.back()))
            m_cachedDirPath += '\\';
        if (m_dirChain.empty() || m_dirChain.back().entry != found)
            m_dirChain.push_back({ found, static_cast<uint32_t>(m_cachedDirPath.size()) });
    } else if (fromChain) {
        // The file's directory is the last one passed.
        m_cachedDirPath.assign(text.substr(0, m_dirChain.back().length));
    } else {
        const size_t sep = text.find_last_of("\\/:");
        if (sep != std::string_view::npos && text[sep] != ':') {
            m_cachedDirPath.assign(text.substr(0, sep + 1));
            m_dirChain.push_back({ record.parent, static_cast<uint32_t>(sep + 1) });
        }
    }
    entry = found;
    return 0;
}

// ---- Directory information, file search, trustees --------------------------------

uint16_t SimulatedNetWare::entryCall(
    uint32_t connHandle, const char* path, uint16_t NetEntryFailures::*failure, uint32_t& index)
{
    if (!m_net)
        return requesterFailure;
    if (const uint16_t code = entryOf(connHandle, path, index))
        return code;
    if (m_net->entries[index].flags & NetEntry::hasFailures)
        return m_net->failures.at(index).*failure;
    return 0;
}

std::pair<uint32_t, uint32_t> SimulatedNetWare::volumeOfRoot(uint32_t root) const
{
    for (uint32_t s = 0; s < m_net->servers.size(); ++s) {
        const auto& volumes = m_net->servers[s].volumes;
        for (uint32_t v = 0; v < volumes.size(); ++v)
            if (volumes[v].root == root)
                return { s, v };
    }
    return { 0, 0 };
}

uint16_t SimulatedNetWare::getDirectoryInfo(uint32_t connHandle, uint8_t, const char* path, uint8_t*, char* name,
    uint32_t& dateTime, uint32_t& ownerID, uint8_t& rightsMask, void*)
{
    uint32_t index = 0;
    if (const uint16_t code = entryCall(connHandle, path, &NetEntryFailures::info, index))
        return code;
    const NetEntry& entry = m_net->entries[index];
    if (!(entry.flags & NetEntry::isDirectory))
        return invalidPath;
    if (name) {
        if (entry.parent == NetEntry::none) {
            const auto [server, volume] = volumeOfRoot(index);
            putText(m_net->servers[server].volumes[volume].name, name, nw::nameBufferSize);
        } else {
            putText(Network::dosName(entry), name, nw::nameBufferSize);
        }
    }
    dateTime = directoryDateTime;
    ownerID = SwapLong(entry.owner); // NetWare delivers the owner high-low
    rightsMask = entry.irm;
    return 0;
}

uint16_t SimulatedNetWare::allocateSearch(uint32_t dir, uint32_t server)
{
    size_t slot;
    if (!m_freeSearches.empty()) {
        slot = m_freeSearches.back();
        m_freeSearches.pop_back();
    } else if (m_searches.size() < maxSearches) {
        slot = m_searches.size();
        m_searches.emplace_back();
    } else {
        // Every slot is in use (searches abandoned before their end): reuse the one
        // used least recently.
        slot = std::min_element(m_searches.begin(), m_searches.end(), [](const Search& a, const Search& b) {
            return a.lastUse < b.lastUse;
        }) - m_searches.begin();
    }
    m_searches[slot] = Search { dir, server, 0, ++m_searchClock };
    return static_cast<uint16_t>(slot + 1);
}

uint16_t SimulatedNetWare::initFileSearch(uint32_t connHandle, uint8_t, const char* path, uint8_t& volumeNumber,
    uint16_t& directoryID, uint16_t& sequence, uint8_t& accessRights, void*)
{
    uint32_t index = 0;
    if (const uint16_t code = entryCall(connHandle, path, &NetEntryFailures::search, index))
        return code;
    const NetEntry& entry = m_net->entries[index];
    if (!(entry.flags & NetEntry::isDirectory))
        return invalidPath;
    uint32_t root = index;
    while (m_net->entries[root].parent != NetEntry::none)
        root = m_net->entries[root].parent;
    volumeNumber = static_cast<uint8_t>(volumeOfRoot(root).second);
    directoryID = allocateSearch(index, connHandle - 1);
    sequence = 0;
    accessRights = 0xFF;
    return 0;
}

uint16_t SimulatedNetWare::continueFileSearch(uint32_t connHandle, uint8_t, uint16_t directoryID, uint16_t sequence,
    uint8_t searchAttributes, const char* pattern, NWSearchEntry& result, uint32_t)
{
    if (!m_net)
        return requesterFailure;
    uint32_t server = 0;
    if (!serverOfHandle(connHandle, server))
        return invalidConnection;
    if (directoryID == 0 || directoryID > m_searches.size())
        return badDirectoryHandle;
    Search& search = m_searches[directoryID - 1];
    if (search.dir == NetEntry::none || search.server != server)
        return badDirectoryHandle;
    search.lastUse = ++m_searchClock;
    // The 16-bit sequence carries the low bits of the position; the slot keeps the rest,
    // so directories of more than 65535 entries can be searched to the end.
    uint32_t position = (sequence == (search.position & 0xFFFF)) ? search.position : sequence;
    // DOS names hold ASCII characters only; a pattern character that case-folds to one
    // (the Kelvin sign to "k") matches it, any other non-ASCII character matches nothing.
    const std::string_view patternText = pattern ? pattern : "";
    if (!m_lastPatternKnown || patternText != m_lastPattern) {
        m_lastPattern.assign(patternText);
        m_lastUpperPattern = UpperAscii(FoldName(patternText));
        m_lastPatternKnown = true;
    }
    const std::string& upperPattern = m_lastUpperPattern;
    const bool wantDirectories = (searchAttributes & 0x10) != 0;
    const NetEntry& dir = m_net->entries[search.dir];
    for (; position < dir.childCount; ++position) {
        const NetEntry& child = m_net->entries[dir.firstChild + position];
        if (((child.flags & NetEntry::isDirectory) != 0) != wantDirectories)
            continue;
        if (!DosWildcardMatch(upperPattern, Network::dosName(child)))
            continue;
        result = NWSearchEntry();
        m_lastSearchResult = dir.firstChild + position;
        search.position = position + 1;
        result.nextSequence = static_cast<uint16_t>(search.position & 0xFFFF);
        std::memcpy(result.shortName, child.dos, child.dosLength);
        result.rightsMask = child.irm;
        return 0;
    }
    search.dir = NetEntry::none;
    m_freeSearches.push_back(static_cast<uint16_t>(directoryID - 1));
    return noMoreFiles;
}

uint16_t SimulatedNetWare::scanTrustees(uint32_t connHandle, uint8_t, const char* path, uint32_t& iterationHandle,
    uint16_t& count, NWTrusteeBlock& block, void*)
{
    uint32_t index = 0;
    if (const uint16_t code = entryCall(connHandle, path, &NetEntryFailures::trustees, index))
        return code;
    const NetEntry& entry = m_net->entries[index];
    if (iterationHandle >= entry.trusteeCount)
        return nw::noMoreTrustees;
    const uint32_t n = std::min<uint32_t>(entry.trusteeCount - iterationHandle, m_net->trusteeBlockSize);
    const NetTrustee* first = &m_net->trustees[entry.trusteeBegin + iterationHandle];
    for (uint32_t i = 0; i < n; ++i) {
        block.entries[i] = NWTrusteeEntry();
        block.entries[i].objectID = first[i].objectID;
        block.entries[i].rights = first[i].rights;
    }
    count = static_cast<uint16_t>(n);
    iterationHandle += n;
    return 0;
}

// ---- Connections by server name, volumes, name-space entry information ---------------

uint16_t SimulatedNetWare::openConnByName(const char* serverName, uint32_t& connHandle)
{
    if (!m_net)
        return requesterFailure;
    if (!serverName)
        return invalidParameter;
    const auto server = m_net->findServer(serverName);
    if (!server)
        return serverNotFound;
    return openServer(*server, connHandle);
}

uint16_t SimulatedNetWare::getVolumeName(uint32_t connHandle, uint16_t volumeNumber, char* volumeName)
{
    if (!m_net)
        return requesterFailure;
    uint32_t server = 0;
    if (!serverOfHandle(connHandle, server))
        return invalidConnection;
    if (!volumeName)
        return invalidParameter;
    const std::vector<NetVolume>& volumes = m_net->servers[server].volumes;
    if (volumeNumber >= volumes.size())
        return nw::noSuchVolume;
    putText(volumes[volumeNumber].name, volumeName, nw::nameBufferSize);
    return 0;
}

namespace {
bool knownNameSpace(uint8_t nameSpace) noexcept
{
    return nameSpace == nw::nameSpaceDos || nameSpace == nw::nameSpaceLong;
}
} // namespace

uint16_t SimulatedNetWare::entryInfo(uint32_t index, uint8_t nameSpace, NWEntryInfo& info) const
{
    const NetEntry& entry = m_net->entries[index];
    std::string_view name;
    if (entry.parent == NetEntry::none) {
        const auto [server, volume] = volumeOfRoot(index);
        name = m_net->servers[server].volumes[volume].name;
    } else {
        name = nameSpace == nw::nameSpaceLong ? m_net->longName(entry) : Network::dosName(entry);
    }
    info = NWEntryInfo();
    if (!putText(name, info.entryName, sizeof info.entryName))
        return invalidParameter;
    info.nameLength = static_cast<uint16_t>(name.size());
    info.attributes = (entry.flags & NetEntry::isDirectory) ? nw::attrDirectory : 0;
    return 0;
}

uint16_t SimulatedNetWare::getNSEntryInfo(
    uint32_t connHandle, uint8_t, const char* path, uint8_t srcNameSpace, uint8_t dstNameSpace, NWEntryInfo& info)
{
    if (!m_net)
        return requesterFailure;
    if (!knownNameSpace(srcNameSpace) || !knownNameSpace(dstNameSpace))
        return invalidParameter;
    uint32_t index = 0;
    if (const uint16_t code = entryOf(connHandle, path, index))
        return code;
    return entryInfo(index, dstNameSpace, info);
}

uint16_t SimulatedNetWare::scanNSEntryInfo(uint32_t connHandle, uint8_t, const char* path, uint8_t nameSpace,
    uint16_t searchAttributes, NWSearchSequence& sequence, const char* pattern, NWEntryInfo& info)
{
    if (!m_net)
        return requesterFailure;
    if (!knownNameSpace(nameSpace))
        return invalidParameter;
    uint32_t dirIndex = 0;
    if (const uint16_t code = entryOf(connHandle, path, dirIndex))
        return code;
    const NetEntry& dir = m_net->entries[dirIndex];
    if (!(dir.flags & NetEntry::isDirectory))
        return invalidPath;
    // The sequence names the volume, the directory and the position after the last entry
    // returned.
    uint32_t position = 0;
    if (sequence.searchDirNumber != 0xFFFFFFFFu) {
        if (sequence.dirNumber != dirIndex)
            return invalidParameter;
        position = sequence.searchDirNumber;
    } else {
        uint32_t root = dirIndex;
        while (m_net->entries[root].parent != NetEntry::none)
            root = m_net->entries[root].parent;
        sequence.volNumber = static_cast<uint8_t>(volumeOfRoot(root).second);
    }
    const std::string upperPattern = UpperAscii(pattern ? pattern : "");
    for (; position < dir.childCount; ++position) {
        const uint32_t index = dir.firstChild + position;
        const NetEntry& child = m_net->entries[index];
        if (!nw::SearchAdmits(searchAttributes, (child.flags & NetEntry::isDirectory) != 0))
            continue;
        const std::string_view name = nameSpace == nw::nameSpaceLong ? m_net->longName(child) : Network::dosName(child);
        if (!DosWildcardMatch(upperPattern, name))
            continue;
        if (const uint16_t code = entryInfo(index, nameSpace, info))
            return code;
        sequence.dirNumber = dirIndex;
        sequence.searchDirNumber = position + 1;
        return 0;
    }
    return noMoreFiles;
}

// ---- Error texts ------------------------------------------------------------------

bool SimulatedNetWare::loadErrorLibrary()
{
    return !m_net || m_net->errorTexts;
}

std::string SimulatedNetWare::NWstrerror(uint32_t code)
{
    if (!m_net && code == requesterFailure)
        return m_loadError;
    for (const ErrorText& entry : errorTexts)
        if (entry.code == code)
            return entry.text;
    return std::string();
}
