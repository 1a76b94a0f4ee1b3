#include "platform/netware/NetworkReader.h"

#include "platform/netware/DosNames.h"
#include "platform/netware/NetworkGenerator.h"
#include "util/CaseFold.h"
#include "util/D_Util.h"
#include "util/Utf8.h"

#include <nlohmann/json.hpp>
#include <simdjson.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <unordered_set>
#include <vector>

namespace {

using json = nlohmann::json;

// One value of a parsed description: a view into the parser's document, with the
// questions the reader asks of it. A default-constructed Value is an empty object (the
// stand-in for an optional object that is not there).
class Value {
public:
    Value() = default;
    explicit Value(simdjson::dom::element element)
        : m_element(element)
        , m_present(true)
    {
    }

    bool isPresent() const { return m_present; }
    bool isObject() const { return !m_present || type() == Type::OBJECT; }
    bool isArray() const { return m_present && type() == Type::ARRAY; }
    bool isString() const { return m_present && type() == Type::STRING; }
    bool isBoolean() const { return m_present && type() == Type::BOOL; }
    bool isNull() const { return m_present && type() == Type::NULL_VALUE; }
    bool isInteger() const { return m_present && (type() == Type::INT64 || type() == Type::UINT64); }
    /// A whole number from 0 up (a negative one is an integer, but not unsigned).
    bool isUnsigned() const
    {
        return m_present && (type() == Type::UINT64 || (type() == Type::INT64 && as<int64_t>() >= 0));
    }
    bool isNumber() const { return isInteger() || (m_present && type() == Type::DOUBLE); }

    /// The text of a string; a view into the parser's document.
    std::string_view text() const { return as<std::string_view>(); }
    bool boolean() const { return as<bool>(); }
    /// An integer as a signed number (a number above 2^63 - 1 wraps, as a cast would).
    int64_t integer() const { return type() == Type::UINT64 ? static_cast<int64_t>(as<uint64_t>()) : as<int64_t>(); }
    uint64_t unsignedValue() const
    {
        return type() == Type::UINT64 ? as<uint64_t>() : static_cast<uint64_t>(as<int64_t>());
    }
    double number() const
    {
        switch (type()) {
        case Type::INT64:
            return static_cast<double>(as<int64_t>());
        case Type::UINT64:
            return static_cast<double>(as<uint64_t>());
        default:
            return as<double>();
        }
    }

    /// The array of an array value (checked by the caller).
    simdjson::dom::array array() const { return as<simdjson::dom::array>(); }
    /// The number of items of an array value.
    size_t length() const
    {
        const simdjson::dom::array items = array();
        // The parser counts up to 0xFFFFFF and saturates there; a longer list is counted.
        size_t count = items.size();
        if (count >= 0xFFFFFF) {
            count = 0;
            for ([[maybe_unused]] simdjson::dom::element item : items)
                ++count;
        }
        return count;
    }
    /// The items of an array value, in order.
    std::vector<Value> elements() const
    {
        std::vector<Value> out;
        for (simdjson::dom::element item : array())
            out.emplace_back(item);
        return out;
    }

    /// Calls visit(key, value) for every member of an object value, in document order.
    template <typename Visit> void forEachMember(Visit&& visit) const
    {
        if (!m_present)
            return;
        for (const simdjson::dom::key_value_pair member : as<simdjson::dom::object>())
            visit(member.key, member.value);
    }

private:
    using Type = simdjson::dom::element_type;
    Type type() const { return m_element.type(); }
    // The element as T; the type is checked by the caller.
    template <typename T> T as() const
    {
        T out {};
        return m_element.get(out) == simdjson::SUCCESS ? out : T {};
    }

    simdjson::dom::element m_element;
    bool m_present = false;
};

constexpr size_t maxDosPath = 255;
constexpr size_t maxServerName = 47;
constexpr size_t maxVolumeName = 15;
constexpr size_t maxTreeName = 32;
constexpr size_t maxLongName = 255;
constexpr size_t maxServers = 255; // connection handles 1..255 stay clear of the program's 999 and 0xFFFF

// An error found at a place of the document.
struct Failure {
    std::string place;
    std::string reason;
};

// A member of the place `place` ("$.trees" + "name"). A key is written up to a NUL
// character it may hold, as messages have always written it.
std::string memberPlace(const std::string& place, std::string_view key)
{
    return place + "." + std::string(key.substr(0, key.find('\0')));
}

std::string itemPlace(const std::string& place, size_t index)
{
    return place + "[" + std::to_string(index) + "]";
}

// A place in the document as messages name it ("$.servers[0].volumes[1].entries[3]"):
// the top "$", a member of a place or an item of a list. Places are a chain of frames
// on the stack, each pointing to the one it lies in, and become text only when an error
// is reported, so reading a million entries builds no text for them. A place must not
// outlive the one it was made from.
class Place {
public:
    Place() = default;
    Place member(std::string_view key) const { return Place(this, key, 0, false); }
    Place item(size_t index) const { return Place(this, {}, index, true); }

    std::string text() const
    {
        if (!m_parent)
            return "$";
        return m_isItem ? itemPlace(m_parent->text(), m_index) : memberPlace(m_parent->text(), m_key);
    }

private:
    Place(const Place* parent, std::string_view key, size_t index, bool isItem)
        : m_parent(parent)
        , m_key(key)
        , m_index(index)
        , m_isItem(isItem)
    {
    }

    const Place* m_parent = nullptr;
    std::string_view m_key;
    size_t m_index = 0;
    bool m_isItem = false;
};

[[noreturn]] void Fail(const Place& place, const std::string& reason)
{
    throw Failure { place.text(), reason };
}

// A text of the description in quotes for a message. Control characters are written as
// the JSON escapes that stand for them ("\u0009"): written as they are, a NUL ended the
// message there and a line break split it.
std::string quote(std::string_view text)
{
    std::string out = "'";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            out += Format("\\u%04X", byte);
        else
            out += c;
    }
    out += '\'';
    return out;
}

// The keys the reader knows in one kind of object, in the order messages list them.
template <size_t N> using Keys = std::array<std::string_view, N>;

constexpr Keys<4> topKeys { "grantwise-network", "workstation", "trees", "servers" };
enum TopKey : size_t { topVersion, topWorkstation, topTrees, topServers };
constexpr Keys<2> treeKeys { "name", "objects" };
enum TreeKey : size_t { treeName, treeObjects };
constexpr Keys<5> objectKeys { "name", "id", "class", "member-of", "security-equals" };
enum ObjectKey : size_t { objName, objId, objClass, objMemberOf, objSecurityEquals };
constexpr Keys<4> serverKeys { "name", "tree", "fail", "volumes" };
enum ServerKey : size_t { serverName, serverTree, serverFail, serverVolumes };
constexpr Keys<1> serverFailKeys { "open" };
// Volumes and entries: the directories and files of a volume, with their attributes.
constexpr Keys<10> nodeKeys { "dir", "file", "name", "short", "owner", "irm", "trustees", "entries", "generate",
    "fail" };
enum NodeKey : size_t {
    nodeDir,
    nodeFile,
    nodeName,
    nodeShort,
    nodeOwner,
    nodeIrm,
    nodeTrustees,
    nodeEntries,
    nodeGenerate,
    nodeFail
};
constexpr uint32_t volumeAllowed = 1u << nodeName | 1u << nodeOwner | 1u << nodeIrm | 1u << nodeTrustees
    | 1u << nodeEntries | 1u << nodeGenerate | 1u << nodeFail;
