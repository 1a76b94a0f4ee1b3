#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

/// An array of plain records that only grows at its end, kept in blocks of 2^BlockBits
/// records that never move: appending never copies what is there (no doubling spike of
/// memory and time, as a std::vector has at millions of records), and references to a
/// record stay valid until `clear`. Index access is one shift and one mask.
template <typename T, unsigned BlockBits> class ChunkedArray {
    static_assert(std::is_trivially_copyable_v<T>, "records are copied as bytes");

public:
    static constexpr size_t blockSize = size_t(1) << BlockBits;

    void push_back(const T& value)
    {
        if ((m_size >> BlockBits) == m_blocks.size())
            m_blocks.push_back(std::make_unique_for_overwrite<T[]>(blockSize));
        m_blocks[m_size >> BlockBits][m_size & (blockSize - 1)] = value;
        ++m_size;
    }

    T& operator[](size_t index) noexcept { return m_blocks[index >> BlockBits][index & (blockSize - 1)]; }
    const T& operator[](size_t index) const noexcept { return m_blocks[index >> BlockBits][index & (blockSize - 1)]; }

    size_t size() const noexcept { return m_size; }
    bool empty() const noexcept { return m_size == 0; }

    /// Removes every record and releases the blocks.
    void clear() noexcept
    {
        std::vector<std::unique_ptr<T[]>>().swap(m_blocks);
        m_size = 0;
    }

    /// Bytes held: the blocks and the table of blocks.
    size_t memoryBytes() const noexcept
    {
        return m_blocks.size() * blockSize * sizeof(T) + m_blocks.capacity() * sizeof(m_blocks[0]);
    }

private:
    std::vector<std::unique_ptr<T[]>> m_blocks;
    size_t m_size = 0;
};
