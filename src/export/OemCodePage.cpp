#include "export/OemCodePage.h"

#include "util/D_Util.h"
#include "util/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iconv.h>
#include <utility>

namespace {

// The code points of the bytes 0x80..0xFF, sorted for the reverse lookup. Taken from the
// C library's converter once, rather than typed in: the system's table is the one every
// other Linux program uses for the code page. Should the converter be missing, the table
// stays empty and every character beyond ASCII counts as having no byte, so a batch file
// never holds a byte that means something else.
using Table = std::array<std::pair<char32_t, uint8_t>, 128>;

struct OemTable {
    Table entries {};
    size_t size = 0;
};

OemTable buildTable()
{
    OemTable table;
    const iconv_t converter = iconv_open("UTF-32LE", ("CP" + std::to_string(batchCodePage)).c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return table;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        char in = static_cast<char>(byte);
        unsigned char out[4] = {};
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || outLeft != 0)
            continue;
        const char32_t codePoint = out[0] | out[1] << 8 | out[2] << 16 | char32_t(out[3]) << 24;
        table.entries[table.size++] = { codePoint, static_cast<uint8_t>(byte) };
    }
    iconv_close(converter);
    std::sort(table.entries.begin(), table.entries.begin() + static_cast<std::ptrdiff_t>(table.size));
    return table;
}

const OemTable& table()
{
    static const OemTable built = buildTable();
    return built;
}

// Appends the text, each character through byteOf; a character without a byte or a
// malformed byte goes to missing(out, codePoint or -1). Returns false when missing did.
template <typename Missing> bool appendEncoded(std::string& out, std::string_view utf8, Missing missing)
{
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        uint32_t codePoint = 0;
        const size_t length = DecodeUtf8(utf8, i, codePoint);
        const int byte = length ? OemByte(codePoint) : -1;
        if (byte >= 0)
            out += static_cast<char>(byte);
        else if (!missing(out, length ? int64_t(codePoint) : -1))
            return false;
        i += length ? length : 1;
    }
    return true;
}

} // namespace

int OemByte(char32_t codePoint) noexcept
{
    if (codePoint < 0x80)
        return static_cast<int>(codePoint);
    const OemTable& t = table();
    const auto end = t.entries.begin() + static_cast<std::ptrdiff_t>(t.size);
    const auto it = std::lower_bound(
        t.entries.begin(), end, codePoint, [](const auto& entry, char32_t value) { return entry.first < value; });
    return it != end && it->first == codePoint ? it->second : -1;
}

bool AppendOemText(std::string& out, std::string_view utf8)
{
    const size_t before = out.size();
    if (appendEncoded(out, utf8, [](std::string&, int64_t) { return false; }))
        return true;
    out.resize(before);
    return false;
}

void AppendOemRemark(std::string& out, std::string_view utf8)
{
    appendEncoded(out, utf8, [](std::string& o, int64_t codePoint) {
        o += codePoint < 0 ? std::string("?") : Format("[%04X]", static_cast<unsigned>(codePoint));
        return true;
    });
}
