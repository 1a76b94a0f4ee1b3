#include "platform/netware/Network.h"

#include "util/CaseFold.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <stdexcept>

NetObjectClass DefaultObjectClass(const DsName& name) noexcept
{
    return name.isContainer() ? NetObjectClass::Container : NetObjectClass::Other;
}

uint32_t NetTree::objectFor(const DsName& name)
{
    const std::string key = name.key();
    auto it = byKey.find(key);
    if (it != byKey.end())
        return it->second;
    while (byID.count(nextID))
        ++nextID;
    const uint32_t index = static_cast<uint32_t>(objects.size());
    objects.push_back({ name, nextID, {}, {}, DefaultObjectClass(name) });
    byID.emplace(nextID, index);
    byKey.emplace(key, index);
    ++nextID;
    return index;
}

bool ObjectIDIndex::emplace(uint32_t id, uint32_t index)
{
    if (find(id))
        return false;
    if ((m_count + 1) * 2 > m_slots.size()) {
        std::vector<uint64_t> old(std::max<size_t>(16, m_slots.size() * 2), 0);
        old.swap(m_slots);
        m_mask = m_slots.size() - 1;
        for (const uint64_t item : old) {
            if (item == 0)
                continue;
            uint64_t slot = hash(static_cast<uint32_t>(item >> 32)) & m_mask;
            while (m_slots[slot] != 0)
                slot = (slot + 1) & m_mask;
            m_slots[slot] = item;
        }
    }
    uint64_t slot = hash(id) & m_mask;
    while (m_slots[slot] != 0)
        slot = (slot + 1) & m_mask;
    m_slots[slot] = (uint64_t(id) << 32) | (uint64_t(index) + 1);
    ++m_count;
    return true;
}

uint32_t ObjectIDIndex::at(uint32_t id) const
{
    if (const std::optional<uint32_t> index = find(id))
        return *index;
    throw std::out_of_range("no object has this ID");
}

const NetObject* NetTree::findID(uint32_t id) const
{
    const std::optional<uint32_t> index = byID.find(id);
    return index ? &objects[*index] : nullptr;
}

std::optional<uint32_t> NetTree::findName(const DsName& name) const
{
    auto it = byKey.find(name.key());
    return it == byKey.end() ? std::nullopt : std::optional<uint32_t>(it->second);
}

namespace {

constexpr uint64_t byteOnes = 0x0101010101010101ull;

// Eight ASCII bytes with the capital letters made small.
inline uint64_t lowerAsciiWord(uint64_t word) noexcept
{
    // Bytes below 0x80: adding 0x80 - 'A' sets a byte's top bit from 'A' up, adding
    // 0x80 - 'Z' - 1 from past 'Z' up, and no sum carries into the next byte.
    const uint64_t fromA = word + byteOnes * (0x80 - 'A');
    const uint64_t pastZ = word + byteOnes * (0x80 - 'Z' - 1);
    return word | ((fromA & ~pastZ & (byteOnes * 0x80)) >> 2);
}

// Eight bytes as a number, the first in the lowest byte.
inline uint64_t loadWord(const void* bytes) noexcept
{
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    return word;
}

inline uint64_t mixWord(uint64_t h, uint64_t word) noexcept
{
    h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 31);
}

bool isAscii(std::string_view text) noexcept
{
    uint64_t bits = 0;
    size_t pos = 0;
    for (; pos + 8 <= text.size(); pos += 8)
        bits |= loadWord(text.data() + pos);
    for (; pos < text.size(); ++pos)
        bits |= static_cast<unsigned char>(text[pos]);
    return (bits & (byteOnes * 0x80)) == 0;
}

// A hash of a text's bytes as they are, eight at a time: the interning table's.
uint64_t bytesHash(std::string_view text) noexcept
{
    uint64_t h = 0x9E3779B97F4A7C15ull ^ text.size();
    size_t pos = 0;
    for (; pos + 8 <= text.size(); pos += 8)
        h = mixWord(h, loadWord(text.data() + pos));
    uint64_t tail = 0;
    for (size_t i = 0; pos + i < text.size(); ++i)
        tail |= uint64_t(static_cast<unsigned char>(text[pos + i])) << (8 * i);
    h = mixWord(h, tail) * 0xFF51AFD7ED558CCDull;
    return h ^ (h >> 33);
}

} // namespace

void Network::reserveNames(size_t names)
{
    size_t capacity = 1024;
    while (capacity < names * 2 + 2)
        capacity *= 2;
    if (capacity <= m_interned.size())
        return;
    std::vector<uint64_t> grown(capacity, 0);
    const uint64_t mask = grown.size() - 1;
    for (const uint64_t slot : m_interned)
        if (slot != 0) {
            const std::string_view known(m_pool.data() + static_cast<uint32_t>(slot), (slot >> 32) - 1);
            uint64_t at = bytesHash(known) & mask;
            while (grown[at] != 0)
                at = (at + 1) & mask;
            grown[at] = slot;
        }
    m_interned = std::move(grown);
}

