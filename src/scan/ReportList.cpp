#include "scan/ReportList.h"

#include "scan/LineKinds.h"

#include <cstring>
#include <stdexcept>

namespace {

// Kind codes map onto 4 bits: 0 -> 0, 10..18 -> 1..9.
uint64_t kindIndex(int32_t code)
{
    if (code == lkSeparator)
        return 0;
    if (code >= lkBase && code <= lkIrm)
        return static_cast<uint64_t>(code - lkBase + 1);
    throw std::invalid_argument("report line kind code out of range: " + std::to_string(code));
}

int32_t kindCode(uint64_t index) noexcept
{
    return index == 0 ? 0 : static_cast<int32_t>(index) + lkBase - 1;
}

} // namespace

uint64_t ReportList::packSlot(std::string_view text, int32_t code)
{
    const uint64_t kind = kindIndex(code);
    uint64_t position = 0;
    uint64_t length = text.size();
    if (length >= kLongLength) {
        position = m_longTexts.size();
        m_longTexts.emplace_back(text);
        length = kLongLength;
    } else {
        if (m_chunks.empty() || m_used + text.size() > kChunkSize) {
            if (m_chunks.size() >= (size_t(1) << (64 - kLengthBits - kKindBits - kChunkBits)))
                throw std::length_error("report store is full");
            m_chunks.push_back(std::make_unique_for_overwrite<char[]>(kChunkSize));
            m_used = 0;
        }
        position = ((m_chunks.size() - 1) << kChunkBits) | m_used;
        if (!text.empty())
            std::memcpy(m_chunks.back().get() + m_used, text.data(), text.size());
        m_used += text.size();
    }
    return position << (kLengthBits + kKindBits) | length << kKindBits | kind;
}

void ReportList::append(std::string_view text, int32_t code)
{
    m_slots.push_back(packSlot(text, code));
    m_textBytes += text.size();
}

std::string_view ReportList::text(size_t index) const noexcept
{
    const uint64_t slot = m_slots[index];
    const uint64_t position = slot >> (kLengthBits + kKindBits);
    const size_t length = static_cast<size_t>((slot >> kKindBits) & kLongLength);
    if (length == kLongLength)
        return m_longTexts[position];
    const char* chunk = m_chunks[position >> kChunkBits].get();
    return std::string_view(chunk + (position & (kChunkSize - 1)), length);
}

int32_t ReportList::code(size_t index) const noexcept
{
    return kindCode(m_slots[index] & ((uint64_t(1) << kKindBits) - 1));
}

void ReportList::replaceText(size_t index, std::string_view text)
{
    const size_t oldLength = this->text(index).size();
    // Chunks never move, so a view into this store stays valid while it is copied.
    m_slots[index] = packSlot(text, code(index));
    m_textBytes = m_textBytes - oldLength + text.size();
}

void ReportList::clear() noexcept
{
    std::vector<uint64_t>().swap(m_slots);
    std::vector<std::unique_ptr<char[]>>().swap(m_chunks);
    std::vector<std::string>().swap(m_longTexts);
    m_used = 0;
    m_textBytes = 0;
}

void ReportList::reserve(size_t lines, size_t /*textBytes*/)
{
    m_slots.reserve(lines);
}

size_t ReportList::memoryBytes() const noexcept
{
    size_t bytes = m_slots.capacity() * sizeof(uint64_t) + m_chunks.size() * kChunkSize
        + m_chunks.capacity() * sizeof(m_chunks[0]);
    for (const auto& s : m_longTexts)
        bytes += s.capacity() + sizeof(s);
    return bytes;
}
