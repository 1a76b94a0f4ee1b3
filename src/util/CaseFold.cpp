#include "util/CaseFold.h"

#include "util/Utf8.h"

#include <QChar>

namespace {

// Marks a byte that does not begin a well-formed sequence: above every character.
constexpr char32_t strayByte = 0x110000;

bool isContinuation(unsigned char c) noexcept
{
    return (c & 0xC0) == 0x80;
}

// The character at pos (pos moves past it), or strayByte + the byte when no
// well-formed sequence begins there (pos moves by one byte).
char32_t decode(std::string_view text, size_t& pos) noexcept
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    size_t length = 0;
    char32_t value = 0;
    unsigned char low = 0x80; // bounds of the second byte (excluding overlongs and surrogates)
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || pos + length > text.size() || byte(pos + 1) < low || byte(pos + 1) > high) {
        ++pos;
        return strayByte + lead;
    }
    for (size_t i = 1; i < length; ++i) {
        if (!isContinuation(byte(pos + i))) {
            ++pos;
            return strayByte + lead;
        }
        value = (value << 6) | (byte(pos + i) & 0x3F);
    }
    pos += length;
    return value;
}

char32_t fold(char32_t c) noexcept
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    return c >= strayByte ? c : QChar::toCaseFolded(c);
}

void encode(char32_t c, std::string& out)
{
    if (c >= strayByte)
        out += static_cast<char>(c - strayByte);
    else
        AppendUtf8(out, c);
}

} // namespace

char32_t NextFoldedChar(std::string_view text, size_t& pos) noexcept
{
    return fold(decode(text, pos));
}

std::string FoldName(std::string_view text)
{
    // ASCII (nearly every name): folded in place, byte for byte; from the first byte above
    // it on, character by character.
    std::string out(text);
    size_t pos = 0;
    for (; pos < out.size(); ++pos) {
        const auto c = static_cast<unsigned char>(out[pos]);
        if (c >= 0x80)
            break;
        out[pos] = static_cast<char>(fold(c));
    }
    if (pos == out.size())
        return out;
    out.resize(pos);
    while (pos < text.size())
        encode(NextFoldedChar(text, pos), out);
    return out;
}

bool SameName(std::string_view a, std::string_view b) noexcept
{
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if ((ca | cb) < 0x80) {
            // Both ASCII (the common case): fold in place.
            if (fold(ca) != fold(cb))
                return false;
            ++i;
            ++j;
        } else if (NextFoldedChar(a, i) != NextFoldedChar(b, j)) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}
