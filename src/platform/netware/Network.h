#pragma once

// The in-memory network the simulated client library serves: trees with their objects,
// servers with their volumes, and every directory and file entry with its names, owner,
// inherited rights mask and trustees.
//
// Built for volumes of millions of entries: entries are compact records in one contiguous
// vector; the children of a directory occupy one contiguous index range (in server
// order); long names are interned in one character pool; trustees live in one vector,
// each entry owning a range of it; a directory's child is found by name through one
// open-addressing hash table keyed by (parent, case-folded name) that holds both DOS and
// long names. Loaders (the JSON reader, a generator) fill a Network and call finish().

#include "platform/netware/DsNames.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// The class of a directory-services object, as effective rights tell objects apart.
enum class NetObjectClass : uint8_t { User, Group, Container, Role, Other };

/// The class an object has when its description gives none: a container for a name whose
/// leftmost part is typed O= or OU=, otherwise other.
NetObjectClass DefaultObjectClass(const DsName& name) noexcept;

struct NetObject {
    DsName name;
    uint32_t id = 0;
    std::string typedName; ///< name.typed(), kept ready for ID-to-name from [Root]
    std::string typelessName; ///< name.typeless()
    NetObjectClass objectClass = NetObjectClass::Other;
    /// The object's lists in NetTree::listItems: first the groups it is a member of, then
    /// the objects it is security equivalent to.
    uint32_t listBegin = 0;
    uint16_t memberOfCount = 0;
    uint16_t securityEqualsCount = 0;
};

/// Object IDs to indexes in a tree's objects: open addressing over one 8-byte slot per
/// ID, at most half full. A scan looks up the name of every trustee of every entry by its
/// ID, and a node-based map made each lookup a few cache misses. Offers the part of the
/// map interface loaders use: emplace (an ID already present keeps its index), count, at.
class ObjectIDIndex {
public:
    bool emplace(uint32_t id, uint32_t index);
    size_t count(uint32_t id) const noexcept { return find(id) ? 1 : 0; }
    /// The index of id; throws std::out_of_range when it is not there.
    uint32_t at(uint32_t id) const;
    /// The index of id, or none.
    std::optional<uint32_t> find(uint32_t id) const noexcept
    {
        if (m_count == 0)
            return std::nullopt;
        for (uint64_t slot = hash(id) & m_mask; m_slots[slot] != 0; slot = (slot + 1) & m_mask)
            if (static_cast<uint32_t>(m_slots[slot] >> 32) == id)
                return static_cast<uint32_t>(m_slots[slot]) - 1;
        return std::nullopt;
    }
    size_t size() const noexcept { return m_count; }

private:
    static uint64_t hash(uint32_t id) noexcept { return (id * 0x9E3779B97F4A7C15ull) >> 20; }

    std::vector<uint64_t> m_slots; // (id << 32) | (index + 1) per used slot; 0: free
    size_t m_count = 0;
    uint64_t m_mask = 0;
};

struct NetTree {
    std::string name;
    std::vector<NetObject> objects;
    ObjectIDIndex byID; ///< object ID -> index in objects
    std::unordered_map<std::string, uint32_t> byKey; ///< DsName::key() -> index in objects
    /// The items of every object's member-of and security-equals lists (NetObject::
    /// listBegin): an index in objects, or listedContainer | an index in containers.
    std::vector<uint32_t> listItems;
    /// Containers named in those lists that are no object of the tree.
    std::vector<DsName> containers;
    static constexpr uint32_t listedContainer = 0x80000000u;

    /// The name a list item stands for.
    const DsName& listItemName(uint32_t item) const
    {
        return (item & listedContainer) ? containers[item & ~listedContainer] : objects[item].name;
    }
    uint32_t nextID = 0x01000001;

    /// Index of the object with this name, created with the next free ID (and the class
    /// its name gives it) when it does not exist yet.
    uint32_t objectFor(const DsName& name);
    /// The object with this ID, or nullptr.
    const NetObject* findID(uint32_t id) const;
    /// Index of the object with this name (DsName::key()), or none.
    std::optional<uint32_t> findName(const DsName& name) const;
};

struct NetVolume {
    std::string name;
    uint32_t root = 0; ///< entry index of the root directory
};

struct NetServer {
    std::string name;
    uint32_t tree = 0;
    std::optional<uint32_t> openFailure; ///< code opening a connection fails with
    std::vector<NetVolume> volumes; ///< added with Network::addVolume, which indexes them
    std::unordered_map<std::string, uint32_t> volumeIndex; ///< Network::nameKey -> first volume of that name
};

struct NetTrustee {
    uint32_t objectID;
    uint16_t rights;
};

/// One directory or file. Keep this short: there are millions.
struct NetEntry {
    static constexpr uint32_t none = 0xFFFFFFFFu;
    static constexpr uint8_t isDirectory = 0x01;
    static constexpr uint8_t hasFailures = 0x02;

