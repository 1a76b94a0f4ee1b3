#include "export/BatchText.h"

#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// What each byte means to a batch line; looked up per byte because the export runs
// over millions of lines.
constexpr uint8_t unwritable = batchUnwritable;
constexpr uint8_t needsQuotes = batchNeedsQuotes;
constexpr uint8_t remarkSpecial = batchRemarkSpecial;
constexpr uint8_t percent = batchPercent;

constexpr std::array<uint8_t, 256> makeByteClasses()
{
    std::array<uint8_t, 256> classes {};
    for (int c = 0; c < 0x20; ++c)
        classes[c] = unwritable | remarkSpecial;
    for (int c = 0x80; c < 0x100; ++c)
        classes[c] = batchNonAscii;
    classes['%'] = remarkSpecial | percent;
    classes['"'] = unwritable;
    for (unsigned char c : std::string_view(" &|<>^(),;="))
        classes[c] = needsQuotes;
    return classes;
}

constexpr std::array<uint8_t, 256> byteClasses = makeByteClasses();

bool anyByteOf(std::string_view text, uint8_t flag) noexcept
{
    for (char c : text)
        if (byteClasses[static_cast<unsigned char>(c)] & flag)
            return true;
    return false;
}

} // namespace

uint8_t BatchByteClasses(std::string_view text) noexcept
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t n = text.size();
    unsigned any = 0;
    // Eight bytes a step; the exit once every class is seen also keeps the compiler from
    // turning the loop into a gather it cannot do well on short texts.
    constexpr unsigned all = unwritable | needsQuotes | remarkSpecial | percent | batchNonAscii;
#if defined(__SSE2__)
    // Sixteen bytes a step: one compare per special byte value for the whole block.
    const auto eq = [](__m128i x, char c) { return _mm_cmpeq_epi8(x, _mm_set1_epi8(c)); };
    for (; n >= 16 && any != all; p += 16, n -= 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(0x1F)), x);
        const __m128i operators = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_or_si128(eq(x, ' '), eq(x, '&')), _mm_or_si128(eq(x, '|'), eq(x, '<'))),
                _mm_or_si128(_mm_or_si128(eq(x, '>'), eq(x, '^')), _mm_or_si128(eq(x, '('), eq(x, ')')))),
            _mm_or_si128(_mm_or_si128(eq(x, ','), eq(x, ';')), eq(x, '=')));
        if (_mm_movemask_epi8(x))
            any |= batchNonAscii;
        if (_mm_movemask_epi8(control))
            any |= unwritable | remarkSpecial;
        if (_mm_movemask_epi8(eq(x, '"')))
            any |= unwritable;
        if (_mm_movemask_epi8(eq(x, '%')))
            any |= remarkSpecial | percent;
        if (_mm_movemask_epi8(operators))
            any |= needsQuotes;
    }
#endif
    for (; n >= 8 && any != all; p += 8, n -= 8)
        any |= byteClasses[p[0]] | byteClasses[p[1]] | byteClasses[p[2]] | byteClasses[p[3]] | byteClasses[p[4]]
            | byteClasses[p[5]] | byteClasses[p[6]] | byteClasses[p[7]];
    for (; n > 0 && any != all; ++p, --n)
        any |= byteClasses[*p];
    return static_cast<uint8_t>(any);
}

bool IsBatchWritable(std::string_view text) noexcept
{
    return !anyByteOf(text, unwritable);
}

bool IsBatchWritable(uint8_t classes) noexcept
{
    return !(classes & unwritable);
}

bool BatchWordNeedsQuotes(std::string_view text) noexcept
{
    return anyByteOf(text, needsQuotes);
}

void AppendBatchText(std::string& out, std::string_view text)
{
    AppendBatchText(out, text, BatchByteClasses(text));
}

void AppendBatchText(std::string& out, std::string_view text, uint8_t classes)
{
    if (!(classes & percent)) {
        out.append(text);
        return;
    }
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
    AppendBatchQuotedText(out, text, BatchByteClasses(text));
}

void AppendBatchQuotedText(std::string& out, std::string_view text, uint8_t classes)
{
    AppendBatchText(out, text, classes);
    size_t trailing = 0;
    while (trailing < text.size() && text[text.size() - 1 - trailing] == '\\')
        ++trailing;
    out.append(trailing, '\\');
}

void AppendBatchWord(std::string& out, std::string_view text)
{
    AppendBatchWord(out, text, BatchByteClasses(text));
}

void AppendBatchWord(std::string& out, std::string_view text, uint8_t classes)
{
    if (!(classes & needsQuotes)) {
        AppendBatchText(out, text, classes);
        return;
    }
    out += '"';
    AppendBatchQuotedText(out, text, classes);
    out += '"';
}

void AppendBatchRemText(std::string& out, std::string_view text)
{
    AppendBatchRemText(out, text, BatchByteClasses(text));
}

void AppendBatchRemText(std::string& out, std::string_view text, uint8_t classes)
{
    if (!(classes & remarkSpecial)) {
        out.append(text);
        return;
    }
    size_t from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!(byteClasses[static_cast<unsigned char>(c)] & remarkSpecial))
            continue;
        out.append(text.data() + from, i - from);
        out += c == '%' ? "%%" : "?";
        from = i + 1;
    }
    out.append(text.data() + from, text.size() - from);
}
