#include "scan/NameTable.h"

#include <functional>
#include <stdexcept>

namespace {

constexpr unsigned firstIndexBits = 6;

uint64_t hashOf(std::string_view name) noexcept
{
    return std::hash<std::string_view> {}(name);
}

uint64_t tagOf(uint64_t hash) noexcept
{
    return hash >> 32;
}

// The home slot of a tag in an index of 2^bits slots: the top bits of a multiplicative
// hash of the tag, so that growing needs the stored tags only, not the names again.
size_t homeOf(uint64_t tag, unsigned bits) noexcept
{
    return static_cast<uint32_t>(tag * 0x9E3779B1u) >> (32 - bits);
}

} // namespace

uint32_t NameTable::intern(std::string_view name)
{
    if (m_index.empty()) {
        m_index.assign(size_t(1) << firstIndexBits, 0);
        m_indexBits = firstIndexBits;
    }
    const uint64_t tag = tagOf(hashOf(name));
    const size_t mask = m_index.size() - 1;
    size_t at = homeOf(tag, m_indexBits);
    for (; m_index[at] != 0; at = (at + 1) & mask) {
        const uint64_t slot = m_index[at];
        if (slot >> 32 == tag) {
            const auto id = static_cast<uint32_t>((slot & 0xFFFFFFFF) - 1);
            if (this->name(id) == name)
                return id;
        }
    }
    if (m_entries.size() >= noName)
        throw std::length_error("name table is full");
    const auto id = static_cast<uint32_t>(m_entries.size());
    m_entries.push_back({ m_texts.add(name), name.size() });
    m_index[at] = tag << 32 | (uint64_t(id) + 1);
    // At most half full, so that a probe meets an empty slot soon.
    if (m_entries.size() * 2 > m_index.size())
        grow();
    return id;
}

void NameTable::grow()
{
    std::vector<uint64_t> index(m_index.size() * 2, 0);
    const unsigned bits = m_indexBits + 1;
    const size_t mask = index.size() - 1;
    for (const uint64_t slot : m_index) {
        if (slot == 0)
            continue;
        size_t at = homeOf(slot >> 32, bits);
        while (index[at] != 0)
            at = (at + 1) & mask;
        index[at] = slot;
    }
    m_index.swap(index);
    m_indexBits = bits;
}

size_t NameTable::memoryBytes() const noexcept
{
    return m_texts.memoryBytes() + m_entries.capacity() * sizeof(Entry) + m_index.capacity() * sizeof(uint64_t);
}