constexpr uint32_t dirAllowed = 1u << nodeDir | 1u << nodeShort | 1u << nodeOwner | 1u << nodeIrm | 1u << nodeTrustees
    | 1u << nodeEntries | 1u << nodeGenerate | 1u << nodeFail;
constexpr uint32_t fileAllowed
    = 1u << nodeFile | 1u << nodeShort | 1u << nodeOwner | 1u << nodeIrm | 1u << nodeTrustees | 1u << nodeFail;
constexpr Keys<3> entryFailKeys { "info", "search", "trustees" };
enum EntryFailKey : size_t { failInfo, failSearch, failTrustees };
constexpr Keys<11> generateKeys { "seed", "directories", "depth", "files", "trustees", "irm", "unknown-ids", "users",
    "groups", "owners", "context" };
enum GenerateKey : size_t {
    generateSeed,
    generateDirectories,
    generateDepth,
    generateFiles,
    generateTrustees,
    generateIrm,
    generateUnknownIds,
    generateUsers,
    generateGroups,
    generateOwners,
    generateContext
};
constexpr Keys<5> workstationKeys { "connections", "primary", "trustee-block-size", "error-texts", "fail" };
enum WorkstationKey : size_t { wsConnections, wsPrimary, wsTrusteeBlockSize, wsErrorTexts, wsFail };
constexpr Keys<2> workstationFailKeys { "init", "context" };

// Whether a key of the document is name: length and first byte tell the keys of one kind
// of object apart, so that a full comparison is made for the match only.
inline bool sameKey(std::string_view key, std::string_view name)
{
    if (key.size() != name.size() || key.empty() || key[0] != name[0])
        return false;
    for (size_t i = 1; i < key.size(); ++i)
        if (key[i] != name[i])
            return false;
    return true;
}

// The members of one object, found in one pass over it: the value of each of the keys
// the reader knows there, and the first unknown key in byte order. A key given twice is
// refused here (the description is then searched for the first such key in document
// order, see ReadNetwork), so a description read to the end has none. An absent value
// is an empty object; a value that is no object has no members.
template <size_t N> class Members {
public:
    Members() = default;
    Members(const Value& value, const Keys<N>& keys, const Place& place)
        : m_keys(&keys)
        , m_isObject(value.isObject())
    {
        if (!m_isObject)
            return;
        value.forEachMember([&](std::string_view key, simdjson::dom::element member) {
            size_t k = 0;
            while (k < N && !sameKey(key, keys[k]))
                ++k;
            if (k == N) {
                if (!m_hasUnknown || key < m_unknown)
                    m_unknown = key;
                m_hasUnknown = true;
                return;
            }
            if (m_present & (1u << k))
                Fail(place.member(key), "the key " + quote(key) + " is given twice in this object");
            m_present |= 1u << k;
            m_values[k] = member;
        });
    }

    bool isObject() const { return m_isObject; }
    bool has(size_t key) const { return (m_present >> key) & 1u; }
    std::optional<Value> find(size_t key) const
    {
        return has(key) ? std::optional<Value>(Value(m_values[key])) : std::nullopt;
    }
    Value require(size_t key, const Place& place) const
    {
        if (!has(key))
            Fail(place, "the key " + quote((*m_keys)[key]) + " is missing");
        return Value(m_values[key]);
    }

    // Refuses a value that is no object, and keys outside `allowed` (bits by key index), so
    // a misspelt key is reported instead of ignored. Of several unknown keys the first in
    // byte order is named, whatever their order in the document.
    void check(const Place& place, uint32_t allowed = (1u << N) - 1) const
    {
        if (!m_isObject)
            Fail(place, "expected an object");
        bool hasUnknown = m_hasUnknown;
        std::string_view unknown = m_unknown;
        for (size_t k = 0; k < N; ++k)
            if (has(k) && !((allowed >> k) & 1u) && (!hasUnknown || (*m_keys)[k] < unknown)) {
                unknown = (*m_keys)[k];
                hasUnknown = true;
            }
        if (!hasUnknown)
            return;
        std::string list;
        for (size_t k = 0; k < N; ++k)
            if ((allowed >> k) & 1u)
                list += (list.empty() ? "" : ", ") + std::string((*m_keys)[k]);
        Fail(place.member(unknown), "unknown key " + quote(unknown) + " (allowed here: " + list + ")");
    }

private:
    const Keys<N>* m_keys = nullptr;
    std::array<simdjson::dom::element, N> m_values {};
    std::string_view m_unknown;
    uint32_t m_present = 0;
    bool m_hasUnknown = false;
    bool m_isObject = true;
};

std::string_view textValue(const Value& value, const Place& place)
{
    if (!value.isString())
        Fail(place, "expected a text");
    return value.text();
}

std::vector<Value> arrayValue(const Value& value, const Place& place)
{
    if (!value.isArray())
        Fail(place, "expected a list");
    return value.elements();
}

// A hexadecimal ("0x...") or decimal text as an unsigned number; false when it is neither.
bool parseNumberText(std::string_view text, uint64_t& value)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 16)
        return false;
    // The value of each byte as a digit; 16 for a byte that is none.
    static constexpr std::array<uint8_t, 256> digits = [] {
        std::array<uint8_t, 256> table {};
        for (int c = 0; c < 256; ++c)
            table[c] = c >= '0' && c <= '9' ? c - '0'
                : c >= 'a' && c <= 'f'      ? c - 'a' + 10
                : c >= 'A' && c <= 'F'      ? c - 'A' + 10
                                            : 16;
        return table;
    }();
    // Every byte is looked at (no early return), so the loop has no branch but the last.
    uint64_t number = 0;
    unsigned bad = 0;
    if (base == 16) {
        for (char c : text) {
            const unsigned digit = digits[static_cast<unsigned char>(c)];
            bad |= digit & 16;
            number = number << 4 | (digit & 15);
        }
    } else {
        for (char c : text) {
            const unsigned digit = digits[static_cast<unsigned char>(c)];
            bad |= digit >= 10 ? 1 : 0;
            number = number * 10 + digit;
        }
    }
    value = number;
    return bad == 0;
}