    uint32_t parent = none; ///< entry index; none for a volume root
    uint32_t firstChild = 0; ///< children: [firstChild, firstChild + childCount)
    uint32_t childCount = 0;
    uint32_t longName = 0; ///< offset of the long name in the name pool
    uint32_t trusteeBegin = 0; ///< trustees: [trusteeBegin, trusteeBegin + trusteeCount)
    uint32_t owner = 0; ///< owner object ID; 0: none
    uint16_t longLength = 0;
    uint16_t trusteeCount = 0;
    uint8_t irm = 0xFF;
    uint8_t flags = 0;
    uint8_t dosLength = 0;
    char dos[12] = {}; ///< DOS name, upper case, not NUL-terminated
};
static_assert(sizeof(NetEntry) <= 48, "an entry record stays small");

/// Injected failures of one entry (0: none).
struct NetEntryFailures {
    uint16_t info = 0;
    uint16_t search = 0;
    uint16_t trustees = 0;
};

class Network {
public:
    // Workstation settings.
    std::vector<uint32_t> connections; ///< server indexes, in listing order
    std::optional<uint32_t> primary; ///< server index of the default reference
    int trusteeBlockSize = 20;
    bool errorTexts = true;
    std::optional<uint32_t> initFailure;
    std::optional<uint32_t> contextFailure;

    std::vector<NetTree> trees;
    std::vector<NetServer> servers;
    std::vector<NetEntry> entries;
    std::vector<NetTrustee> trustees;
    std::unordered_map<uint32_t, NetEntryFailures> failures; ///< entry index -> failures

    /// Interns a long name and returns its pool offset.
    uint32_t internName(std::string_view name);
    /// The hashes of an entry's DOS and long name (hashKey under its parent), for loaders
    /// that computed them while checking the names: finish() takes them instead of hashing
    /// the names again. Entries given none are hashed there.
    void setNameHashes(uint32_t entryIndex, uint64_t dosHash, uint64_t longHash);
    /// The long name of an entry (a volume root: "").
    std::string_view longName(const NetEntry& entry) const
    {
        return std::string_view(m_pool).substr(entry.longName, entry.longLength);
    }
    static std::string_view dosName(const NetEntry& entry) { return std::string_view(entry.dos, entry.dosLength); }

    /// Builds the name index and the objects' ready-made names; loaders call it once all
    /// entries are in place. Also drops the interning table, which only loading needs.
    void finish();

    /// The child of directory `dir` whose DOS or long name is name without regard to case
    /// (Unicode case folding, util/CaseFold.h: 'MÜLLER' finds 'müller'); NetEntry::none
    /// when there is none.
    uint32_t findChild(uint32_t dir, std::string_view name) const;

    /// Adds a tree (loaders add every tree this way, so that findTree stays one lookup
    /// however many trees a description declares) and returns its index.
    uint32_t addTree(NetTree tree);
    /// Adds a volume to a server, likewise for findVolume, and returns its index.
    uint32_t addVolume(uint32_t server, NetVolume volume);

    /// Server index by name without regard to case (Unicode case folding), or none.
    std::optional<uint32_t> findServer(std::string_view name) const;
    /// Volume index of a server by name without regard to case (Unicode case folding), or none.
    std::optional<uint32_t> findVolume(uint32_t server, std::string_view name) const;
    /// Tree index by name without regard to case (Unicode case folding), or none.
    std::optional<uint32_t> findTree(std::string_view name) const;

    /// The entry a volume-relative path names ("DOCS\PLANS~1", backslashes or slashes,
    /// leading and trailing separators ignored, "" the root); none when a component is
    /// missing or a file is passed through.
    uint32_t resolve(uint32_t server, uint32_t volume, std::string_view dirPath) const;

    /// The hash of name among the children of parent: equal for names that are the same
    /// name (SameName), computed over the folded characters without building the folded
    /// text. Loaders that keep the names of a directory apart use it too.
    static uint64_t hashKey(uint32_t parent, std::string_view name) noexcept;

    /// Number of entries below and including the volume roots, for statistics.
    size_t entryCount() const noexcept { return entries.size(); }

private:
    /// The name folded as every name comparison of the network folds it: the key of the
    /// tree and volume indexes.
    static std::string nameKey(std::string_view name);
    bool nameMatches(const NetEntry& entry, std::string_view name) const noexcept;
    /// Grows the interning table to room for `names` names at most half full.
    void reserveNames(size_t names);
    void indexName(uint32_t entryIndex, uint64_t hash);

    std::unordered_map<std::string, uint32_t> m_treeIndex; ///< nameKey -> first tree of that name
    std::string m_pool;
    /// The interning table of the pool's names while loading: (length + 1) << 32 | offset
    /// per used slot, 0 for a free one; open addressing, at most half full.
    std::vector<uint64_t> m_interned;
    size_t m_internedCount = 0;
    /// setNameHashes while loading: DOS and long name hash per entry; 0 and 0: none given.
    std::vector<uint64_t> m_nameHashes;
    std::vector<uint32_t> m_index; ///< entry index + 1; 0: empty slot
    uint64_t m_indexMask = 0;
};
