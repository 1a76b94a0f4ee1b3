#include "platform/netware/Network.h"

#include "util/CaseFold.h"

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

const NetObject* NetTree::findID(uint32_t id) const
{
    auto it = byID.find(id);
    return it == byID.end() ? nullptr : &objects[it->second];
}

std::optional<uint32_t> NetTree::findName(const DsName& name) const
{
    auto it = byKey.find(name.key());
    return it == byKey.end() ? std::nullopt : std::optional<uint32_t>(it->second);
}

uint32_t Network::internName(std::string_view name)
{
    auto it = m_interned.find(std::string(name));
    if (it != m_interned.end())
        return it->second;
    const uint32_t offset = static_cast<uint32_t>(m_pool.size());
    m_pool.append(name);
    m_interned.emplace(std::string(name), offset);
    return offset;
}

uint64_t Network::hashKey(uint32_t parent, std::string_view name) noexcept
{
    // FNV-1a over the case-folded characters, seeded with the parent index: names that
    // are the same name hash alike.
    uint64_t h = 14695981039346656037ull ^ (static_cast<uint64_t>(parent) * 0x9E3779B97F4A7C15ull);
    size_t pos = 0;
    while (pos < name.size()) {
        const auto c = static_cast<unsigned char>(name[pos]);
        char32_t folded = c;
        if (c >= 0x80) {
            folded = NextFoldedChar(name, pos);
        } else {
            ++pos;
            if (c >= 'A' && c <= 'Z')
                folded = c + ('a' - 'A');
        }
        h ^= folded;
        h *= 1099511628211ull;
    }
    return h ^ (h >> 29);
}

bool Network::nameMatches(const NetEntry& entry, std::string_view name) const noexcept
{
    return SameName(dosName(entry), name) || SameName(longName(entry), name);
}

void Network::indexName(uint32_t entryIndex, std::string_view name)
{
    const NetEntry& entry = entries[entryIndex];
    for (uint64_t slot = hashKey(entry.parent, name) & m_indexMask;; slot = (slot + 1) & m_indexMask) {
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
    for (uint32_t i = 0; i < entries.size(); ++i) {
        const NetEntry& entry = entries[i];
        if (entry.parent == NetEntry::none)
            continue;
        indexName(i, dosName(entry));
        if (!SameName(dosName(entry), longName(entry)))
            indexName(i, longName(entry));
    }
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