// A number that is a JSON integer or a "0x..." text; negative numbers down to -2^31 are
// taken as their 32-bit two's complement (-601 is 0xFFFFFDA7).
uint32_t codeValue(const Value& value, const Place& place, uint32_t max)
{
    int64_t number = 0;
    if (value.isInteger()) {
        number = value.integer();
        if (value.isUnsigned() && value.unsignedValue() > 0xFFFFFFFFull)
            Fail(place, "the code does not fit in 32 bits");
    } else if (value.isString()) {
        uint64_t parsed = 0;
        const std::string_view text = value.text();
        if (text.size() < 3 || !(text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
            || !parseNumberText(text, parsed))
            Fail(place, "expected a code: a number or a \"0x...\" text, not " + quote(text));
        number = static_cast<int64_t>(parsed);
    } else {
        Fail(place, "expected a code: a number or a \"0x...\" text");
    }
    if (number < -2147483648LL || number > 0xFFFFFFFFLL)
        Fail(place, "the code does not fit in 32 bits");
    const uint32_t code = static_cast<uint32_t>(number);
    if (code == 0)
        Fail(place, "a failure code must not be 0");
    if (code > max)
        Fail(place, Format("the code 0x%X does not fit in %s", code, max == 0xFFFF ? "16 bits" : "32 bits"));
    return code;
}

// An object ID in a text: hexadecimal ("0x...") or decimal; 1 to 0xFFFFFFFF.
uint32_t objectIDText(std::string_view text, const Place& place)
{
    uint64_t id = 0;
    if (!parseNumberText(text, id))
        Fail(place, "expected an object ID (hexadecimal \"0x...\" or decimal), not " + quote(text));
    if (id == 0 || id > 0xFFFFFFFFull)
        Fail(place, "an object ID must be between 1 and 0xFFFFFFFF");
    return static_cast<uint32_t>(id);
}

// An object ID: a number, or a hexadecimal ("0x...") or decimal text; 1 to 0xFFFFFFFF.
uint32_t objectID(const Value& value, const Place& place)
{
    if (value.isString())
        return objectIDText(value.text(), place);
    if (!value.isUnsigned())
        Fail(place, "expected an object ID");
    const uint64_t id = value.unsignedValue();
    if (id == 0 || id > 0xFFFFFFFFull)
        Fail(place, "an object ID must be between 1 and 0xFFFFFFFF");
    return static_cast<uint32_t>(id);
}

// RIGHTS: letters of R W C E A F M S in any order and case, or a number / "0x..." text.
uint16_t rightsValue(const Value& value, const Place& place, bool irm)
{
    const uint32_t max = irm ? 0xFF : 0xFFFF;
    uint64_t mask = 0;
    if (value.isUnsigned()) {
        mask = value.unsignedValue();
    } else if (value.isString()) {
        const std::string_view text = value.text();
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            if (!parseNumberText(text, mask))
                Fail(place, "expected rights, not " + quote(text));
        } else {
            static const char letters[] = "RWCEAFMS";
            static const uint16_t bits[] = { 0x01, 0x02, 0x08, 0x10, 0x20, 0x40, 0x80, 0x100 };
            for (char c : text) {
                const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
                const char* found = c ? std::strchr(letters, upper) : nullptr;
                if (!found)
                    Fail(place, "unknown rights letter " + quote(std::string(1, c)) + " (letters: R W C E A F M S)");
                mask |= bits[found - letters];
            }
        }
    } else {
        Fail(place, "expected rights: letters or a number");
    }
    if (mask > max)
        Fail(place,
            irm ? "an inherited rights mask holds 8 bits (no S, nothing above 0xFF)"
                : "trustee rights hold 16 bits (nothing above 0xFFFF)");
    return static_cast<uint16_t>(mask);
}

// The bytes no name may hold: control characters and \ / : * ?.
constexpr std::array<bool, 256> badNameChars = [] {
    std::array<bool, 256> table {};
    for (int c = 0; c < 0x20; ++c)
        table[c] = true;
    for (const char c : { '\\', '/', ':', '*', '?' })
        table[static_cast<unsigned char>(c)] = true;
    return table;
}();

void checkName(std::string_view name, size_t maxLength, const Place& place, const char* what)
{
    if (name.empty())
        Fail(place, std::string("the ") + what + " is empty");
    // Characters, not bytes: 255 x "é" is a valid long name (and never more characters than bytes).
    if (name.size() > maxLength && Utf8Length(name) > maxLength)
        Fail(place, Format("the %s %s is longer than %zu characters", what, quote(name).c_str(), maxLength));
    if (std::any_of(name.begin(), name.end(), [](char c) { return badNameChars[static_cast<unsigned char>(c)]; }))
        Fail(place,
            std::string("the ") + what + " " + quote(name) + R"( contains one of \ / : * ? or a control character)");
}

// The long and DOS names of the children of one directory while they are read, to find
// a name used twice: open addressing by Network::hashKey, each slot naming a child and
// which of its names it holds (the texts stay in the Network). One table serves every
// directory in turn; it is cleared to the size the directory needs.
class DirectoryNames {
public:
    static constexpr uint32_t none = 0xFFFFFFFFu;

    /// Empties the table for the children [first, first + count) of parent.
    void reset(const Network& net, uint32_t parent, uint32_t first, size_t count)
    {
        m_net = &net;
        m_parent = parent;
        m_first = first;
        size_t capacity = 16;
        while (capacity < count * 4) // two names a child, at most half full
            capacity *= 2;
        m_slots.assign(capacity, Slot {});
        m_mask = capacity - 1;
    }

    uint64_t hash(std::string_view name) const { return Network::hashKey(m_parent, name); }

    /// The child one of whose names already in the table is name (SameName), or none.
    uint32_t find(uint64_t hash, std::string_view name) const
    {
        for (uint64_t at = hash & m_mask; m_slots[at].item != 0; at = (at + 1) & m_mask) {
            const Slot& slot = m_slots[at];
            if (slot.hash == hash && SameName(nameOf(slot.item), name))
                return (slot.item - 1) >> 1;
        }
        return none;
    }

    /// Adds the long name (dos false) or the DOS name of a child, which are already set in
    /// the Network and not yet in the table.
    void add(uint64_t hash, uint32_t child, bool dos)
    {
        uint64_t at = hash & m_mask;
        while (m_slots[at].item != 0)
            at = (at + 1) & m_mask;
        m_slots[at] = { hash, (child << 1 | (dos ? 1u : 0u)) + 1 };
    }

private:
    struct Slot {
        uint64_t hash = 0;
        uint32_t item = 0; // (child << 1 | is the DOS name) + 1; 0: empty
    };

    std::string_view nameOf(uint32_t item) const
    {
        const NetEntry& entry = m_net->entries[m_first + ((item - 1) >> 1)];
        return ((item - 1) & 1u) ? Network::dosName(entry) : m_net->longName(entry);
    }

    const Network* m_net = nullptr;
    uint32_t m_parent = 0;
    uint32_t m_first = 0;
    std::vector<Slot> m_slots;
    uint64_t m_mask = 0;
};

class Reader {
public:
    Reader(Network& net, const Value& doc)
        : m_net(net)
        , m_doc(doc)
    {
    }

    void read()
    {
        const Place top;
        const Members<4> doc(m_doc, topKeys, top);
        doc.check(top);
        const Value version = doc.require(topVersion, top);
        if (!version.isInteger() || version.integer() != 1)
            Fail(top.member("grantwise-network"), "the format version must be 1");
        try {
            readTrees(doc.require(topTrees, top), top.member("trees"));
            readServers(doc.require(topServers, top), top.member("servers"));
            const std::optional<Value> workstation = doc.find(topWorkstation);
            readWorkstation(workstation ? *workstation : Value(), top.member("workstation"));
        } catch (const Failure&) {
            // The sizes the generate keys ask for are checked before anything else is read.
            checkGeneratedSizeOnce();
            throw;
        }
    }

private:
    // What the generate keys of the whole description ask for, before anything is made:
    // a description of a few lines must not make the programs build 20 million entries
    // (or a million users) per key before it is refused. The sums count against
    // maxNetworkEntries (the generator checks the listed entries beside them again) and
    // maxGeneratedObjects; the message names the key that passes the limit. Checked when
    // the reading meets the first generate key, or an error before it (whose message
    // gives way to one of these), and at most once.
    void checkGeneratedSizeOnce()
    {
        if (m_sizesChecked)
            return;
        m_sizesChecked = true;
        const Place top;
        const std::optional<Value> servers = Members<4>(m_doc, topKeys, top).find(topServers);
        if (!servers || !servers->isArray())
            return;
        const Place serversAt = top.member("servers");
        uint64_t entries = 0, objects = 0;
        size_t s = 0;
        for (simdjson::dom::element serverElement : servers->array()) {
            const Place server = serversAt.item(s++);
            const Value serverValue(serverElement);
            const std::optional<Value> volumes = serverValue.isObject()
                ? Members<4>(serverValue, serverKeys, server).find(serverVolumes)
                : std::nullopt;
            if (!volumes || !volumes->isArray())
                continue;
            const Place list = server.member("volumes");
            size_t v = 0;
            for (simdjson::dom::element volume : volumes->array())
                plannedSize(Value(volume), list.item(v++), entries, objects);
        }
    }

