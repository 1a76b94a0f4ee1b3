#include "scan/TextArena.h"

#include <cstring>

uint64_t TextArena::add(std::string_view text)
{
    if (text.empty())
        return 0;
    if (text.size() > chunkSize) {
        m_chunks.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
        std::memcpy(m_chunks.back().get(), text.data(), text.size());
        ++m_apartChunks;
        m_apartBytes += text.size();
        m_used = chunkSize; // the next short text starts a chunk of its own
        return uint64_t(m_chunks.size() - 1) << chunkBits;
    }
    if (m_used + text.size() > chunkSize) {
        m_chunks.push_back(std::make_unique_for_overwrite<char[]>(chunkSize));
        m_used = 0;
    }
    const uint64_t position = uint64_t(m_chunks.size() - 1) << chunkBits | m_used;
    std::memcpy(m_chunks.back().get() + m_used, text.data(), text.size());
    m_used += text.size();
    return position;
}

void TextArena::clear() noexcept
{
    std::vector<std::unique_ptr<char[]>>().swap(m_chunks);
    m_used = chunkSize;
    m_apartChunks = 0;
    m_apartBytes = 0;
}

size_t TextArena::memoryBytes() const noexcept
{
    return (m_chunks.size() - m_apartChunks) * chunkSize + m_apartBytes + m_chunks.capacity() * sizeof(m_chunks[0]);
}
