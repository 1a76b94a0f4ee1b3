#include "platform/netware/NetworkReader.h"

#include "platform/netware/DosNames.h"
#include "platform/netware/NetworkGenerator.h"
#include "util/CaseFold.h"
#include "util/D_Util.h"
#include "util/Utf8.h"

#include <nlohmann/json.hpp>
#include <simdjson.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>
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

    /// The member named key of an object, if there is one.
    std::optional<Value> find(const char* key) const
    {
        if (!m_present || type() != Type::OBJECT)
            return std::nullopt;
        simdjson::dom::element member;
        if (as<simdjson::dom::object>().at_key(key).get(member) != simdjson::SUCCESS)
            return std::nullopt;
        return Value(member);
    }
    bool has(const char* key) const { return find(key).has_value(); }

    /// The items of an array, in order (the parser's arrays are walked, not indexed).
    std::vector<Value> elements() const
    {
        std::vector<Value> out;
        for (simdjson::dom::element item : as<simdjson::dom::array>())
            out.emplace_back(item);
        return out;
    }

    /// The keys of an object, in document order.
    template <typename Visit> void forEachKey(Visit&& visit) const
    {
        if (!m_present)
            return;
        for (const simdjson::dom::key_value_pair member : as<simdjson::dom::object>())
            visit(member.key);
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

[[noreturn]] void Fail(const std::string& place, const std::string& reason)
{
    throw Failure { place, reason };
}

std::string memberPlace(const std::string& place, const char* key)
{
    return place + "." + key;
}

std::string itemPlace(const std::string& place, size_t index)
{
    return place + "[" + std::to_string(index) + "]";
}

std::string quote(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

// Rejects keys outside `allowed`, so a misspelt key is reported instead of ignored. Of
// several unknown keys the first in byte order is named, whatever their order in the
// document.
void checkKeys(const Value& object, const std::string& place, std::initializer_list<const char*> allowed)
{
    if (!object.isObject())
        Fail(place, "expected an object");
    std::optional<std::string_view> unknown;
    object.forEachKey([&](std::string_view key) {
        const bool known = std::any_of(allowed.begin(), allowed.end(), [&](const char* name) { return key == name; });
        if (!known && (!unknown || key < *unknown))
            unknown = key;
    });
    if (unknown) {
        std::string list;
        for (const char* key : allowed)
            list += (list.empty() ? "" : ", ") + std::string(key);
        const std::string key(*unknown);
        Fail(memberPlace(place, key.c_str()), "unknown key " + quote(key) + " (allowed here: " + list + ")");
    }
}

Value require(const Value& object, const char* key, const std::string& place)
{
    std::optional<Value> member = object.find(key);
    if (!member)
        Fail(place, std::string("the key '") + key + "' is missing");
    return *member;
}

std::optional<Value> optionalMember(const Value& object, const char* key)
{
    return object.find(key);
}

std::string textValue(const Value& value, const std::string& place)
{
    if (!value.isString())
        Fail(place, "expected a text");
    return std::string(value.text());
}

std::vector<Value> arrayValue(const Value& value, const std::string& place)
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
    value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * base + digit;
    }
    return true;
}

