#include "export/BatchText.h"

bool IsBatchWritable(std::string_view text) noexcept
{
    for (char c : text)
        if (c == '"' || static_cast<unsigned char>(c) < 0x20)
            return false;
    return true;
}

bool BatchWordNeedsQuotes(std::string_view text) noexcept
{
    return text.find_first_of(" &|<>^(),;=") != std::string_view::npos;
}

void AppendBatchText(std::string& out, std::string_view text)
{
    size_t from = 0;
    for (size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at + 1)) {
        out.append(text.data() + from, at + 1 - from);
        out += '%';
        from = at + 1;
    }
    out.append(text.data() + from, text.size() - from);
}

void AppendBatchQuotedText(std::string& out, std::string_view text)
{
    AppendBatchText(out, text);
    size_t trailing = 0;
    while (trailing < text.size() && text[text.size() - 1 - trailing] == '\\')
        ++trailing;
    out.append(trailing, '\\');
}

void AppendBatchWord(std::string& out, std::string_view text)
{
    if (!BatchWordNeedsQuotes(text)) {
        AppendBatchText(out, text);
        return;
    }
    out += '"';
    AppendBatchQuotedText(out, text);
    out += '"';
}

void AppendBatchRemText(std::string& out, std::string_view text)
{
    for (char c : text) {
        if (c == '%')
            out += "%%";
        else if (static_cast<unsigned char>(c) < 0x20)
            out += '?';
        else
            out += c;
    }
}
