#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

/// One report line as handed out by the store: its text and its kind code.
struct ReportLine {
    std::string_view text;
    int32_t code = 0;
};

/// The store of report lines that the result list shows: lines are appended in scan
/// order and read by index. Built for millions of lines: texts are packed into 1 MiB
/// character chunks that never move, and each line costs one 64-bit slot (chunk
/// offset, length and kind packed), so there is no heap allocation per line and no
/// copying when the store grows.
///
/// Kind codes are 0 (separator) or 10..18; any other code is rejected with
/// std::invalid_argument. A text of 1 MiB or more is kept apart in a string of its own
/// (the slot then holds its index there). `replaceText` (used by long names) stores the new text and
/// repoints the slot; the old bytes stay unused until `clear`.
///
/// Views returned by `text`/`line` stay valid until `clear`.
class ReportList {
public:
    /// Appends a line at the end.
    void append(std::string_view text, int32_t code);

    /// Number of lines.
    size_t count() const noexcept { return m_slots.size(); }
    bool empty() const noexcept { return m_slots.empty(); }

    /// The line at index (0 <= index < count()).
    ReportLine line(size_t index) const noexcept { return { text(index), code(index) }; }
    std::string_view text(size_t index) const noexcept;
    int32_t code(size_t index) const noexcept;

    /// Replaces the text of the line at index; its code and position stay.
    void replaceText(size_t index, std::string_view text);

    /// Removes every line and releases the buffers.
    void clear() noexcept;

    /// Reserves room for about `lines` lines of `textBytes` characters in all.
    void reserve(size_t lines, size_t textBytes);

    /// Bytes the store holds in memory (slots, chunks, texts kept apart), for budgets.
    size_t memoryBytes() const noexcept;

    /// Sum of the lengths of the current line texts.
    size_t textBytes() const noexcept { return m_textBytes; }

private:
    static constexpr uint64_t kLengthBits = 20;
    static constexpr uint64_t kLongLength = (uint64_t(1) << kLengthBits) - 1;
    static constexpr uint64_t kKindBits = 4;
    static constexpr size_t kChunkBits = 20;
    static constexpr size_t kChunkSize = size_t(1) << kChunkBits;

    uint64_t packSlot(std::string_view text, int32_t code);

    // A slot is (chunk << 20 | offset in chunk) << 24 | length << 4 | kind index; for a
    // text kept apart the length field is kLongLength and the position its index.
    std::vector<uint64_t> m_slots;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    size_t m_used = 0; // bytes used in the last chunk
    std::vector<std::string> m_longTexts;
    size_t m_textBytes = 0;
};
