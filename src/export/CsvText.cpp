#include "export/CsvText.h"

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view rowEnd = "\r\n";

// A field must be quoted when it holds a quote, a comma or a line break.
bool needsQuotes(std::string_view field) noexcept
{
    for (const char c : field)
        if (c == '"' || c == ',' || c == '\r' || c == '\n')
            return true;
    return false;
}

bool looksLikeFormula(std::string_view field) noexcept
{
    if (field.empty())
        return false;
    const char first = field.front();
    return first == '=' || first == '+' || first == '-' || first == '@' || first == '\t' || first == '\r';
}

} // namespace

CsvText::CsvText(std::initializer_list<std::string_view> header)
{
    m_bytes = byteOrderMark;
    bool first = true;
    for (std::string_view name : header) {
        if (!first)
            m_bytes += ',';
        m_bytes += name;
        first = false;
    }
    m_bytes += rowEnd;
}

void CsvText::row(std::initializer_list<std::string_view> fields)
{
    appendRow(m_bytes, fields);
}

void CsvText::appendRow(std::string& out, std::initializer_list<std::string_view> fields)
{
    bool first = true;
    for (std::string_view field : fields) {
        if (!first)
            out += ',';
        appendField(out, field);
        first = false;
    }
    out += rowEnd;
}

void CsvText::appendField(std::string& out, std::string_view field)
{
    const bool guard = looksLikeFormula(field);
    if (!guard && !needsQuotes(field)) {
        out += field;
        return;
    }
    out += '"';
    if (guard)
        out += '\'';
    for (char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}
