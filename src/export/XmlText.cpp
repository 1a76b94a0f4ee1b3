#include "export/XmlText.h"

#include "util/D_HTML.h"
#include "util/D_Util.h"
#include "util/Utf8.h"

#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Code points of the windows-1252 bytes 0x80..0x9F; 0 where the code page leaves the
// byte undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
constexpr std::array<char16_t, 32> row80 = { 0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
    0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122,
    0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178 };

// Bytes that are not copied as they are: controls (tab included, to keep the table
// simple), the markup characters and every byte from 0x80 up.
constexpr std::array<uint8_t, 256> makeSpecialBytes()
{
    std::array<uint8_t, 256> special {};
    for (int c = 0; c < 0x20; ++c)
        special[c] = 1;
    for (int c = 0x80; c < 0x100; ++c)
        special[c] = 1;
    for (unsigned char c : std::string_view("&<>'\""))
        special[c] = 1;
    return special;
}

constexpr std::array<uint8_t, 256> specialBytes = makeSpecialBytes();

// True when every byte of s is printable ASCII other than a markup character, so s is
// written as it is. Eight bytes a step without a branch per byte: the export runs over
// millions of values.
bool isPlain(std::string_view s) noexcept
{
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    size_t n = s.size();
#if defined(__SSE2__)
    // Sixteen bytes a step; a signed compare with 0x20 catches the controls and every
    // byte from 0x80 up at once.
    const auto eq = [](__m128i x, char c) { return _mm_cmpeq_epi8(x, _mm_set1_epi8(c)); };
    for (; n >= 16; p += 16, n -= 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i special = _mm_or_si128(_mm_or_si128(_mm_cmplt_epi8(x, _mm_set1_epi8(0x20)), eq(x, '&')),
            _mm_or_si128(_mm_or_si128(eq(x, '<'), eq(x, '>')), _mm_or_si128(eq(x, '\''), eq(x, '"'))));
        if (_mm_movemask_epi8(special))
            return false;
    }
#endif
    for (; n >= 8; p += 8, n -= 8)
        if (specialBytes[p[0]] | specialBytes[p[1]] | specialBytes[p[2]] | specialBytes[p[3]] | specialBytes[p[4]]
            | specialBytes[p[5]] | specialBytes[p[6]] | specialBytes[p[7]])
            return false;
    for (; n > 0; ++p, --n)
        if (specialBytes[*p])
            return false;
    return true;
}

bool needsEscape(std::string_view s) noexcept
{
    for (char c : s)
        if (c == '&' || c == '<' || c == '>' || c == '\'' || c == '"')
            return true;
    return false;
}

void appendReference(std::string& out, uint32_t codePoint)
{
    out += "&#";
    AppendDecimal(out, codePoint);
    out += ';';
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
        const size_t len = DecodeUtf8(s, i, cp);
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

char16_t Windows1252Char(unsigned char byte) noexcept
{
    if (byte < 0x80 || byte >= 0xA0 || row80[byte - 0x80] == 0)
        return byte;
    return row80[byte - 0x80];
}

int Windows1252Byte(char32_t codePoint) noexcept
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<int>(codePoint);
    if (codePoint < 0xA0 || codePoint > 0xFFFF)
        return -1;
    for (size_t k = 0; k < row80.size(); ++k)
        if (row80[k] != 0 && row80[k] == codePoint)
            return static_cast<int>(0x80 + k);
    return -1;
}

void AppendXmlText(std::string& out, std::string_view utf8)
{
    if (isPlain(utf8))
        out.append(utf8);
    else if (needsEscape(utf8))
        appendEncoded(out, HtmlEscape(utf8));
    else
        appendEncoded(out, utf8);
}
