#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

/// A CSV file built in memory, as every CSV form of Grantwise writes one: UTF-8 starting
/// with a byte-order mark (so that spreadsheet programs read non-ASCII names right), a
/// header row first, CR LF after every row (the last one too), fields quoted as RFC 4180
/// requires (a field holding a double quote, a comma, a CR or an LF is enclosed in double
/// quotes, its double quotes doubled). A field a spreadsheet would take for a formula
/// (it begins with "=", "+", "-", "@", a tab or a CR) is written with a leading
/// apostrophe inside double quotes. A field is quoted only where one of these rules asks
/// for it; the header row is never quoted.
class CsvText {
public:
    /// Starts the file with the byte-order mark and the header row (names as given).
    explicit CsvText(std::initializer_list<std::string_view> header);

    /// Makes room for bytes more, for a writer that knows roughly how much it writes.
    void reserve(size_t bytes) { m_bytes.reserve(m_bytes.size() + bytes); }

    /// Appends one row.
    void row(std::initializer_list<std::string_view> fields);

    /// The bytes of the file so far.
    const std::string& bytes() const noexcept { return m_bytes; }
    /// Hands the bytes over (the object is empty afterwards).
    std::string take() noexcept { return std::move(m_bytes); }

    /// Appends one field as the rules above write it.
    static void appendField(std::string& out, std::string_view field);
    /// Appends one row to out, as row() does (for rows made apart from the file's start).
    static void appendRow(std::string& out, std::initializer_list<std::string_view> fields);

private:
    std::string m_bytes;
};
