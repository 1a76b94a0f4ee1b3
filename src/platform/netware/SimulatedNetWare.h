#pragma once

// The simulated NetWare client library: a workstation holding connections to the
// servers of a Network (NetworkReader.h), answering every entry of NWClientLibrary the
// way the NetWare client would.
//
// Numbers it hands out: connection reference 0x1001 + server index, connection handle
// 1 + server index (at most 255 servers), context handles from 1, volume number = the
// volume's index on its server. The name-space calls find a path's components by either
// of their names, whatever the source name space, as the shell's paths mix the two (a
// report's DOS paths, the folder tree's long ones); a description's injected failures
// belong to the calls the scan makes and leave them alone. A library made from a
// load error fails initialisation and every other call with 0x88FF; NWstrerror(0x88FF)
// then gives the load error's message.

#include "netware/NWClientLibrary.h"
#include "platform/netware/Network.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class SimulatedNetWare final : public NWClientLibrary {
public:
    /// A library serving network.
    explicit SimulatedNetWare(std::unique_ptr<Network> network);
    /// A library whose description could not be loaded; loadError is the full message.
    explicit SimulatedNetWare(std::string loadError);
    ~SimulatedNetWare() override;

    /// True when a network was loaded.
    bool loaded() const noexcept { return m_net != nullptr; }
    /// The message of the failed load ("" when loaded).
    const std::string& loadError() const noexcept { return m_loadError; }
    /// The network served (nullptr when the load failed).
    const Network* network() const noexcept { return m_net.get(); }

    /// A path resolved to an entry of the network.
    struct Location {
        uint32_t server = 0;
        uint32_t volume = 0;
        uint32_t entry = NetEntry::none; ///< none when the path names no existing entry
    };
    /// Splits a path of any form the path splitter accepts (see parsePath); the
    /// 'VOLUME:dir' form is taken on connHandle's server. Returns the splitter's code.
    uint16_t locate(std::string_view path, uint32_t connHandle, Location& where, std::string* dirPath = nullptr);

    // NWClientLibrary
    uint16_t initialize(void* reserved1, void* reserved2) override;
    uint16_t getPrimaryConnRef(uint32_t& connRef) override;
    uint16_t NWCCScanConnRefs(uint32_t& scanIndex, uint32_t& connRef) override;
    uint16_t NWCCOpenConnByRef(uint32_t connRef, uint32_t openState, uint32_t reserved, uint32_t& connHandle) override;
    uint16_t closeConn(uint32_t connHandle) override;
    uint16_t getConnInfo(uint32_t connHandle, uint16_t item, uint16_t bufferLength, char* buffer) override;
    uint16_t getConnRefInfo(uint32_t connRef, uint16_t item, uint16_t bufferLength, char* buffer) override;
    uint32_t createContext(uint32_t& context) override;
    uint32_t getContextInfo(uint32_t context, uint32_t key, void* value) override;
    uint32_t setContextInfo(uint32_t context, uint32_t key, const void* value) override;
    uint32_t mapIDToName(uint32_t context, uint32_t connHandle, uint32_t objectID, char* name) override;
    uint16_t parsePath(
        const char* path, char* serverName, uint32_t& connHandle, char* volumeName, char* dirPath) override;
    uint16_t getDirectoryInfo(uint32_t connHandle, uint8_t dirHandle, const char* path, uint8_t* sequence, char* name,
        uint32_t& dateTime, uint32_t& ownerID, uint8_t& rightsMask, void* reserved) override;
    uint16_t initFileSearch(uint32_t connHandle, uint8_t dirHandle, const char* path, uint8_t& volumeNumber,
        uint16_t& directoryID, uint16_t& sequence, uint8_t& accessRights, void* reserved) override;
    uint16_t continueFileSearch(uint32_t connHandle, uint8_t volumeNumber, uint16_t directoryID, uint16_t sequence,
        uint8_t searchAttributes, const char* pattern, NWSearchEntry& entry, uint32_t flag) override;
    uint16_t scanTrustees(uint32_t connHandle, uint8_t dirHandle, const char* path, uint32_t& iterationHandle,
        uint16_t& count, NWTrusteeBlock& block, void* reserved) override;
    uint16_t openConnByName(const char* serverName, uint32_t& connHandle) override;
    uint16_t getVolumeName(uint32_t connHandle, uint16_t volumeNumber, char* volumeName) override;
    uint16_t getNSEntryInfo(uint32_t connHandle, uint8_t dirHandle, const char* path, uint8_t srcNameSpace,
        uint8_t dstNameSpace, NWEntryInfo& info) override;
    uint16_t scanNSEntryInfo(uint32_t connHandle, uint8_t dirHandle, const char* path, uint8_t nameSpace,
        uint16_t searchAttributes, NWSearchSequence& sequence, const char* pattern, NWEntryInfo& info) override;
    uint32_t mapNameToID(uint32_t context, uint32_t connHandle, const char* objectName, uint32_t& objectID) override;
    uint32_t readObjectValue(uint32_t context, const char* objectName, const char* attributeName,
        uint32_t& iterationHandle, char* value) override;
    uint32_t searchObjects(uint32_t context, const char* className, uint32_t& iterationHandle, char* objectName,
        uint32_t& objectID) override;
    bool loadErrorLibrary() override;
    std::string NWstrerror(uint32_t code) override;

