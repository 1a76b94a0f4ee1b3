// D_NW: trustees, rights letters and the owner-name cache.

#include "netware/D_NW.h"

#include "util/D_Util.h"

#include <array>
#include <string_view>

TrusteeBlockRangeError::TrusteeBlockRangeError(unsigned count)
    : std::out_of_range(Format("trustee block count %u is above %d", count, NWTrusteeBlock::capacity))
{
}

namespace {

// The next block of a trustee scan; a count above the block's capacity is a range fault.
uint16_t nextTrusteeBlock(
    uint32_t connHandle, const std::string& path, uint32_t& iterationHandle, uint16_t& count, NWTrusteeBlock& block)
{
    count = 0;
    const uint16_t code = NWLib().scanTrustees(connHandle, 0, path.c_str(), iterationHandle, count, block, nullptr);
    if (code == 0 && count > NWTrusteeBlock::capacity)
        throw TrusteeBlockRangeError(count);
    return code;
}

} // namespace

uint16_t GetTrusteeEntries(uint32_t connHandle, const std::string& path, std::vector<NWTrusteeEntry>& list)
{
    uint32_t iterationHandle = 0;
    uint16_t code = 0;
    NWTrusteeBlock block;
    while (code == 0) {
        uint16_t count = 0;
        code = nextTrusteeBlock(connHandle, path, iterationHandle, count, block);
        if (code == 0)
            list.insert(list.end(), block.entries, block.entries + count);
    }
    return code == nw::noMoreTrustees ? 0 : code;
}

uint16_t GetTrusteeList(uint32_t context, uint32_t connHandle, const std::string& path, TrusteeList& list)
{
    uint32_t iterationHandle = 0;
    uint16_t code = 0;
    NWTrusteeBlock block;
    std::string name;
    while (code == 0) {
        uint16_t count = 0;
        code = nextTrusteeBlock(connHandle, path, iterationHandle, count, block);
        if (code != 0)
            break;
        for (int i = 0; i < count; ++i) {
            const NWTrusteeEntry& trustee = block.entries[i];
            TrusteeItem& item = list.emplace_back();
            item.rights = trustee.rights;
            if (ObjectIDToName(context, connHandle, trustee.objectID, name) == 0)
                AppendDSName(name, item.name);
            else
                AppendUnresolvedTrusteeName(trustee.objectID, item.name);
        }
    }
    return code == nw::noMoreTrustees ? 0 : code;
}

void AppendUnresolvedTrusteeName(uint32_t objectID, std::string& out)
{
    char text[] = "ID: [00000000]";
    for (int k = 0; k < 8; ++k)
        text[5 + k] = "0123456789ABCDEF"[(objectID >> (28 - 4 * k)) & 0xF];
    out.append(text, sizeof text - 1);
}

