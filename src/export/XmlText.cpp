#include "export/XmlText.h"

#include "util/D_HTML.h"

#include <array>
#include <cstdint>

namespace {

// Code points of the windows-1252 bytes 0x80..0x9F; 0 where the code page leaves the
// byte undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
constexpr std::array<char16_t, 32> kRow80 = { 0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
    0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122,
    0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178 };

bool needsEscape(std::string_view s) noexcept
{
    for (char c : s)
        if (c == '&' || c == '<' || c == '>' || c == '\'' || c == '"')
            return true;
    return false;
}

void appendReference(std::string& out, uint32_t codePoint)
{
    char digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + codePoint % 10);
        codePoint /= 10;
    } while (codePoint != 0);
    out += "&#";
    while (n > 0)
        out += digits[--n];
    out += ';';
}

// Decodes one UTF-8 sequence at s[i]. Returns its length and sets cp, or 0 when the
// bytes there are not a well-formed sequence (RFC 3629: no overlongs, no surrogates,
// nothing above U+10FFFF).
size_t decodeUtf8(std::string_view s, size_t i, uint32_t& cp) noexcept
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    size_t len;
    uint32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1Fu;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0Fu;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07u;
        min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - i < len)
        return 0;
    for (size_t k = 1; k < len; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

void appendEncoded(std::string& out, std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        // Copy the run of printable ASCII (and tabs) in one go.
        size_t run = i;
        while (run < s.size()) {
            const unsigned char c = static_cast<unsigned char>(s[run]);
            if (c >= 0x80 || (c < 0x20 && c != '\t'))
                break;
            ++run;
        }
        out.append(s.data() + i, run - i);
        i = run;
        if (i == s.size())
            break;
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            if (c == '\n' || c == '\r')
                appendReference(out, c);
            else
                out += '?';
            ++i;
            continue;
        }
        uint32_t cp = 0;
        const size_t len = decodeUtf8(s, i, cp);
        if (len == 0) {
            appendReference(out, 0xFFFD);
            ++i;
            continue;
        }
        i += len;
        if (cp == 0xFFFE || cp == 0xFFFF) {
            out += '?';
            continue;
        }
        const int b = Windows1252Byte(cp);
        if (b >= 0)
            out += static_cast<char>(b);
        else
            appendReference(out, cp);
    }
}

} // namespace

int Windows1252Byte(char32_t codePoint) noexcept
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<int>(codePoint);
    if (codePoint < 0xA0 || codePoint > 0xFFFF)
        return -1;
    for (size_t k = 0; k < kRow80.size(); ++k)
        if (kRow80[k] != 0 && kRow80[k] == codePoint)
            return static_cast<int>(0x80 + k);
    return -1;
}

void AppendXmlText(std::string& out, std::string_view utf8)
{
    if (needsEscape(utf8))
        appendEncoded(out, HtmlEscape(utf8));
    else
        appendEncoded(out, utf8);
}