    static void plannedSize(const Value& node, const Place& at, uint64_t& entries, uint64_t& objects, size_t depth = 0)
    {
        // Each level adds at least two characters to a DOS path of at most 255, so
        // anything deeper is refused by the reading proper; stopping here keeps the
        // recursion short on a hostile nesting.
        if (!node.isObject() || depth > maxDosPath / 2)
            return;
        const Members<10> members(node, nodeKeys, at);
        if (const std::optional<Value> generate = members.find(nodeGenerate); generate && generate->isObject()) {
            const Place generateAt = at.member("generate");
            const GenerateOptions options = readGenerate(*generate, generateAt);
            const uint64_t count = GeneratedEntryCount(options);
            entries = count > UINT64_MAX - entries ? UINT64_MAX : entries + count;
            if (entries > maxNetworkEntries)
                Fail(generateAt,
                    Format("the generate keys of this description ask for %llu entries in all; at most %llu",
                        static_cast<unsigned long long>(entries), static_cast<unsigned long long>(maxNetworkEntries)));
            objects += uint64_t(options.users) + options.groups;
            if (objects > maxGeneratedObjects)
                Fail(generateAt,
                    Format("the generate keys of this description make %llu users and groups in all; at most %llu",
                        static_cast<unsigned long long>(objects),
                        static_cast<unsigned long long>(maxGeneratedObjects)));
        }
        const std::optional<Value> children = members.find(nodeEntries);
        if (!children || !children->isArray())
            return;
        const Place list = at.member("entries");
        size_t i = 0;
        for (simdjson::dom::element child : children->array())
            plannedSize(Value(child), list.item(i++), entries, objects, depth + 1);
    }

    void readTrees(const Value& treesValue, const Place& place)
    {
        const std::vector<Value> trees = arrayValue(treesValue, place);
        for (size_t i = 0; i < trees.size(); ++i) {
            const Place at = place.item(i);
            const Members<2> members(trees[i], treeKeys, at);
            members.check(at);
            const Place nameAt = at.member("name");
            NetTree tree;
            tree.name = textValue(members.require(treeName, at), nameAt);
            checkName(tree.name, maxTreeName, nameAt, "tree name");
            if (m_net.findTree(tree.name))
                Fail(nameAt, "the tree " + quote(tree.name) + " is declared twice");
            if (const std::optional<Value> objects = members.find(treeObjects)) {
                const Place objectsAt = at.member("objects");
                readObjects(tree, arrayValue(*objects, objectsAt), objectsAt);
            }
            m_net.addTree(std::move(tree));
        }
    }

    // The tree's declared objects, kept in document order. Objects with an "id" keep it;
    // the others get the next free ID in document order once every fixed ID is known, so
    // that a fixed ID further down cannot clash with one handed out before it. The
    // member-of and security-equals lists are read last, since they may name objects
    // declared after them.
    static void readObjects(NetTree& tree, const std::vector<Value>& objects, const Place& place)
    {
        std::vector<bool> fixed(objects.size(), false);
        std::vector<Members<5>> members;
        members.reserve(objects.size());
        for (size_t k = 0; k < objects.size(); ++k) {
            const Place at = place.item(k);
            const Members<5>& object = members.emplace_back(objects[k], objectKeys, at);
            object.check(at);
            const Place nameAt = at.member("name");
            DsName name;
            const std::string text(textValue(object.require(objName, at), nameAt));
            if (const std::string error = ParseDsName(text, name); !error.empty())
                Fail(nameAt, error);
            if (tree.byKey.count(name.key()))
                Fail(nameAt, "the object " + quote(text) + " is declared twice in the tree");
            uint32_t id = 0;
            if (const std::optional<Value> idValue = object.find(objId)) {
                const Place idAt = at.member("id");
                id = objectID(*idValue, idAt);
                if (tree.byID.count(id))
                    Fail(idAt, Format("the ID 0x%08X is given to two objects", id));
                fixed[k] = true;
            }
            NetObjectClass objectClass = DefaultObjectClass(name);
            if (const std::optional<Value> classValue = object.find(objClass))
                objectClass = ObjectClass(*classValue, at.member("class"));
            const uint32_t index = static_cast<uint32_t>(tree.objects.size());
            tree.byKey.emplace(name.key(), index);
            if (fixed[k])
                tree.byID.emplace(id, index);
            NetObject entry;
            entry.name = std::move(name);
            entry.id = id;
            entry.objectClass = objectClass;
            tree.objects.push_back(std::move(entry));
        }
        for (size_t k = 0; k < objects.size(); ++k) {
            if (fixed[k])
                continue;
            while (tree.byID.count(tree.nextID))
                ++tree.nextID;
            tree.objects[k].id = tree.nextID;
            tree.byID.emplace(tree.nextID++, static_cast<uint32_t>(k));
        }
        for (size_t k = 0; k < objects.size(); ++k) {
            const Place at = place.item(k);
            NetObject& object = tree.objects[k];
            object.listBegin = static_cast<uint32_t>(tree.listItems.size());
            object.memberOfCount = readObjectList(tree, members[k], objMemberOf, at);
            object.securityEqualsCount = readObjectList(tree, members[k], objSecurityEquals, at);
        }
    }

    static NetObjectClass ObjectClass(const Value& value, const Place& at)
    {
        static const std::pair<const char*, NetObjectClass> classes[] = { { "user", NetObjectClass::User },
            { "group", NetObjectClass::Group }, { "container", NetObjectClass::Container },
            { "role", NetObjectClass::Role }, { "other", NetObjectClass::Other } };
        const std::string_view text = textValue(value, at);
        for (const auto& [word, objectClass] : classes)
            if (text == word)
                return objectClass;
        Fail(at, "unknown class " + quote(text) + " (classes: user, group, container, role, other)");
    }

    // One member-of or security-equals list, appended to the tree's list items; returns
    // its length. Every NAME must be an object of the tree's "objects" or a container by
    // its typed name, so that a misspelt group is an error instead of granting nothing.
    static uint16_t readObjectList(NetTree& tree, const Members<5>& object, ObjectKey key, const Place& objectAt)
    {
        const std::optional<Value> listValue = object.find(key);
        if (!listValue)
            return 0;
        const Place listAt = objectAt.member(objectKeys[key]);
        const std::vector<Value> list = arrayValue(*listValue, listAt);
        if (list.size() > 0xFFFF)
            Fail(listAt, "at most 65535 names in one list");
        for (size_t i = 0; i < list.size(); ++i) {
            const Place itemAt = listAt.item(i);
            const std::string text(textValue(list[i], itemAt));
            DsName name;
            if (const std::string error = ParseDsName(text, name); !error.empty())
                Fail(itemAt, error);
            if (const auto index = tree.findName(name)) {
                tree.listItems.push_back(*index);
            } else if (name.isContainer()) {
                tree.listItems.push_back(NetTree::listedContainer | static_cast<uint32_t>(tree.containers.size()));
                tree.containers.push_back(std::move(name));
            } else {
                Fail(itemAt,
                    "no object of the tree " + quote(tree.name) + " is named " + quote(text)
                        + " (a name here must be one of the tree's objects, or a container by its typed name such "
                          "as 'OU=Sales.O=Corp')");
            }
        }
        return static_cast<uint16_t>(list.size());
    }