bool IsUnresolvedTrusteeName(std::string_view name) noexcept
{
    constexpr std::string_view head = "ID: [";
    if (name.size() != head.size() + 9 || name.substr(0, head.size()) != head || name.back() != ']')
        return false;
    for (char c : name.substr(head.size(), 8))
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

namespace {

struct RightsLetter {
    char letter;
    uint32_t bit;
    bool whenClear; // the letter stands for the bit being clear (I)
};

constexpr std::array<RightsLetter, 8> fileSystemLetters { { { 'R', 0x01, false }, { 'W', 0x02, false },
    { 'C', 0x08, false }, { 'E', 0x10, false }, { 'A', 0x20, false }, { 'F', 0x40, false }, { 'M', 0x80, false },
    { 'S', 0x100, false } } };
const std::array<RightsLetter, 6> entryLetters { { { 'B', 0x01, false }, { 'C', 0x02, false }, { 'D', 0x04, false },
    { 'R', 0x08, false }, { 'S', 0x10, false }, { 'I', 0x40, true } } };
const std::array<RightsLetter, 6> attributeLetters { { { 'C', 0x01, false }, { 'R', 0x02, false }, { 'W', 0x04, false },
    { 'S', 0x08, false }, { 'A', 0x20, false }, { 'I', 0x40, true } } };

template <size_t N>
void appendLetters(
    const std::array<RightsLetter, N>& table, uint32_t mask, const std::string& filler, std::string& letters)
{
    for (const RightsLetter& entry : table) {
        const bool present = entry.whenClear ? (mask & entry.bit) == 0 : (mask & entry.bit) != 0;
        if (present)
            letters += entry.letter;
        else
            letters += filler;
    }
}

// The file-system letters of every combination of the eight rights, made at compile time
// from the table above, for AppendFileSystemRights: a report writes them for millions of
// lines. The combination's index has bit k set for the k-th letter.
struct FileSystemLetterSets {
    std::array<std::array<char, 8>, 256> held {}; // the letters held, in order
    std::array<uint8_t, 256> count {}; // how many
    std::array<std::array<char, 8>, 256> places {}; // one place per letter, blank when not held
};

constexpr unsigned fileSystemLetterIndex(uint32_t mask) noexcept
{
    // R and W are bits 0 and 1, C to S bits 3 to 8: bit 2 (0x04) has no letter.
    return (mask & 0x03) | ((mask >> 1) & 0xFC);
}

constexpr FileSystemLetterSets makeFileSystemLetterSets()
{
    FileSystemLetterSets sets;
    for (unsigned index = 0; index < 256; ++index) {
        for (size_t k = 0; k < fileSystemLetters.size(); ++k) {
            const bool held = index & (1u << k);
            sets.places[index][k] = held ? fileSystemLetters[k].letter : ' ';
            if (held)
                sets.held[index][sets.count[index]++] = fileSystemLetters[k].letter;
        }
    }
    return sets;
}

constexpr bool fileSystemLetterIndexFitsTheTable()
{
    uint32_t bits = 0;
    for (size_t k = 0; k < fileSystemLetters.size(); ++k) {
        if (fileSystemLetterIndex(fileSystemLetters[k].bit) != (1u << k))
            return false;
        bits |= fileSystemLetters[k].bit;
    }
    return bits == fileSystemRightsBits;
}
static_assert(fileSystemLetterIndexFitsTheTable());

constexpr FileSystemLetterSets fileSystemLetterSets = makeFileSystemLetterSets();

} // namespace

void RightsToStr(uint32_t mask, int kind, const std::string& filler, std::string& out, const char* format)
{
    std::string letters;
    if (kind == 0)
        appendLetters(fileSystemLetters, mask, filler, letters);
    else if (kind == 1)
        appendLetters(entryLetters, mask, filler, letters);
    else if (kind == 2)
        appendLetters(attributeLetters, mask, filler, letters);
    // The report's format for every trustee and IRM line, written without the formatter
    // (the result is the same); any other format goes through Format.
    if (std::string_view(format) == "[%s]") {
        out.assign(1, '[');
        out += letters;
        out += ']';
        return;
    }
    out = Format(format, letters.c_str());
}

void AppendFileSystemRights(uint32_t mask, std::string& out, char filler)
{
    const unsigned index = fileSystemLetterIndex(mask);
    if (filler == '\0') {
        out.append(fileSystemLetterSets.held[index].data(), fileSystemLetterSets.count[index]);
    } else if (filler == ' ') {
        out.append(fileSystemLetterSets.places[index].data(), fileSystemLetterSets.places[index].size());
    } else {
        for (const RightsLetter& entry : fileSystemLetters) {
            if (mask & entry.bit)
                out += entry.letter;
            else
                out += filler;
        }
    }
}

void RightsToBracketStr(uint32_t mask, int kind, std::string& out)
{
    RightsToStr(mask, kind, " ", out, "[%s]");
}

int NameCacheFind(uint32_t connHandle, uint32_t objectID, NameCache& cache)
{
    if (cache.connHandle() != connHandle)
        cache.reset(connHandle);
    return cache.findAndMoveToFront(objectID);
}

uint32_t GetObjectNameCached(
    uint32_t context, uint32_t connHandle, uint32_t objectID, std::string& name, NameCache& cache)
{
    if (NameCacheFind(connHandle, objectID, cache) >= 0) {
        name = cache.frontName();
        return 0;
    }
    std::string found;
    const uint32_t code = ObjectIDToName(context, connHandle, objectID, found);
    if (code != 0)
        return code;
    if (cache.size() >= NameCache::limit)
        cache.removeBack(); // the pair at index 1000
    cache.insertFront(found, objectID);
    name = cache.frontName();
    return 0;
}