void Network::setNameHashes(uint32_t entryIndex, uint64_t dosHash, uint64_t longHash)
{
    if (m_nameHashes.size() <= uint64_t(entryIndex) * 2 + 1)
        m_nameHashes.resize(std::max<size_t>(entries.size(), entryIndex + 1) * 2, 0);
    m_nameHashes[uint64_t(entryIndex) * 2] = dosHash;
    m_nameHashes[uint64_t(entryIndex) * 2 + 1] = longHash;
}

uint32_t Network::internName(std::string_view name)
{
    // Open addressing over the pool itself: a slot holds a name's offset and length, so a
    // lookup neither allocates nor keeps a second copy of the names (a generated volume
    // interns every one of its millions of names, most of them seen before).
    if (m_internedCount * 2 >= m_interned.size())
        reserveNames(std::max<size_t>(512, m_interned.size()));
    const uint64_t mask = m_interned.size() - 1;
    for (uint64_t at = bytesHash(name) & mask;; at = (at + 1) & mask) {
        const uint64_t slot = m_interned[at];
        if (slot == 0) {
            const uint32_t offset = static_cast<uint32_t>(m_pool.size());
            m_pool.append(name);
            m_interned[at] = (uint64_t(name.size() + 1) << 32) | offset;
            ++m_internedCount;
            return offset;
        }
        if ((slot >> 32) - 1 == name.size()
            && std::string_view(m_pool.data() + static_cast<uint32_t>(slot), name.size()) == name)
            return static_cast<uint32_t>(slot);
    }
}