    void readServers(const Value& serversValue, const Place& place)
    {
        const std::vector<Value> servers = arrayValue(serversValue, place);
        if (servers.size() > maxServers)
            Fail(place, Format("at most %zu servers", maxServers));
        for (size_t i = 0; i < servers.size(); ++i) {
            const Place at = place.item(i);
            const Members<4> entry(servers[i], serverKeys, at);
            entry.check(at);
            const Place nameAt = at.member("name");
            NetServer server;
            server.name = textValue(entry.require(serverName, at), nameAt);
            checkName(server.name, maxServerName, nameAt, "server name");
            if (m_net.findServer(server.name))
                Fail(nameAt, "the server " + quote(server.name) + " is declared twice");
            const Place treeAt = at.member("tree");
            const std::string_view treeName = textValue(entry.require(serverTree, at), treeAt);
            const auto tree = m_net.findTree(treeName);
            if (!tree)
                Fail(treeAt, "no tree is named " + quote(treeName));
            server.tree = *tree;
            if (const std::optional<Value> fail = entry.find(serverFail)) {
                const Place failAt = at.member("fail");
                const Members<1> failures(*fail, serverFailKeys, failAt);
                failures.check(failAt);
                if (const std::optional<Value> open = failures.find(0))
                    server.openFailure = codeValue(*open, failAt.member("open"), 0xFFFF);
            }
            const uint32_t serverIndex = static_cast<uint32_t>(m_net.servers.size());
            m_net.servers.push_back(std::move(server));
            const Place volumesAt = at.member("volumes");
            const std::vector<Value> volumes = arrayValue(entry.require(serverVolumes, at), volumesAt);
            for (size_t v = 0; v < volumes.size(); ++v)
                readVolume(serverIndex, volumes[v], volumesAt.item(v));
        }
    }

    void readVolume(uint32_t serverIndex, const Value& volume, const Place& at)
    {
        const Members<10> node(volume, nodeKeys, at);
        node.check(at, volumeAllowed);
        const Place nameAt = at.member("name");
        NetVolume vol;
        vol.name = textValue(node.require(nodeName, at), nameAt);
        checkName(vol.name, maxVolumeName, nameAt, "volume name");
        if (m_net.findVolume(serverIndex, vol.name))
            Fail(nameAt, "the volume " + quote(vol.name) + " is declared twice on this server");
        if (m_net.entries.size() >= maxNetworkEntries)
            Fail(at,
                Format("the description holds more than %llu entries",
                    static_cast<unsigned long long>(maxNetworkEntries)));
        vol.root = static_cast<uint32_t>(m_net.entries.size());
        NetEntry root;
        root.flags = NetEntry::isDirectory;
        root.longName = m_net.internName("");
        m_net.entries.push_back(root);
        m_net.addVolume(serverIndex, vol);
        m_tree = m_net.servers[serverIndex].tree;
        m_path = vol.name + ":";
        readDirectory(node, vol.root, at);
    }

    // The attributes every entry has: owner, irm, trustees, fail (in this order, which is
    // the order in which names get their IDs).
    void readAttributes(const Members<10>& node, uint32_t index, const Place& at)
    {
        if (const std::optional<Value> owner = node.find(nodeOwner))
            m_net.entries[index].owner = trusteeID(*owner, at.member("owner"));
        if (const std::optional<Value> irm = node.find(nodeIrm))
            m_net.entries[index].irm = static_cast<uint8_t>(rightsValue(*irm, at.member("irm"), true));
        if (const std::optional<Value> trusteesValue = node.find(nodeTrustees)) {
            const Place trusteesAt = at.member("trustees");
            if (!trusteesValue->isArray())
                Fail(trusteesAt, "expected a list");
            const size_t count = trusteesValue->length();
            if (count > 0xFFFF)
                Fail(trusteesAt, "at most 65535 trustees per entry");
            const uint32_t begin = static_cast<uint32_t>(m_net.trustees.size());
            size_t t = 0;
            for (simdjson::dom::element item : trusteesValue->array()) {
                const Place pairAt = trusteesAt.item(t++);
                const Value pair(item);
                if (!pair.isArray() || pair.length() != 2)
                    Fail(pairAt, "expected a pair [TRUSTEE, RIGHTS]");
                auto it = pair.array().begin();
                const Value trustee(*it);
                const Value rights(*++it);
                const uint32_t id = trusteeID(trustee, pairAt.item(0));
                m_net.trustees.push_back({ id, rightsValue(rights, pairAt.item(1), false) });
            }
            m_net.entries[index].trusteeBegin = begin;
            m_net.entries[index].trusteeCount = static_cast<uint16_t>(count);
        }
        if (const std::optional<Value> fail = node.find(nodeFail)) {
            const Place failAt = at.member("fail");
            const Members<3> codes(*fail, entryFailKeys, failAt);
            codes.check(failAt);
            NetEntryFailures failures;
            if (const std::optional<Value> code = codes.find(failInfo))
                failures.info = static_cast<uint16_t>(codeValue(*code, failAt.member("info"), 0xFFFF));
            if (const std::optional<Value> code = codes.find(failSearch))
                failures.search = static_cast<uint16_t>(codeValue(*code, failAt.member("search"), 0xFFFF));
            if (const std::optional<Value> code = codes.find(failTrustees))
                failures.trustees = static_cast<uint16_t>(codeValue(*code, failAt.member("trustees"), 0xFFFF));
            m_net.failures[index] = failures;
            m_net.entries[index].flags |= NetEntry::hasFailures;
        }
    }

    // TRUSTEE: a NAME (the object comes into being in the current tree) or "#ID".
    uint32_t trusteeID(const Value& value, const Place& at)
    {
        const std::string_view text = textValue(value, at);
        if (!text.empty() && text[0] == '#')
            return objectIDText(text.substr(1), at);
        DsName name;
        if (const std::string error = ParseDsName(std::string(text), name); !error.empty())
            Fail(at, error);
        NetTree& tree = m_net.trees[m_tree];
        return tree.objects[tree.objectFor(name)].id;
    }

