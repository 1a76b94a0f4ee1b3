#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

/// Texts copied into 1 MiB chunks that never move, so that a view of a stored text stays
/// valid until `clear` and storing millions of short texts costs no allocation each. A
/// text never straddles two chunks; one longer than a chunk gets a chunk of its own. The
/// caller keeps each text's position and length (a position is the chunk's index shifted
/// left by chunkBits, plus the offset in the chunk).
class TextArena {
public:
    static constexpr unsigned chunkBits = 20;
    static constexpr size_t chunkSize = size_t(1) << chunkBits;

    /// Copies text in and returns its position. The empty text is not stored; its
    /// position is 0.
    uint64_t add(std::string_view text);

    /// The text of `length` bytes that `add` stored at `position`.
    std::string_view view(uint64_t position, size_t length) const noexcept
    {
        if (length == 0)
            return {};
        return { m_chunks[position >> chunkBits].get() + (position & (chunkSize - 1)), length };
    }

    /// Removes every text and releases the chunks.
    void clear() noexcept;

    /// Bytes held: the chunks and the table of chunks.
    size_t memoryBytes() const noexcept;

private:
    std::vector<std::unique_ptr<char[]>> m_chunks;
    size_t m_used = chunkSize; // bytes used in the last chunk; "full" while there is none
    size_t m_apartChunks = 0; // chunks that hold one long text each
    size_t m_apartBytes = 0; // and their bytes
};
