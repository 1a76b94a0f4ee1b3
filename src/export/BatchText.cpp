#include "export/BatchText.h"

#include <array>
#include <cstdint>

namespace {

// What each byte means to a batch line; looked up per byte because the export runs
// over millions of lines.
enum : uint8_t { kUnwritable = 1, kNeedsQuotes = 2, kRemarkSpecial = 4 };

constexpr std::array<uint8_t, 256> makeByteClasses()
{
    std::array<uint8_t, 256> classes {};
    for (int c = 0; c < 0x20; ++c)
        classes[c] = kUnwritable | kRemarkSpecial;
    classes['%'] = kRemarkSpecial;
    classes['"'] = kUnwritable;
    for (unsigned char c : std::string_view(" &|<>^(),;="))
        classes[c] = kNeedsQuotes;
    return classes;
}

constexpr std::array<uint8_t, 256> kByteClasses = makeByteClasses();

bool anyByteOf(std::string_view text, uint8_t flag) noexcept
{
    for (char c : text)
        if (kByteClasses[static_cast<unsigned char>(c)] & flag)
            return true;
    return false;
}

} // namespace

bool IsBatchWritable(std::string_view text) noexcept
{
    return !anyByteOf(text, kUnwritable);
}

bool BatchWordNeedsQuotes(std::string_view text) noexcept
{
    return anyByteOf(text, kNeedsQuotes);
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
    size_t from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!(kByteClasses[static_cast<unsigned char>(c)] & kRemarkSpecial))
            continue;
        out.append(text.data() + from, i - from);
        out += c == '%' ? "%%" : "?";
        from = i + 1;
    }
    out.append(text.data() + from, text.size() - from);
}