// A number that is a JSON integer or a "0x..." text; negative numbers down to -2^31 are
// taken as their 32-bit two's complement (-601 is 0xFFFFFDA7).
uint32_t codeValue(const Value& value, const std::string& place, uint32_t max)
{
    int64_t number = 0;
    if (value.isInteger()) {
        number = value.integer();
        if (value.isUnsigned() && value.unsignedValue() > 0xFFFFFFFFull)
            Fail(place, "the code does not fit in 32 bits");
    } else if (value.isString()) {
        uint64_t parsed = 0;
        const std::string text(value.text());
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
uint32_t objectIDText(const std::string& text, const std::string& place)
{
    uint64_t id = 0;
    if (!parseNumberText(text, id))
        Fail(place, "expected an object ID (hexadecimal \"0x...\" or decimal), not " + quote(text));
    if (id == 0 || id > 0xFFFFFFFFull)
        Fail(place, "an object ID must be between 1 and 0xFFFFFFFF");
    return static_cast<uint32_t>(id);
}

// An object ID: a number, or a hexadecimal ("0x...") or decimal text; 1 to 0xFFFFFFFF.
uint32_t objectID(const Value& value, const std::string& place)
{
    if (value.isString())
        return objectIDText(std::string(value.text()), place);
    if (!value.isUnsigned())
        Fail(place, "expected an object ID");
    const uint64_t id = value.unsignedValue();
    if (id == 0 || id > 0xFFFFFFFFull)
        Fail(place, "an object ID must be between 1 and 0xFFFFFFFF");
    return static_cast<uint32_t>(id);
}

// RIGHTS: letters of R W C E A F M S in any order and case, or a number / "0x..." text.
uint16_t rightsValue(const Value& value, const std::string& place, bool irm)
{
    const uint32_t max = irm ? 0xFF : 0xFFFF;
    uint64_t mask = 0;
    if (value.isUnsigned()) {
        mask = value.unsignedValue();
    } else if (value.isString()) {
        const std::string text(value.text());
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            if (!parseNumberText(text, mask))
                Fail(place, "expected rights, not " + quote(text));
        } else {
            static const char letters[] = "RWCEAFMS";
            static const uint16_t bits[] = { 0x01, 0x02, 0x08, 0x10, 0x20, 0x40, 0x80, 0x100 };
            for (char c : text) {
                const char* found = c ? std::strchr(letters, UpperAscii(std::string(1, c))[0]) : nullptr;
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

bool badNameChar(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || std::strchr("\\/:*?", c) != nullptr;
}

void checkName(const std::string& name, size_t maxLength, const std::string& place, const char* what)
{
    if (name.empty())
        Fail(place, std::string("the ") + what + " is empty");
    if (Utf8Length(name) > maxLength) // characters, not bytes: 255 x "é" is a valid long name
        Fail(place, Format("the %s %s is longer than %zu characters", what, quote(name).c_str(), maxLength));
    if (std::any_of(name.begin(), name.end(), badNameChar))
        Fail(place,
            std::string("the ") + what + " " + quote(name) + R"( contains one of \ / : * ? or a control character)");
}

class Reader {
public:
    explicit Reader(Network& net)
        : m_net(net)
    {
    }

    void read(const Value& doc)
    {
        const std::string top = "$";
        checkKeys(doc, top, { "grantwise-network", "workstation", "trees", "servers" });
        const Value& version = require(doc, "grantwise-network", top);
        if (!version.isInteger() || version.integer() != 1)
            Fail(memberPlace(top, "grantwise-network"), "the format version must be 1");
        checkGeneratedSize(doc);
        readTrees(require(doc, "trees", top), memberPlace(top, "trees"));
        readServers(require(doc, "servers", top), memberPlace(top, "servers"));
        const std::optional<Value> workstation = optionalMember(doc, "workstation");
        readWorkstation(workstation ? *workstation : Value(), memberPlace(top, "workstation"));
    }

private:
    // A place in the document during the walk of checkGeneratedSize, rendered only for a
    // message: a member of its parent (key) or an item (index).
    struct PlaceLink {
        const PlaceLink* parent;
        const char* key;
        size_t index;
        std::string render() const
        {
            const std::string above = parent ? parent->render() : "$";
            return key ? memberPlace(above, key) : itemPlace(above, index);
        }
    };

    // What the generate keys of the whole description ask for, before anything is made:
    // a description of a few lines must not make the programs build 20 million entries
    // (or a million users) per key before it is refused. The sums count against
    // maxNetworkEntries (the generator checks the listed entries beside them again) and
    // maxGeneratedObjects; the message names the key that passes the limit.
    void checkGeneratedSize(const Value& doc)
    {
        const std::optional<Value> servers = optionalMember(doc, "servers");
        if (!servers || !servers->isArray())
            return;
        const PlaceLink top { nullptr, "servers", 0 };
        uint64_t entries = 0, objects = 0;
        const std::vector<Value> serverList = servers->elements();
        for (size_t s = 0; s < serverList.size(); ++s) {
            const std::optional<Value> volumes
                = serverList[s].isObject() ? optionalMember(serverList[s], "volumes") : std::nullopt;
            if (!volumes || !volumes->isArray())
                continue;
            const PlaceLink server { &top, nullptr, s };
            const PlaceLink list { &server, "volumes", 0 };
            const std::vector<Value> volumeList = volumes->elements();
            for (size_t v = 0; v < volumeList.size(); ++v) {
                const PlaceLink volume { &list, nullptr, v };
                plannedSize(volumeList[v], volume, entries, objects);
            }
        }
    }

    static void plannedSize(
        const Value& node, const PlaceLink& at, uint64_t& entries, uint64_t& objects, size_t depth = 0)
    {
        // Each level adds at least two characters to a DOS path of at most 255, so
        // anything deeper is refused by the reading proper; stopping here keeps the
        // recursion short on a hostile nesting.
        if (!node.isObject() || depth > maxDosPath / 2)
            return;
        if (const std::optional<Value> generate = optionalMember(node, "generate"); generate && generate->isObject()) {
            const PlaceLink generateAt { &at, "generate", 0 };
            const GenerateOptions options = readGenerate(*generate, generateAt.render());
            const uint64_t count = GeneratedEntryCount(options);
            entries = count > UINT64_MAX - entries ? UINT64_MAX : entries + count;
            if (entries > maxNetworkEntries)
                Fail(generateAt.render(),
                    Format("the generate keys of this description ask for %llu entries in all; at most %llu",
                        static_cast<unsigned long long>(entries), static_cast<unsigned long long>(maxNetworkEntries)));
            objects += uint64_t(options.users) + options.groups;
            if (objects > maxGeneratedObjects)
                Fail(generateAt.render(),
                    Format("the generate keys of this description make %llu users and groups in all; at most %llu",
                        static_cast<unsigned long long>(objects),
                        static_cast<unsigned long long>(maxGeneratedObjects)));
        }
        const std::optional<Value> children = optionalMember(node, "entries");
        if (!children || !children->isArray())
            return;
        const PlaceLink list { &at, "entries", 0 };
        const std::vector<Value> childList = children->elements();
        for (size_t i = 0; i < childList.size(); ++i)
            plannedSize(childList[i], PlaceLink { &list, nullptr, i }, entries, objects, depth + 1);
    }

    void readTrees(const Value& treesValue, const std::string& place)
    {
        const std::vector<Value> trees = arrayValue(treesValue, place);
        for (size_t i = 0; i < trees.size(); ++i) {
            const std::string at = itemPlace(place, i);
            checkKeys(trees[i], at, { "name", "objects" });
            NetTree tree;
            tree.name = textValue(require(trees[i], "name", at), memberPlace(at, "name"));
            checkName(tree.name, maxTreeName, memberPlace(at, "name"), "tree name");
            if (m_net.findTree(tree.name))
                Fail(memberPlace(at, "name"), "the tree " + quote(tree.name) + " is declared twice");
            if (const std::optional<Value> objects = optionalMember(trees[i], "objects")) {
                const std::string objectsAt = memberPlace(at, "objects");
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
    static void readObjects(NetTree& tree, const std::vector<Value>& objects, const std::string& place)
    {
        std::vector<bool> fixed(objects.size(), false);
        for (size_t k = 0; k < objects.size(); ++k) {
            const std::string at = itemPlace(place, k);
            const Value& object = objects[k];
            checkKeys(object, at, { "name", "id", "class", "member-of", "security-equals" });
            DsName name;
            const std::string text = textValue(require(object, "name", at), memberPlace(at, "name"));
            if (const std::string error = ParseDsName(text, name); !error.empty())
                Fail(memberPlace(at, "name"), error);
            if (tree.byKey.count(name.key()))
                Fail(memberPlace(at, "name"), "the object " + quote(text) + " is declared twice in the tree");
            uint32_t id = 0;
            if (const std::optional<Value> idValue = optionalMember(object, "id")) {
                id = objectID(*idValue, memberPlace(at, "id"));
                if (tree.byID.count(id))
                    Fail(memberPlace(at, "id"), Format("the ID 0x%08X is given to two objects", id));
                fixed[k] = true;
            }
            NetObjectClass objectClass = DefaultObjectClass(name);
            if (const std::optional<Value> classValue = optionalMember(object, "class"))
                objectClass = ObjectClass(*classValue, memberPlace(at, "class"));
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
            const std::string at = itemPlace(place, k);
            NetObject& object = tree.objects[k];
            object.listBegin = static_cast<uint32_t>(tree.listItems.size());
            object.memberOfCount = readObjectList(tree, objects[k], "member-of", at);
            object.securityEqualsCount = readObjectList(tree, objects[k], "security-equals", at);
        }
    }

    static NetObjectClass ObjectClass(const Value& value, const std::string& at)
    {
        static const std::pair<const char*, NetObjectClass> classes[] = { { "user", NetObjectClass::User },
            { "group", NetObjectClass::Group }, { "container", NetObjectClass::Container },
            { "role", NetObjectClass::Role }, { "other", NetObjectClass::Other } };
        const std::string text = textValue(value, at);
        for (const auto& [word, objectClass] : classes)
            if (text == word)
                return objectClass;
        Fail(at, "unknown class " + quote(text) + " (classes: user, group, container, role, other)");
    }

    // One member-of or security-equals list, appended to the tree's list items; returns
    // its length. Every NAME must be an object of the tree's "objects" or a container by
    // its typed name, so that a misspelt group is an error instead of granting nothing.
    static uint16_t readObjectList(NetTree& tree, const Value& object, const char* key, const std::string& objectAt)
    {
        const std::optional<Value> listValue = optionalMember(object, key);
        if (!listValue)
            return 0;
        const std::string listAt = memberPlace(objectAt, key);
        const std::vector<Value> list = arrayValue(*listValue, listAt);
        if (list.size() > 0xFFFF)
            Fail(listAt, "at most 65535 names in one list");
        for (size_t i = 0; i < list.size(); ++i) {
            const std::string itemAt = itemPlace(listAt, i);
            const std::string text = textValue(list[i], itemAt);
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

    void readServers(const Value& serversValue, const std::string& place)
    {
        const std::vector<Value> servers = arrayValue(serversValue, place);
        if (servers.size() > maxServers)
            Fail(place, Format("at most %zu servers", maxServers));
        for (size_t i = 0; i < servers.size(); ++i) {
            const std::string at = itemPlace(place, i);
            const Value& entry = servers[i];
            checkKeys(entry, at, { "name", "tree", "fail", "volumes" });
            NetServer server;
            server.name = textValue(require(entry, "name", at), memberPlace(at, "name"));
            checkName(server.name, maxServerName, memberPlace(at, "name"), "server name");
            if (m_net.findServer(server.name))
                Fail(memberPlace(at, "name"), "the server " + quote(server.name) + " is declared twice");
            const std::string treeName = textValue(require(entry, "tree", at), memberPlace(at, "tree"));
            const auto tree = m_net.findTree(treeName);
            if (!tree)
                Fail(memberPlace(at, "tree"), "no tree is named " + quote(treeName));
            server.tree = *tree;
            if (const std::optional<Value> fail = optionalMember(entry, "fail")) {
                const std::string failAt = memberPlace(at, "fail");
                checkKeys(*fail, failAt, { "open" });
                if (const std::optional<Value> open = optionalMember(*fail, "open"))
                    server.openFailure = codeValue(*open, memberPlace(failAt, "open"), 0xFFFF);
            }
            const uint32_t serverIndex = static_cast<uint32_t>(m_net.servers.size());
            m_net.servers.push_back(std::move(server));
            const std::string volumesAt = memberPlace(at, "volumes");
            const std::vector<Value> volumes = arrayValue(require(entry, "volumes", at), volumesAt);
            for (size_t v = 0; v < volumes.size(); ++v)
                readVolume(serverIndex, volumes[v], itemPlace(volumesAt, v));
        }
    }

    void readVolume(uint32_t serverIndex, const Value& volume, const std::string& at)
    {
        checkKeys(volume, at, { "name", "owner", "irm", "trustees", "entries", "generate", "fail" });
        NetVolume vol;
        vol.name = textValue(require(volume, "name", at), memberPlace(at, "name"));
        checkName(vol.name, maxVolumeName, memberPlace(at, "name"), "volume name");
        if (m_net.findVolume(serverIndex, vol.name))
            Fail(memberPlace(at, "name"), "the volume " + quote(vol.name) + " is declared twice on this server");
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
        readDirectory(volume, vol.root, at, vol.name + ":");
    }

    // The attributes every entry has: owner, irm, trustees, fail (in this order, which is
    // the order in which names get their IDs).
    void readAttributes(const Value& node, uint32_t index, const std::string& at)
    {
        if (const std::optional<Value> owner = optionalMember(node, "owner"))
            m_net.entries[index].owner = trusteeID(*owner, memberPlace(at, "owner"));
        if (const std::optional<Value> irm = optionalMember(node, "irm"))
            m_net.entries[index].irm = static_cast<uint8_t>(rightsValue(*irm, memberPlace(at, "irm"), true));
        if (const std::optional<Value> trusteesValue = optionalMember(node, "trustees")) {
            const std::string trusteesAt = memberPlace(at, "trustees");
            const std::vector<Value> trustees = arrayValue(*trusteesValue, trusteesAt);
            if (trustees.size() > 0xFFFF)
                Fail(trusteesAt, "at most 65535 trustees per entry");
            const uint32_t begin = static_cast<uint32_t>(m_net.trustees.size());
            for (size_t t = 0; t < trustees.size(); ++t) {
                const std::string pairAt = itemPlace(trusteesAt, t);
                const std::vector<Value> pair = trustees[t].isArray() ? trustees[t].elements() : std::vector<Value>();
                if (pair.size() != 2)
                    Fail(pairAt, "expected a pair [TRUSTEE, RIGHTS]");
                const uint32_t id = trusteeID(pair[0], itemPlace(pairAt, 0));
                const uint16_t rights = rightsValue(pair[1], itemPlace(pairAt, 1), false);
                m_net.trustees.push_back({ id, rights });
            }
            m_net.entries[index].trusteeBegin = begin;
            m_net.entries[index].trusteeCount = static_cast<uint16_t>(trustees.size());
        }
        if (const std::optional<Value> fail = optionalMember(node, "fail")) {
            const std::string failAt = memberPlace(at, "fail");
            checkKeys(*fail, failAt, { "info", "search", "trustees" });
            NetEntryFailures failures;
            if (const std::optional<Value> code = optionalMember(*fail, "info"))
                failures.info = static_cast<uint16_t>(codeValue(*code, memberPlace(failAt, "info"), 0xFFFF));
            if (const std::optional<Value> code = optionalMember(*fail, "search"))
                failures.search = static_cast<uint16_t>(codeValue(*code, memberPlace(failAt, "search"), 0xFFFF));
            if (const std::optional<Value> code = optionalMember(*fail, "trustees"))
                failures.trustees = static_cast<uint16_t>(codeValue(*code, memberPlace(failAt, "trustees"), 0xFFFF));
            m_net.failures[index] = failures;
            m_net.entries[index].flags |= NetEntry::hasFailures;
        }
    }

    // TRUSTEE: a NAME (the object comes into being in the current tree) or "#ID".
    uint32_t trusteeID(const Value& value, const std::string& at)
    {
        const std::string text = textValue(value, at);
        if (!text.empty() && text[0] == '#')
            return objectIDText(text.substr(1), at);
        DsName name;
        if (const std::string error = ParseDsName(text, name); !error.empty())
            Fail(at, error);
        NetTree& tree = m_net.trees[m_tree];
        return tree.objects[tree.objectFor(name)].id;
    }

    // Reads the attributes of directory `index` and lays out its entries as one contiguous
    // range, then reads each child depth first in document order.
    void readDirectory(const Value& node, uint32_t index, const std::string& at, const std::string& dosPath)
    {
        readAttributes(node, index, at);
        if (const std::optional<Value> generate = optionalMember(node, "generate")) {
            const std::string generateAt = memberPlace(at, "generate");
            if (optionalMember(node, "entries"))
                Fail(generateAt, "a directory has either 'entries' or 'generate', not both");
            const GenerateOptions options = readGenerate(*generate, generateAt);
            try {
                GenerateSubtree(m_net, m_tree, index, dosPath.size(), options, maxDosPath);
            } catch (const GenerateFailure& failure) {
                Fail(failure.key().empty() ? generateAt : memberPlace(generateAt, failure.key().c_str()),
                    failure.what());
            }
            return;
        }
        const std::optional<Value> childrenValue = optionalMember(node, "entries");
        if (!childrenValue)
            return;
        const std::string entriesAt = memberPlace(at, "entries");
        const std::vector<Value> children = arrayValue(*childrenValue, entriesAt);
        if (children.size() > maxNetworkEntries - std::min<uint64_t>(m_net.entries.size(), maxNetworkEntries))
            Fail(entriesAt,
                Format("the description holds more than %llu entries",
                    static_cast<unsigned long long>(maxNetworkEntries)));
        const uint32_t first = static_cast<uint32_t>(m_net.entries.size());
        const uint32_t count = static_cast<uint32_t>(children.size());
        m_net.entries[index].firstChild = first;
        m_net.entries[index].childCount = count;
        m_net.entries.resize(first + count);
        nameChildren(children, index, first, entriesAt);
        const bool atRoot = m_net.entries[index].parent == NetEntry::none;
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t child = first + i;
            const std::string childAt = itemPlace(entriesAt, i);
            std::string childPath
                = dosPath + (atRoot ? "" : "\\") + std::string(Network::dosName(m_net.entries[child]));
            if (childPath.size() > maxDosPath)
                Fail(childAt,
                    Format("the DOS path %s is %zu characters long; NetWare allows at most %zu",
                        quote(childPath).c_str(), childPath.size(), maxDosPath));
            if (m_net.entries[child].flags & NetEntry::isDirectory)
                readDirectory(children[i], child, childAt, childPath);
            else
                readAttributes(children[i], child, childAt);
        }
    }

    // The options of a "generate" key; every key is optional.
    static GenerateOptions readGenerate(const Value& node, const std::string& at)
    {
        checkKeys(node, at,
            { "seed", "directories", "depth", "files", "trustees", "irm", "unknown-ids", "users", "groups", "owners",
                "context" });
        GenerateOptions options;
        if (const std::optional<Value> seed = optionalMember(node, "seed")) {
            if (!seed->isUnsigned())
                Fail(memberPlace(at, "seed"), "expected a whole number from 0 up");
            options.seed = seed->unsignedValue();
        }
        const auto count = [&](const char* key, uint32_t& value, uint32_t max) {
            if (const std::optional<Value> item = optionalMember(node, key)) {
                if (!item->isInteger() || item->integer() < 0 || item->integer() > max)
                    Fail(memberPlace(at, key), Format("expected a whole number from 0 to %u", max));
                value = static_cast<uint32_t>(item->integer());
            }
        };
        const auto share = [&](const char* key, double& value) {
            if (const std::optional<Value> item = optionalMember(node, key)) {
                if (!item->isNumber() || item->number() < 0 || item->number() > 1)
                    Fail(memberPlace(at, key), "expected a share from 0 to 1");
                value = item->number();
            }
        };
        count("directories", options.directories, 10000);
        count("depth", options.depth, 127);
        count("files", options.files, 1000000);
        count("users", options.users, 1000000);
        count("groups", options.groups, 100000);
        count("owners", options.owners, 1000000);
        share("trustees", options.trustees);
        share("irm", options.irm);
        share("unknown-ids", options.unknownIDs);
        if (options.owners > options.users)
            Fail(memberPlace(at, "owners"), Format("the owners are drawn from the users: at most %u", options.users));
        if (const std::optional<Value> context = optionalMember(node, "context")) {
            options.context = textValue(*context, memberPlace(at, "context"));
            DsName name;
            const std::string error = ParseDsName("X." + options.context, name);
            if (!error.empty() || options.context.find_first_of("=[") != std::string::npos)
                Fail(memberPlace(at, "context"),
                    "expected a typeless name such as 'Corp' or 'Staff.Corp', not " + quote(options.context));
        }
        return options;
    }

    // Long names, kinds and DOS names of the children of one directory. Explicit short
    // names and long names that are valid 8.3 names are taken first; the others get
    // generated aliases that avoid every name of the directory.
    void nameChildren(const std::vector<Value>& children, uint32_t parent, uint32_t first, const std::string& entriesAt)
    {
        std::unordered_map<std::string, uint32_t> taken; // folded name -> child number
        std::vector<std::string> longNames(children.size());
        std::vector<bool> needsAlias(children.size(), false);
        for (uint32_t i = 0; i < children.size(); ++i) {
            const Value& node = children[i];
            const std::string at = itemPlace(entriesAt, i);
            const bool isDir = node.isObject() && node.has("dir");
            if (isDir && node.has("file"))
                Fail(at, "an entry has exactly one of 'dir' and 'file'");
            if (isDir)
                checkKeys(node, at, { "dir", "short", "owner", "irm", "trustees", "entries", "generate", "fail" });
            else
                checkKeys(node, at, { "file", "short", "owner", "irm", "trustees", "fail" });
            if (isDir == node.has("file"))
                Fail(at, "an entry has exactly one of 'dir' and 'file'");
            const char* kindKey = isDir ? "dir" : "file";
            std::string& name = longNames[i];
            name = textValue(*node.find(kindKey), memberPlace(at, kindKey));
            checkName(name, maxLongName, memberPlace(at, kindKey), "name");
            if (name == "." || name == "..")
                Fail(memberPlace(at, kindKey), "'.' and '..' are not entry names");
            const auto [it, fresh] = taken.emplace(FoldName(name), i);
            if (!fresh)
                Fail(memberPlace(at, kindKey),
                    "the name " + quote(name) + " is already used in this directory by "
                        + itemPlace(entriesAt, it->second));
            NetEntry& entry = m_net.entries[first + i];
            entry.parent = parent;
            entry.flags = isDir ? NetEntry::isDirectory : 0;
            entry.longName = m_net.internName(name);
            entry.longLength = static_cast<uint16_t>(name.size());
        }
        for (uint32_t i = 0; i < children.size(); ++i) {
            const std::string at = itemPlace(entriesAt, i);
            std::string dos;
            std::string dosAt;
            if (const std::optional<Value> shortName = optionalMember(children[i], "short")) {
                dosAt = memberPlace(at, "short");
                dos = textValue(*shortName, dosAt);
                if (!IsValidDosName(dos))
                    Fail(dosAt, quote(dos) + " is not a valid 8.3 name");
            } else if (IsValidDosName(longNames[i])) {
                dos = longNames[i];
                dosAt = at;
            } else {
                needsAlias[i] = true;
                continue;
            }
            dos = UpperAscii(dos);
            const auto [it, fresh] = taken.emplace(FoldName(dos), i);
            if (!fresh && it->second != i)
                Fail(dosAt,
                    "the DOS name " + quote(dos) + " clashes with the name of " + itemPlace(entriesAt, it->second));
            setDosName(first + i, dos);
        }
        DosNameNumbers numbers; // `taken` only grows from here on
        for (uint32_t i = 0; i < children.size(); ++i) {
            if (!needsAlias[i])
                continue;
            const std::string dos = GenerateDosName(
                longNames[i], [&](const std::string& candidate) { return taken.count(FoldName(candidate)) > 0; },
                &numbers);
            if (dos.empty())
                Fail(itemPlace(entriesAt, i), "no free DOS name for " + quote(longNames[i]));
            taken.emplace(FoldName(dos), i);
            setDosName(first + i, dos);
        }
    }

    void setDosName(uint32_t index, const std::string& dos)
    {
        NetEntry& entry = m_net.entries[index];
        entry.dosLength = static_cast<uint8_t>(dos.size());
        std::memcpy(entry.dos, dos.data(), dos.size());
    }

    void readWorkstation(const Value& ws, const std::string& at)
    {
        checkKeys(ws, at, { "connections", "primary", "trustee-block-size", "error-texts", "fail" });
        if (const std::optional<Value> connectionsValue = optionalMember(ws, "connections")) {
            const std::string listAt = memberPlace(at, "connections");
            const std::vector<Value> connections = arrayValue(*connectionsValue, listAt);
            for (size_t i = 0; i < connections.size(); ++i) {
                const std::string name = textValue(connections[i], itemPlace(listAt, i));
                const auto server = m_net.findServer(name);
                if (!server)
                    Fail(itemPlace(listAt, i), "no server is named " + quote(name));
                if (std::find(m_net.connections.begin(), m_net.connections.end(), *server) != m_net.connections.end())
                    Fail(itemPlace(listAt, i), "the server " + quote(name) + " is listed twice");
                m_net.connections.push_back(*server);
            }
        } else {
            for (uint32_t i = 0; i < m_net.servers.size(); ++i)
                m_net.connections.push_back(i);
        }
        if (const std::optional<Value> primary = optionalMember(ws, "primary")) {
            if (!primary->isNull()) {
                const std::string name = textValue(*primary, memberPlace(at, "primary"));
                const auto server = m_net.findServer(name);
                if (!server
                    || std::find(m_net.connections.begin(), m_net.connections.end(), *server)
                        == m_net.connections.end())
                    Fail(memberPlace(at, "primary"), quote(name) + " is not one of the workstation's connections");
                m_net.primary = *server;
            }
        } else if (!m_net.connections.empty()) {
            m_net.primary = m_net.connections.front();
        }
        if (const std::optional<Value> size = optionalMember(ws, "trustee-block-size")) {
            if (!size->isInteger() || size->integer() < 1 || size->integer() > 20)
                Fail(memberPlace(at, "trustee-block-size"), "expected a whole number from 1 to 20");
            m_net.trusteeBlockSize = static_cast<int>(size->integer());
        }
        if (const std::optional<Value> texts = optionalMember(ws, "error-texts")) {
            if (!texts->isBoolean())
                Fail(memberPlace(at, "error-texts"), "expected true or false");
            m_net.errorTexts = texts->boolean();
        }
        if (const std::optional<Value> fail = optionalMember(ws, "fail")) {
            const std::string failAt = memberPlace(at, "fail");
            checkKeys(*fail, failAt, { "init", "context" });
            if (const std::optional<Value> code = optionalMember(*fail, "init"))
                m_net.initFailure = codeValue(*code, memberPlace(failAt, "init"), 0xFFFF);
            if (const std::optional<Value> code = optionalMember(*fail, "context"))
                m_net.contextFailure = codeValue(*code, memberPlace(failAt, "context"), 0xFFFFFFFF);
        }
    }

    Network& m_net;
    uint32_t m_tree = 0; // the tree of the server being read
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
            Fail(place(), "the key " + quote(*level.key) + " is given twice in this object");
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
// is a hundred megabytes), and the reader walks simdjson's document. simdjson does not say
// where in the text a syntax error is, nor does it refuse a key given twice, so
// - a key given twice is looked for in a walk of the parsed document before reading;
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
    if (const DuplicateKey duplicate = duplicateKey(root); !duplicate.place.empty())
        throw NetworkLoadError(
            fileName + ": " + duplicate.place + ": the key " + quote(duplicate.key) + " is given twice in this object");
    auto net = std::make_unique<Network>();
    try {
        Reader(*net).read(Value(root));
    } catch (const Failure& failure) {
        throw NetworkLoadError(fileName + ": " + failure.place + ": " + failure.reason);
    }
    net->finish();
    return net;
}
