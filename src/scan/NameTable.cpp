#include "scan/NameTable.h"

#include <stdexcept>

uint32_t NameTable::intern(std::string_view name)
{
    if (const auto found = m_index.find(name); found != m_index.end())
        return found->second;
    if (m_entries.size() >= noName)
        throw std::length_error("name table is full");
    const uint64_t position = m_texts.add(name);
    const auto id = static_cast<uint32_t>(m_entries.size());
    m_entries.push_back({ position, name.size() });
    m_index.emplace(m_texts.view(position, name.size()), id);
    return id;
}

size_t NameTable::memoryBytes() const noexcept
{
    // An unordered_map holds one node per element (key, value, next pointer, cached
    // hash) and one pointer per bucket.
    constexpr size_t nodeBytes = sizeof(std::string_view) + 2 * sizeof(void*) + sizeof(size_t);
    return m_texts.memoryBytes() + m_entries.capacity() * sizeof(Entry) + m_index.size() * nodeBytes
        + m_index.bucket_count() * sizeof(void*);
}