    // Reads the attributes of directory `index`, whose DOS path is m_path, and lays out
    // its entries as one contiguous range, then reads each child depth first in document
    // order. node may be one of m_children, which naming the children grows: it is not
    // used from there on.
    void readDirectory(const Members<10>& node, uint32_t index, const Place& at)
    {
        readAttributes(node, index, at);
        if (const std::optional<Value> generate = node.find(nodeGenerate)) {
            checkGeneratedSizeOnce();
            const Place generateAt = at.member("generate");
            if (node.has(nodeEntries))
                Fail(generateAt, "a directory has either 'entries' or 'generate', not both");
            const GenerateOptions options = readGenerate(*generate, generateAt);
            try {
                GenerateSubtree(m_net, m_tree, index, m_path.size(), options, maxDosPath);
            } catch (const GenerateFailure& failure) {
                if (failure.key().empty())
                    Fail(generateAt, failure.what());
                Fail(generateAt.member(failure.key()), failure.what());
            }
            return;
        }
        const std::optional<Value> childrenValue = node.find(nodeEntries); // the last use of node
        if (!childrenValue)
            return;
        const Place entriesAt = at.member("entries");
        if (!childrenValue->isArray())
            Fail(entriesAt, "expected a list");
        const size_t children = childrenValue->length();
        if (children > maxNetworkEntries - std::min<uint64_t>(m_net.entries.size(), maxNetworkEntries))
            Fail(entriesAt,
                Format("the description holds more than %llu entries",
                    static_cast<unsigned long long>(maxNetworkEntries)));
        const uint32_t first = static_cast<uint32_t>(m_net.entries.size());
        const uint32_t count = static_cast<uint32_t>(children);
        m_net.entries[index].firstChild = first;
        m_net.entries[index].childCount = count;
        m_net.entries.resize(first + count);
        // The children's members stay on m_children while their subtrees are read.
        const size_t base = m_children.size();
        nameChildren(childrenValue->array(), index, first, count, entriesAt);
        const bool atRoot = m_net.entries[index].parent == NetEntry::none;
        const size_t pathLength = m_path.size();
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t child = first + i;
            const Place childAt = entriesAt.item(i);
            const std::string_view dos = Network::dosName(m_net.entries[child]);
            m_path.append(atRoot ? "" : "\\").append(dos);
            if (m_path.size() > maxDosPath)
                Fail(childAt,
                    Format("the DOS path %s is %zu characters long; NetWare allows at most %zu", quote(m_path).c_str(),
                        m_path.size(), maxDosPath));
            if (m_net.entries[child].flags & NetEntry::isDirectory)
                readDirectory(m_children[base + i], child, childAt);
            else
                readAttributes(m_children[base + i], child, childAt);
            m_path.resize(pathLength);
        }
        m_children.resize(base);
    }

    // The options of a "generate" key; every key is optional.
    static GenerateOptions readGenerate(const Value& node, const Place& at)
    {
        const Members<11> members(node, generateKeys, at);
        members.check(at);
        GenerateOptions options;
        if (const std::optional<Value> seed = members.find(generateSeed)) {
            if (!seed->isUnsigned())
                Fail(at.member("seed"), "expected a whole number from 0 up");
            options.seed = seed->unsignedValue();
        }
        const auto count = [&](GenerateKey key, uint32_t& value, uint32_t max) {
            if (const std::optional<Value> item = members.find(key)) {
                if (!item->isInteger() || item->integer() < 0 || item->integer() > max)
                    Fail(at.member(generateKeys[key]), Format("expected a whole number from 0 to %u", max));
                value = static_cast<uint32_t>(item->integer());
            }
        };
        const auto share = [&](GenerateKey key, double& value) {
            if (const std::optional<Value> item = members.find(key)) {
                if (!item->isNumber() || item->number() < 0 || item->number() > 1)
                    Fail(at.member(generateKeys[key]), "expected a share from 0 to 1");
                value = item->number();
            }
        };
        count(generateDirectories, options.directories, 10000);
        count(generateDepth, options.depth, 127);
        count(generateFiles, options.files, 1000000);
        count(generateUsers, options.users, 1000000);
        count(generateGroups, options.groups, 100000);
        count(generateOwners, options.owners, 1000000);
        share(generateTrustees, options.trustees);
        share(generateIrm, options.irm);
        share(generateUnknownIds, options.unknownIDs);
        if (options.owners > options.users)
            Fail(at.member("owners"), Format("the owners are drawn from the users: at most %u", options.users));
        if (const std::optional<Value> context = members.find(generateContext)) {
            const Place contextAt = at.member("context");
            options.context = textValue(*context, contextAt);
            DsName name;
            const std::string error = ParseDsName("X." + options.context, name);
            if (!error.empty() || options.context.find_first_of("=[") != std::string::npos)
                Fail(contextAt,
                    "expected a typeless name such as 'Corp' or 'Staff.Corp', not " + quote(options.context));
        }
        return options;
    }

    // Long names, kinds and DOS names of the children of one directory, whose members are
    // pushed on m_children. Explicit short names and long names that are valid 8.3 names
    // are taken first; the others get generated aliases that avoid every name of the
    // directory.
    void nameChildren(
        simdjson::dom::array children, uint32_t parent, uint32_t first, uint32_t count, const Place& entriesAt)
    {
        const size_t base = m_children.size();
        m_names.reset(m_net, parent, first, count);
        m_longHashes.clear();
        uint32_t i = 0;
        for (simdjson::dom::element child : children) {
            const Place at = entriesAt.item(i);
            const Members<10>& node = m_children.emplace_back(Value(child), nodeKeys, at);
            const bool isDir = node.isObject() && node.has(nodeDir);
            if (isDir && node.has(nodeFile))
                Fail(at, "an entry has exactly one of 'dir' and 'file'");
            node.check(at, isDir ? dirAllowed : fileAllowed);
            if (isDir == node.has(nodeFile))
                Fail(at, "an entry has exactly one of 'dir' and 'file'");
            const Place nameAt = at.member(isDir ? "dir" : "file");
            const std::string_view name = textValue(*node.find(isDir ? nodeDir : nodeFile), nameAt);
            checkName(name, maxLongName, nameAt, "name");
            if (name == "." || name == "..")
                Fail(nameAt, "'.' and '..' are not entry names");
            const uint64_t hash = m_names.hash(name);
            if (const uint32_t other = m_names.find(hash, name); other != DirectoryNames::none)
                Fail(nameAt,
                    "the name " + quote(name) + " is already used in this directory by "
                        + entriesAt.item(other).text());
            NetEntry& entry = m_net.entries[first + i];
            entry.parent = parent;
            entry.flags = isDir ? NetEntry::isDirectory : 0;
            entry.longName = m_net.internName(name);
            entry.longLength = static_cast<uint16_t>(name.size());
            m_names.add(hash, i, false);
            m_longHashes.push_back(hash);
            ++i;
        }
        m_aliasNeeded.clear();
        for (i = 0; i < count; ++i) {
            const Place at = entriesAt.item(i);
            const std::string_view longName = m_net.longName(m_net.entries[first + i]);
            if (const std::optional<Value> shortName = m_children[base + i].find(nodeShort)) {
                const std::string_view text = textValue(*shortName, at.member("short"));
                if (!IsValidDosName(text))
                    Fail(at.member("short"), quote(text) + " is not a valid 8.3 name");
                const std::string_view dos = setDosName(first + i, text);
                const uint64_t hash = m_names.hash(dos);
                const uint32_t other = m_names.find(hash, dos);
                if (other != DirectoryNames::none && other != i)
                    Fail(at.member("short"),
                        "the DOS name " + quote(dos) + " clashes with the name of " + entriesAt.item(other).text());
                if (other == DirectoryNames::none) // else it is the child's own long name
                    m_names.add(hash, i, true);
                m_net.setNameHashes(first + i, hash, m_longHashes[i]);
            } else if (longName.size() <= 12 && IsValidDosName(longName)) { // 8 + "." + 3 at most
                // The child's own long name in capitals: the same name, which no other
                // name of the directory can be (a long name would have been refused as
                // used twice, a short name before it as clashing with this long name).
                setDosName(first + i, longName);
                m_net.setNameHashes(first + i, m_longHashes[i], m_longHashes[i]);
            } else {
                m_aliasNeeded.push_back(i);
            }
        }
        DosNameNumbers numbers; // the names only grow from here on
        for (const uint32_t alias : m_aliasNeeded) {
            const std::string_view longName = m_net.longName(m_net.entries[first + alias]);
            const std::string dos = GenerateDosName(
                longName,
                [&](const std::string& candidate) {
                    return m_names.find(m_names.hash(candidate), candidate) != DirectoryNames::none;
                },
                &numbers);
            if (dos.empty())
                Fail(entriesAt.item(alias), "no free DOS name for " + quote(longName));
            setDosName(first + alias, dos);
            const uint64_t hash = m_names.hash(dos);
            m_names.add(hash, alias, true);
            m_net.setNameHashes(first + alias, hash, m_longHashes[alias]);
        }
    }

    // Sets the DOS name of an entry to a valid 8.3 name in capitals and returns it.
    std::string_view setDosName(uint32_t index, std::string_view dos)
    {
        NetEntry& entry = m_net.entries[index];
        entry.dosLength = static_cast<uint8_t>(dos.size());
        for (size_t i = 0; i < dos.size(); ++i)
            entry.dos[i] = dos[i] >= 'a' && dos[i] <= 'z' ? static_cast<char>(dos[i] - 'a' + 'A') : dos[i];
        return Network::dosName(entry);
    }

    void readWorkstation(const Value& ws, const Place& at)
    {
        const Members<5> members(ws, workstationKeys, at);
        members.check(at);
        if (const std::optional<Value> connectionsValue = members.find(wsConnections)) {
            const Place listAt = at.member("connections");
            const std::vector<Value> connections = arrayValue(*connectionsValue, listAt);
            for (size_t i = 0; i < connections.size(); ++i) {
                const std::string_view name = textValue(connections[i], listAt.item(i));
                const auto server = m_net.findServer(name);
                if (!server)
                    Fail(listAt.item(i), "no server is named " + quote(name));
                if (std::find(m_net.connections.begin(), m_net.connections.end(), *server) != m_net.connections.end())
                    Fail(listAt.item(i), "the server " + quote(name) + " is listed twice");
                m_net.connections.push_back(*server);
            }
        } else {
            for (uint32_t i = 0; i < m_net.servers.size(); ++i)
                m_net.connections.push_back(i);
        }
        if (const std::optional<Value> primary = members.find(wsPrimary)) {
            if (!primary->isNull()) {
                const Place primaryAt = at.member("primary");
                const std::string_view name = textValue(*primary, primaryAt);
                const auto server = m_net.findServer(name);
                if (!server
                    || std::find(m_net.connections.begin(), m_net.connections.end(), *server)
                        == m_net.connections.end())
                    Fail(primaryAt, quote(name) + " is not one of the workstation's connections");
                m_net.primary = *server;
            }
        } else if (!m_net.connections.empty()) {
            m_net.primary = m_net.connections.front();
        }
        if (const std::optional<Value> size = members.find(wsTrusteeBlockSize)) {
            if (!size->isInteger() || size->integer() < 1 || size->integer() > 20)
                Fail(at.member("trustee-block-size"), "expected a whole number from 1 to 20");
            m_net.trusteeBlockSize = static_cast<int>(size->integer());
        }
        if (const std::optional<Value> texts = members.find(wsErrorTexts)) {
            if (!texts->isBoolean())
                Fail(at.member("error-texts"), "expected true or false");
            m_net.errorTexts = texts->boolean();
        }
        if (const std::optional<Value> fail = members.find(wsFail)) {
            const Place failAt = at.member("fail");
            const Members<2> codes(*fail, workstationFailKeys, failAt);
            codes.check(failAt);
            if (const std::optional<Value> code = codes.find(0))
                m_net.initFailure = codeValue(*code, failAt.member("init"), 0xFFFF);
            if (const std::optional<Value> code = codes.find(1))
                m_net.contextFailure = codeValue(*code, failAt.member("context"), 0xFFFFFFFF);
        }
    }

    Network& m_net;
    Value m_doc;
    uint32_t m_tree = 0; // the tree of the server being read
    std::string m_path; // the DOS path of the directory being read ("VOL1:DOCS\PLANS")
    std::vector<Members<10>> m_children; // the members of the entries being read, directory by directory
    DirectoryNames m_names; // the names of the directory whose children are named
    std::vector<uint32_t> m_aliasNeeded; // its children that get a generated DOS name
    std::vector<uint64_t> m_longHashes; // and the hashes of their long names
    bool m_sizesChecked = false;
};