private:
    struct Context {
        uint32_t flags = 0;
        std::string nameContextText = "[Root]";
        DsName nameContext;
        std::string treeName;
        /// The tree treeName names, looked up when the name is set (the network does
        /// not change once loaded); none when it names no tree.
        std::optional<uint32_t> namedTree;
    };
    struct Search {
        uint32_t dir = NetEntry::none; ///< none: slot free
        uint32_t server = 0;
        uint32_t position = 0;
        uint64_t lastUse = 0;
    };

    /// The server of an open connection handle, or false.
    bool serverOfHandle(uint32_t connHandle, uint32_t& server) const;
    /// The server of a reference, or false.
    bool serverOfRef(uint32_t connRef, uint32_t& server) const;
    /// Opens the connection to a server (its injected failure, if any, is the code).
    uint16_t openServer(uint32_t server, uint32_t& connHandle);
    uint16_t connText(uint32_t server, uint16_t item, uint16_t bufferLength, char* buffer) const;
    /// Resolves a path of an entry call to an entry, using a one-path cache, the chain of
    /// directories last passed through and the entry the last file search returned (the
    /// walk asks about the same path, the entry it has just found, its siblings and its
    /// parent's siblings again and again).
    uint16_t entryOf(uint32_t connHandle, const char* path, uint32_t& entry);
    /// The child of dir named name (either name, any case), or none.
    uint32_t childNamed(uint32_t dir, std::string_view name) const;
    /// The entry text names when it begins with the path of a directory of m_dirChain,
    /// resolved from the deepest such directory (kept: how many of the chain's
    /// directories that leaves, the directories passed below it in m_passedDirs); none
    /// when no directory of the chain begins it or the rest names nothing.
    uint32_t resolveBelowCachedDirs(std::string_view text, size_t& kept);
    /// The common start of the entry calls: the entry a path names, and the failure a
    /// description injected for this call (member of NetEntryFailures), if any.
    uint16_t entryCall(uint32_t connHandle, const char* path, uint16_t NetEntryFailures::*failure, uint32_t& index);
    Context* context(uint32_t handle);
    /// The tree names are read in: the context's tree when it names one, else the tree of
    /// the connection's server (connHandle 0: none). Returns the code of a failure.
    uint32_t treeOf(const Context& ctx, uint32_t connHandle, uint32_t& tree) const;
    /// The start of the directory-services calls: the context of a handle and the tree
    /// it reads (treeOf); the code of a failure.
    uint32_t dsCall(uint32_t handle, uint32_t connHandle, Context*& ctx, const NetTree*& tree);
    /// The object a name names as the context reads it (relative to its name context
    /// unless it begins with "."), or none.
    std::optional<uint32_t> objectNamed(const Context& ctx, const NetTree& tree, const char* text) const;
    /// An object's name as the context gives it (typed or typeless, relative to its name
    /// context) into a 256-byte buffer.
    uint32_t putObjectName(const Context& ctx, const DsName& name, char* buffer) const;
    /// Server and volume index of a volume's root entry.
    std::pair<uint32_t, uint32_t> volumeOfRoot(uint32_t root) const;
    uint16_t allocateSearch(uint32_t dir, uint32_t server);
    /// Fills info with an entry's attributes and its name in a name space (a volume
    /// root: the volume's name).
    uint16_t entryInfo(uint32_t index, uint8_t nameSpace, NWEntryInfo& info) const;

    std::unique_ptr<Network> m_net;
    std::string m_loadError;
    std::vector<bool> m_open; ///< per server: connection open
    std::vector<Context> m_contexts;
    std::vector<Search> m_searches;
    std::vector<uint16_t> m_freeSearches;
    uint64_t m_searchClock = 0;

    // Path caches of entryOf: the last path asked about and its entry, and the directory
    // path last passed through with the directories along it.
    struct CachedDir {
        uint32_t entry;
        uint32_t length; ///< of its path in m_cachedDirPath, the separator after it included
    };
    uint32_t m_cachedConn = 0;
    std::string m_cachedPath;
    uint32_t m_cachedEntry = NetEntry::none;
    std::string m_cachedDirPath; ///< a directory path with its trailing "\"
    /// Directories whose paths begin m_cachedDirPath, outermost first; the last is the
    /// directory m_cachedDirPath names. Empty: none known.
    std::vector<CachedDir> m_dirChain;
    std::vector<CachedDir> m_passedDirs; ///< resolveBelowCachedDirs' directories on the way
    uint32_t m_lastSearchResult = NetEntry::none; ///< the entry continueFileSearch returned last

    // The last search pattern continueFileSearch was given and its form for matching
    // (a walk passes the same pattern for every entry of a directory).
    std::string m_lastPattern;
    std::string m_lastUpperPattern;
    bool m_lastPatternKnown = false;
};
