#pragma once

#include "scan/TextArena.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

/// Names (trustees, owners) stored once each and referred to by a 32-bit number: a scan
/// names the same few thousand objects on millions of report lines. Two names are the
/// same name only when their bytes are equal (letter case counts), so a number always
/// stands for exactly the text it was made from. Numbers count from 0 in the order the
/// names first came.
class NameTable {
public:
    /// Stands for "no name" where a line may have none (an owner that is not known).
    static constexpr uint32_t noName = std::numeric_limits<uint32_t>::max();

    /// The number of a name, stored now if it is new. Throws std::length_error when
    /// noName names are stored already.
    uint32_t intern(std::string_view name);

    /// The text of a number that intern returned (valid until the table is destroyed).
    std::string_view name(uint32_t id) const noexcept
    {
        const Entry& entry = m_entries[id];
        return m_texts.view(entry.position, entry.length);
    }

    /// Names stored.
    size_t count() const noexcept { return m_entries.size(); }

    /// Bytes held (texts, entries, an estimate of the index), for budgets.
    size_t memoryBytes() const noexcept;

private:
    struct Entry {
        uint64_t position;
        size_t length;
    };
    TextArena m_texts;
    std::vector<Entry> m_entries;
    // Open addressing, linear probing: a slot is empty (0) or holds the upper half of the
    // name's hash and its number + 1, so that a probe reads the text only on a likely match.
    std::vector<uint64_t> m_index;
    unsigned m_indexBits = 0; // m_index holds 2^m_indexBits slots

    void grow();
};