// Builds the document from the parser's events as the library's own builder does, and
// refuses a key given twice in one object (the library would keep the last one
// silently, so a second "trustees" key would drop assignments from the audit).
class DocumentBuilder {
public:
    explicit DocumentBuilder(json& root)
        : m_root(root)
    {
    }

    bool null() { return add(nullptr); }
    bool boolean(bool value) { return add(value); }
    bool number_integer(json::number_integer_t value) { return add(value); }
    bool number_unsigned(json::number_unsigned_t value) { return add(value); }
    bool number_float(json::number_float_t value, const json::string_t&) { return add(value); }
    bool string(json::string_t& value) { return add(std::move(value)); }
    bool binary(json::binary_t& value) { return add(json::binary(std::move(value))); }
    bool start_object(std::size_t) { return open(json::object()); }
    bool start_array(std::size_t) { return open(json::array()); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool key(json::string_t& key)
    {
        Level& level = m_levels.back();
        auto [it, fresh] = level.container->emplace(std::move(key), nullptr);
        level.key = &it.key();
        m_element = &it.value();
        if (!fresh)
            throw Failure { place(), "the key " + quote(*level.key) + " is given twice in this object" };
        return true;
    }

    // The parser's own exception, of its own type, so the caller's handlers tell a syntax
    // error from a number out of range as with json::parse.
    template <typename Exception> bool parse_error(std::size_t, const std::string&, const Exception& error)
    {
        throw error;
    }

private:
    struct Level {
        json* container;
        const std::string* key = nullptr; // the member being filled (objects)
    };

    // The JSON path of the value being filled, in the form of every other message.
    std::string place() const
    {
        std::string out = "$";
        for (const Level& level : m_levels)
            out = level.container->is_array() ? itemPlace(out, level.container->size() - 1)
                                              : memberPlace(out, level.key ? level.key->c_str() : "");
        return out;
    }

    json* slot()
    {
        if (m_levels.empty())
            return &m_root;
        json& container = *m_levels.back().container;
        if (container.is_array()) {
            container.push_back(nullptr);
            return &container.back();
        }
        return m_element;
    }

    bool add(json&& value)
    {
        *slot() = std::move(value);
        return true;
    }

    bool open(json&& empty)
    {
        json* at = slot();
        *at = std::move(empty);
        m_levels.push_back({ at });
        return true;
    }

    bool close()
    {
        m_levels.pop_back();
        return true;
    }

    json& m_root;
    std::vector<Level> m_levels;
    json* m_element = nullptr;
};

// "line L, column C" of a byte offset (1-based, as the parser counts).
std::string lineColumn(std::string_view text, size_t byte)
{
    size_t line = 1, column = 1;
    for (size_t i = 0; i + 1 < byte && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return Format("line %zu, column %zu", line, column);
}

// The description read by the document parser, with every error it finds as the
// message "<file>: <place>: <reason>": a syntax error with its line and column, a key
// given twice with its place. Used where the fast parser refused the text: it tells where
// and why, in the messages the program has always given.
json parseLocated(std::string_view text, const std::string& fileName)
{
    json doc;
    try {
        DocumentBuilder builder(doc);
        json::sax_parse(text.begin(), text.end(), &builder);
    } catch (const Failure& failure) {
        throw NetworkLoadError(fileName + ": " + failure.place + ": " + failure.reason);
    } catch (const json::parse_error& e) {
        // The parser's message reads "[json.exception.parse_error.101] parse error at line
        // 3, column 5: syntax error ..."; keep what follows the place.
        std::string reason = e.what();
        const size_t colon = reason.find(": ", reason.find("parse error"));
        if (colon != std::string::npos)
            reason = reason.substr(colon + 2);
        throw NetworkLoadError(fileName + ": " + lineColumn(text, e.byte) + ": " + reason);
    } catch (const json::exception& e) {
        // Values the parser cannot hold, such as a number beyond the range of a double
        // ("[json.exception.out_of_range.406] number overflow parsing '1e999'"): the place
        // is that of the text the message quotes.
        std::string reason = e.what();
        if (const size_t close = reason.find("] "); close != std::string::npos)
            reason = reason.substr(close + 2);
        std::string place = "somewhere in the text";
        const size_t open = reason.find('\'');
        const size_t end = open == std::string::npos ? std::string::npos : reason.find('\'', open + 1);
        if (end != std::string::npos && end > open + 1) {
            const size_t at = text.find(reason.substr(open + 1, end - open - 1));
            if (at != std::string_view::npos)
                place = lineColumn(text, at + 1);
        }
        throw NetworkLoadError(fileName + ": " + place + ": " + reason);
    }
    return doc;
}

struct DuplicateKey {
    std::string place; // of the second member of that key; "" for none
    std::string key;
};

// The first key given twice in one object, in document order (the order in which the
// document parser, building the same document, would meet it), with the place of that
// member; none when every object's keys differ. Walked with a stack of its own, since the
// nesting may be as deep as the parser allows.
DuplicateKey duplicateKey(simdjson::dom::element root)
{
    struct Frame {
        bool isObject;
        simdjson::dom::object::iterator member, memberEnd;
        simdjson::dom::array::iterator item, itemEnd;
        size_t walked = 0; // items entered so far (arrays)
        size_t current = 0; // the index of the item being walked
        std::string_view key; // of the member being walked (objects)
        size_t firstKey = 0; // this object's keys in `keys`
        std::unordered_set<std::string_view> many; // the keys, once there are many
    };
    constexpr size_t fewKeys = 16;
    std::vector<Frame> frames;
    std::vector<std::string_view> keys;
    const auto render = [&](std::string_view last) {
        std::string out = "$";
        for (size_t f = 0; f + 1 < frames.size(); ++f)
            out = frames[f].isObject ? memberPlace(out, std::string(frames[f].key).c_str())
                                     : itemPlace(out, frames[f].current);
        return memberPlace(out, std::string(last).c_str());
    };
    const auto enter = [&](simdjson::dom::element element) {
        Frame frame {};
        if (element.type() == simdjson::dom::element_type::OBJECT) {
            const simdjson::dom::object object = [&] {
                simdjson::dom::object o;
                if (element.get(o) != simdjson::SUCCESS)
                    return simdjson::dom::object();
                return o;
            }();
            frame.isObject = true;
            frame.member = object.begin();
            frame.memberEnd = object.end();
            frame.firstKey = keys.size();
        } else if (element.type() == simdjson::dom::element_type::ARRAY) {
            const simdjson::dom::array array = [&] {
                simdjson::dom::array a;
                if (element.get(a) != simdjson::SUCCESS)
                    return simdjson::dom::array();
                return a;
            }();
            frame.isObject = false;
            frame.item = array.begin();
            frame.itemEnd = array.end();
        } else {
            return;
        }
        frames.push_back(std::move(frame));
    };
    enter(root);
    while (!frames.empty()) {
        Frame& frame = frames.back();
        if (frame.isObject) {
            if (!(frame.member != frame.memberEnd)) {
                keys.resize(frame.firstKey);
                frames.pop_back();
                continue;
            }
            const simdjson::dom::key_value_pair member = *frame.member;
            ++frame.member;
            frame.key = member.key;
            const size_t count = keys.size() - frame.firstKey;
            bool repeated;
            if (count < fewKeys) {
                repeated = std::find(keys.begin() + frame.firstKey, keys.end(), member.key) != keys.end();
                keys.push_back(member.key);
                if (count + 1 == fewKeys)
                    frame.many.insert(keys.begin() + frame.firstKey, keys.end());
            } else {
                repeated = !frame.many.insert(member.key).second;
            }
            if (repeated)
                return { render(member.key), std::string(member.key) };
            enter(member.value);
        } else {
            if (!(frame.item != frame.itemEnd)) {
                frames.pop_back();
                continue;
            }
            const simdjson::dom::element item = *frame.item;
            frame.current = frame.walked++;
            ++frame.item;
            enter(item);
        }
    }
    return {};
}

// Unicode escapes of surrogates ("\uD83D"): the two parsers need not agree on which of
// them are well formed, so a text holding any is checked by the document parser too.
bool hasSurrogateEscape(std::string_view text)
{
    for (size_t at = text.find("\\u"); at != std::string_view::npos; at = text.find("\\u", at + 2))
        if (at + 2 < text.size() && (text[at + 2] == 'd' || text[at + 2] == 'D'))
            return true;
    return false;
}

} // namespace

// The description is parsed by simdjson, which reads it several times faster than a
// document parser that builds a tree of its own (a plain description of a million entries
// is a hundred megabytes), and the reader walks simdjson's document once. simdjson does
// not say where in the text a syntax error is, nor does it refuse a key given twice, so
// - the reader refuses a key given twice in any object it reads, and since it reads every
//   object of a usable description, a description it reads to the end has none; when it
//   stops at an error, the document is searched for the first key given twice, which is
//   the error reported if there is one (whatever the reader found, as if that search had
//   come first);
// - a text simdjson refuses is read again by nlohmann's parser, which gives the line and
//   column of the error in the messages the program has always given. Where nlohmann
//   takes the text after all (nesting deeper than simdjson's limit, an integer beyond 64
//   bits, which nlohmann holds as a floating-point number), its document is written out
//   and that text read by simdjson, without a depth limit, so that both parsers' views of
//   a valid text lead to the same network or the same error.
std::unique_ptr<Network> ReadNetwork(std::string_view text, const std::string& fileName)
{
    simdjson::dom::parser parser;
    simdjson::dom::element root;
    const bool parsed = parser.parse(text.data(), text.size()).get(root) == simdjson::SUCCESS;
    if (!parsed || hasSurrogateEscape(text)) {
        const json doc = parseLocated(text, fileName);
        if (!parsed) {
            const std::string written = doc.dump();
            if (parser.allocate(written.size(), written.size() / 2 + 2) != simdjson::SUCCESS
                || parser.parse(written).get(root) != simdjson::SUCCESS)
                throw NetworkLoadError(fileName + ": somewhere in the text: the description cannot be parsed");
        }
    }
    auto net = std::make_unique<Network>();
    // A listed entry takes some 60 to 100 bytes of text: room for the entries of a typical
    // description is made at once instead of growing it step by step (capacity that stays
    // unused is never touched).
    net->entries.reserve(std::min<uint64_t>(text.size() / 64, maxNetworkEntries));
    try {
        Reader(*net, Value(root)).read();
    } catch (const Failure& failure) {
        if (const DuplicateKey duplicate = duplicateKey(root); !duplicate.place.empty())
            throw NetworkLoadError(fileName + ": " + duplicate.place + ": the key " + quote(duplicate.key)
                + " is given twice in this object");
        throw NetworkLoadError(fileName + ": " + failure.place + ": " + failure.reason);
    }
    net->finish();
    return net;
}