uint64_t Network::hashKey(uint32_t parent, std::string_view name) noexcept
{
    // The hash of a stream of bytes made from the case-folded characters, seeded with the
    // parent index: an ASCII character is its byte, any other character three bytes from
    // 0x80 up. Names that are the same name give the same stream, so they hash alike. The
    // stream is taken eight bytes at a time; a name of ASCII characters only (nearly every
    // name) is its own stream once its capital letters are made small, eight at a time.
    uint64_t h = 0x9E3779B97F4A7C15ull * (static_cast<uint64_t>(parent) + 1);
    uint64_t word = 0; // the bytes put since the last whole word, the first in the lowest byte
    size_t filled = 0;
    uint64_t length = 0;
    const auto put = [&](unsigned char byte) {
        word |= uint64_t(byte) << (8 * filled++);
        ++length;
        if (filled == 8) {
            h = mixWord(h, word);
            word = 0;
            filled = 0;
        }
    };
    const auto lower = [](unsigned char c) { return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    size_t pos = 0;
    if (isAscii(name)) {
        for (; pos + 8 <= name.size(); pos += 8)
            h = mixWord(h, lowerAsciiWord(loadWord(name.data() + pos)));
        length = pos;
        for (; pos < name.size(); ++pos)
            put(lower(static_cast<unsigned char>(name[pos])));
    } else {
        while (pos < name.size()) {
            const auto c = static_cast<unsigned char>(name[pos]);
            if (c < 0x80) {
                put(lower(c));
                ++pos;
                continue;
            }
            const char32_t folded = NextFoldedChar(name, pos);
            if (folded < 0x80) {
                put(static_cast<unsigned char>(folded));
            } else {
                put(static_cast<unsigned char>(0x80 | (folded >> 14)));
                put(static_cast<unsigned char>(0x80 | ((folded >> 7) & 0x7F)));
                put(static_cast<unsigned char>(0x80 | (folded & 0x7F)));
            }
        }
    }
    if (filled > 0)
        h = mixWord(h, word);
    h ^= length;
    h *= 0xFF51AFD7ED558CCDull;
    return h ^ (h >> 33);
}

bool Network::nameMatches(const NetEntry& entry, std::string_view name) const noexcept
{
    return SameName(dosName(entry), name) || SameName(longName(entry), name);
}

void Network::indexName(uint32_t entryIndex, uint64_t hash)
{
    for (uint64_t slot = hash & m_indexMask;; slot = (slot + 1) & m_indexMask) {
        if (m_index[slot] == 0) {
            m_index[slot] = entryIndex + 1;
            return;
        }
        if (m_index[slot] == entryIndex + 1)
            return;
    }
}

void Network::finish()
{
    m_interned = {};
    m_internedCount = 0;
    for (NetTree& tree : trees)
        for (NetObject& object : tree.objects) {
            object.typedName = object.name.typed();
            object.typelessName = object.name.typeless();
        }
    uint64_t capacity = 16;
    while (capacity < entries.size() * 4)
        capacity *= 2;
    m_index.assign(capacity, 0);
    m_indexMask = capacity - 1;
    // The table is far larger than the caches and every name lands in a random slot, so
    // the names are hashed a batch at a time and their slots fetched ahead of the
    // insertions: the waits for memory overlap instead of coming one after the other.
    constexpr size_t batch = 64;
    struct Pending {
        uint32_t entry;
        uint64_t hash;
    };
    Pending pending[batch];
    size_t count = 0;
    const auto flush = [&] {
        for (size_t k = 0; k < count; ++k)
            indexName(pending[k].entry, pending[k].hash);
        count = 0;
    };
    const auto add = [&](uint32_t entryIndex, uint64_t hash) {
        __builtin_prefetch(&m_index[hash & m_indexMask], 1);
        pending[count++] = { entryIndex, hash };
    };
    for (uint32_t i = 0; i < entries.size(); ++i) {
        const NetEntry& entry = entries[i];
        if (entry.parent == NetEntry::none)
            continue;
        if (count + 2 > batch)
            flush();
        const uint64_t given = uint64_t(i) * 2;
        if (given + 1 < m_nameHashes.size() && (m_nameHashes[given] | m_nameHashes[given + 1]) != 0) {
            const uint64_t dosHash = m_nameHashes[given];
            const uint64_t longHash = m_nameHashes[given + 1];
            add(i, dosHash);
            if (longHash != dosHash || !SameName(dosName(entry), longName(entry)))
                add(i, longHash);
            continue;
        }
        add(i, hashKey(entry.parent, dosName(entry)));
        if (!SameName(dosName(entry), longName(entry)))
            add(i, hashKey(entry.parent, longName(entry)));
    }
    flush();
    m_nameHashes = {};
}

uint32_t Network::findChild(uint32_t dir, std::string_view name) const
{
    if (m_index.empty() || name.empty())
        return NetEntry::none;
    for (uint64_t slot = hashKey(dir, name) & m_indexMask; m_index[slot] != 0; slot = (slot + 1) & m_indexMask) {
        const uint32_t candidate = m_index[slot] - 1;
        const NetEntry& entry = entries[candidate];
        if (entry.parent == dir && nameMatches(entry, name))
            return candidate;
    }
    return NetEntry::none;
}

namespace {
// Index of the first item whose name is name without regard to case.
template <typename Items> std::optional<uint32_t> findByName(const Items& items, std::string_view name)
{
    for (uint32_t i = 0; i < items.size(); ++i)
        if (SameName(items[i].name, name))
            return i;
    return std::nullopt;
}
} // namespace

std::string Network::nameKey(std::string_view name)
{
    return FoldName(name);
}

uint32_t Network::addTree(NetTree tree)
{
    const uint32_t index = static_cast<uint32_t>(trees.size());
    m_treeIndex.emplace(nameKey(tree.name), index); // the first of a name stays
    trees.push_back(std::move(tree));
    return index;
}

uint32_t Network::addVolume(uint32_t server, NetVolume volume)
{
    NetServer& owner = servers[server];
    const uint32_t index = static_cast<uint32_t>(owner.volumes.size());
    owner.volumeIndex.emplace(nameKey(volume.name), index);
    owner.volumes.push_back(std::move(volume));
    return index;
}

std::optional<uint32_t> Network::findServer(std::string_view name) const
{
    return findByName(servers, name); // at most 255 servers
}

std::optional<uint32_t> Network::findVolume(uint32_t server, std::string_view name) const
{
    const auto& index = servers[server].volumeIndex;
    const auto it = index.find(nameKey(name));
    return it == index.end() ? std::nullopt : std::optional<uint32_t>(it->second);
}

std::optional<uint32_t> Network::findTree(std::string_view name) const
{
    const auto it = m_treeIndex.find(nameKey(name));
    return it == m_treeIndex.end() ? std::nullopt : std::optional<uint32_t>(it->second);
}

uint32_t Network::resolve(uint32_t server, uint32_t volume, std::string_view dirPath) const
{
    uint32_t current = servers[server].volumes[volume].root;
    size_t pos = 0;
    while (pos < dirPath.size()) {
        size_t end = dirPath.find_first_of("\\/", pos);
        if (end == std::string_view::npos)
            end = dirPath.size();
        if (end > pos) {
            if (!(entries[current].flags & NetEntry::isDirectory))
                return NetEntry::none;
            current = findChild(current, dirPath.substr(pos, end - pos));
            if (current == NetEntry::none)
                return NetEntry::none;
        }
        pos = end + 1;
    }
    return current;
}
