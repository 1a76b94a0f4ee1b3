// The rules of effective rights, each deciding one answer on a small hand-made tree
// (tests/data/effective-rules.json), and a randomised check of the engine against a
// direct, slow model of the rules on generated trees.

#include "effective/EffectiveRun.h"
#include "platform/netware/NetworkLoader.h"
#include "platform/netware/NetworkReader.h"
#include "support/FakeNWClient.h"
#include "support/TestPaths.h"
#include "support/TestServices.h"
#include "util/D_Util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>

using namespace effective;

namespace {

constexpr uint16_t R = 0x01, W = 0x02, C = 0x08, E = 0x10, A = 0x20, F = 0x40, M = 0x80, S = 0x100;

// The rules tree served by the simulated library for the lifetime of the object.
class RulesTree {
public:
    explicit RulesTree(const std::string& file = TestDataPath("effective-rules.json"))
        : m_lib(LoadNetwork(file))
        , m_services(*m_lib)
    {
        EXPECT_TRUE(m_lib->loaded()) << m_lib->loadError();
    }

private:
    std::unique_ptr<SimulatedNetWare> m_lib;
    TestServices m_services;
};

const std::string V1 = "\\\\FS1\\VOL1";

// The effective rights of user at path (the first row of a map that does not walk).
uint16_t rightsAt(const std::string& user, const std::string& path)
{
    const RightsMapReport report = RunRightsMap({ { path, false } }, 0, user, { 1, "*.*", false }, false);
    EXPECT_EQ(report.rows.size(), 1u) << user << " " << path;
    EXPECT_EQ(report.rows.at(0).code, 0u) << user << " " << path;
    return report.rows.at(0).rights;
}

TEST(EffectiveRules, EachRuleDecidesOneAnswer)
{
    RulesTree tree;
    struct Case {
        const char* rule;
        const char* user;
        std::string path;
        uint16_t rights;
    };
    const Case cases[] = {
        { "an assignment replaces what is inherited", "Alice.Sales.Corp", V1 + "\\Replace\\Inner", R },
        { "an empty assignment still replaces", "Alice.Sales.Corp", V1 + "\\Replace\\Blocked", 0 },
        { "without an assignment the rights flow down", "Alice.Sales.Corp", V1 + "\\Replace\\Through",
            R | W | C | E | F },
        { "a mask filters inherited rights", "Alice.Sales.Corp", V1 + "\\Masked\\Filtered", R | F },
        { "a mask does not filter a direct assignment", "Dave.Corp", V1 + "\\Masked\\Filtered", R | W | C },
        { "S is never filtered, and means all eight", "Erin.Sales.Corp", V1 + "\\Super\\Locked",
            R | W | C | E | A | F | M | S },
        { "files have masks too", "Alice.Sales.Corp", V1 + "\\Masked\\Filtered\\report.txt", R },
        { "a file without a mask inherits", "Dave.Corp", V1 + "\\Masked\\Filtered\\open.txt", R | W | C },
        { "a file's mask keeps S", "Erin.Sales.Corp", V1 + "\\Super\\Locked\\vault.dat", 0x1FB },
        { "a group's own groups add nothing", "Alice.Sales.Corp", V1 + "\\Admin Area", 0 },
        { "security equivalence gives the equal object's rights", "Bob.Sales.Corp", V1 + "\\Alice Only", R | F },
        { "but not what the equal object has through its groups", "Bob.Sales.Corp", V1 + "\\Masked", 0 },
        { "every container above counts", "Alice.Sales.Corp", V1 + "\\Containers", R | F },
        { "only the containers above", "Dave.Corp", V1 + "\\Containers", F },
        { "[Public] and [Root] reach everyone", "Dave.Corp", V1 + "\\Everyone", R | F },
        { "an orphaned ID gives no one anything", "Alice.Sales.Corp", V1 + "\\Orphan", 0 },
        { "an object listed twice holds both masks", "Dave.Corp", V1 + "\\Twice", R | W },
        { "a mask of bit 0x04 only is an empty assignment", "Dave.Corp", V1 + "\\Twice\\Odd Bits", 0 },
        { "equivalence both ways in a cycle, one step only", "Cy1.Corp", V1 + "\\Cycle", R | W },
        { "the volume root's mask takes nothing away", "Alice.Sales.Corp", "\\\\FS1\\VOL2", R | F },
        { "a container as --user has its own set", "OU=Sales.O=Corp", V1 + "\\Containers", R | F },
        { "a group as --user has its own set", ".Staff.Sales.Corp", V1 + "\\Masked", R | W | C | E | F },
        { "a special name as --user, by the same rules ([Root] too)", "[Public]", V1 + "\\Everyone", R | F },
        { "short names reach the same entry", "Alice.Sales.Corp", "FS1\\VOL1:MASKED\\FILTERED", R | F },
    };
    for (const Case& c : cases)
        EXPECT_EQ(rightsAt(c.user, c.path), c.rights) << c.rule;
}

TEST(EffectiveRules, TheExplanationNamesEachSourceAndEveryMaskThatRemovedRights)
{
    RulesTree tree;
    RightsMapReport report
        = RunRightsMap({ { V1 + "\\Masked\\Filtered", false } }, 0, "Alice.Sales.Corp", { 1, "*.*", false }, true);
    ASSERT_EQ(report.rows.size(), 1u);
    EXPECT_EQ(report.user, ".Alice.Sales.Corp");
    ASSERT_EQ(report.rows[0].explanation.size(), 1u);
    const ExplanationItem& item = report.rows[0].explanation[0];
    EXPECT_EQ(item.relation, Relation::MemberOf);
    EXPECT_EQ(item.name, ".Staff.Sales.Corp");
    EXPECT_EQ(item.rights, R | F);
    EXPECT_EQ(item.sourcePath, V1 + "\\Masked");
    EXPECT_EQ(item.sourceRights, R | W | C | E | F);
    ASSERT_EQ(item.removals.size(), 1u);
    EXPECT_EQ(item.removals[0].path, V1 + "\\Masked\\Filtered");
    EXPECT_EQ(item.removals[0].removed, W | C | E);

    // Containers nearest first, each with its own assignment.
    report = RunRightsMap({ { V1 + "\\Containers", false } }, 0, "Alice.Sales.Corp", { 1, "*.*", false }, true);
    ASSERT_EQ(report.rows.at(0).explanation.size(), 2u);
    EXPECT_EQ(report.rows[0].explanation[0].name, ".Sales.Corp");
    EXPECT_EQ(report.rows[0].explanation[0].rights, R);
    EXPECT_EQ(report.rows[0].explanation[1].name, ".Corp");
    EXPECT_EQ(report.rows[0].explanation[1].relation, Relation::Container);
}

TEST(EffectiveRules, WhoHasAccessListsUsersByNameThenOrphanedIds)
{
    RulesTree tree;
    const AccessReport report = RunWhoHasAccess(
        { { V1 + "\\Containers", true }, { V1 + "\\Orphan" }, { V1 + "\\Masked\\Filtered\\report.txt" } }, 0);
    ASSERT_EQ(report.entries.size(), 3u);
    const auto rowsOf = [](const AccessEntry& entry) {
        std::vector<std::pair<std::string, uint16_t>> rows;
        for (const AccessRow& row : entry.rows)
            rows.emplace_back(row.name, row.rights);
        return rows;
    };
    using Rows = std::vector<std::pair<std::string, uint16_t>>;
    EXPECT_EQ(report.entries[0].path, V1 + "\\Containers");
    EXPECT_EQ(rowsOf(report.entries[0]),
        (Rows { { ".Alice.Sales.Corp", R | F }, { ".Bob.Sales.Corp", R | F }, { ".Cy1.Corp", F }, { ".Cy2.Corp", F },
            { ".Dave.Corp", F }, { ".Erin.Sales.Corp", R | F } }));
    EXPECT_EQ(rowsOf(report.entries[1]), (Rows { { "ID: [00DEAD01]", R | W | C | E | F } }));
    EXPECT_TRUE(report.entries[1].rows[0].orphaned);
    // A file: its mask filters what the group and Dave's direct assignment above pass on.
    EXPECT_EQ(rowsOf(report.entries[2]), (Rows { { ".Alice.Sales.Corp", R }, { ".Dave.Corp", R } }));
}

TEST(EffectiveRules, TheRightsMapListsTheStartAndEveryChange)
{
    RulesTree tree;
    RightsMapReport report
        = RunRightsMap({ { V1 + "\\Replace", true } }, 0, "Alice.Sales.Corp", { 2, "*.*", true }, false);
    std::vector<std::pair<std::string, uint16_t>> rows;
    for (const RightsMapRow& row : report.rows)
        rows.emplace_back(row.path, row.rights);
    using Rows = std::vector<std::pair<std::string, uint16_t>>;
    EXPECT_EQ(rows,
        (Rows { { V1 + "\\Replace", R | W | C | E | F }, { V1 + "\\Replace\\Inner", R },
            { V1 + "\\Replace\\Blocked", 0 } }));
    EXPECT_EQ(report.entriesExamined, 4u);

    // Scope files: the directories are walked for their masks but not listed; a file is
    // compared with its directory.
    report = RunRightsMap({ { V1 + "\\Masked", true } }, 0, "Alice.Sales.Corp", { 0, "*.*", true }, false);
    rows.clear();
    for (const RightsMapRow& row : report.rows)
        rows.emplace_back(row.path, row.rights);
    EXPECT_EQ(rows, (Rows { { V1 + "\\Masked", R | W | C | E | F }, { V1 + "\\Masked\\Filtered\\report.txt", R } }));
}

TEST(EffectiveRules, UnknownNamesAndUnreadableEntries)
{
    RulesTree tree;
    const WalkChoices both { 2, "*.*", true };
    for (const char* unknown : { "Alicia.Sales.Corp", "OU=Slaes.O=Corp", "Sales.Corp" }) {
        try {
            RunRightsMap({ { V1, true } }, 0, unknown, both, false);
            ADD_FAILURE() << unknown << " was accepted";
        } catch (const UnknownObjectError& e) {
            EXPECT_EQ(std::string(e.what()), "no object named '" + std::string(unknown) + "' in the tree RULES");
        }
    }
    // A start path that does not resolve is a row with its code; the others go on.
    const RightsMapReport report
        = RunRightsMap({ { V1 + "\\Missing", true }, { V1 + "\\Alice Only", true } }, 0, "Bob.Sales.Corp", both, false);
    ASSERT_EQ(report.rows.size(), 2u);
    EXPECT_EQ(report.rows[0].path, V1 + "\\Missing");
    EXPECT_EQ(report.rows[0].code, 0x899Cu);
    EXPECT_EQ(report.rows[1].rights, R | F);
    EXPECT_EQ(UnreadablePaths(report).size(), 1u);
}

TEST(EffectiveRules, WhatCannotBeReadIsNamedAndNothingBelowItIsListed)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("net.json"), R"({ "grantwise-network": 1,
  "trees": [ { "name": "T", "objects": [ { "name": "U.Corp", "class": "user" } ] } ],
  "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "VOL1", "trustees": [ ["U.Corp", "RF"] ],
    "entries": [
      { "dir": "NoTrustees", "fail": { "trustees": "0x89A8" }, "entries": [ { "dir": "Below", "trustees": [ ["U.Corp", "W"] ] } ] },
      { "dir": "NoInfo", "fail": { "info": "0x89A8" }, "entries": [ { "dir": "Hidden", "trustees": [ ["U.Corp", "W"] ] } ] },
      { "dir": "NoSearch", "fail": { "search": "0x89A8" }, "entries": [ { "dir": "Unseen" } ] },
      { "dir": "Fine", "trustees": [ ["U.Corp", "RWF"] ] } ] } ] } ] })"));
    RulesTree tree(dir.file("net.json"));
    const RightsMapReport report = RunRightsMap({ { V1, true } }, 0, "U.Corp", { 1, "*.*", true }, false);
    std::vector<std::tuple<std::string, uint16_t, uint32_t>> rows;
    for (const RightsMapRow& row : report.rows)
        rows.emplace_back(row.path, row.rights, row.code);
    using Rows = std::vector<std::tuple<std::string, uint16_t, uint32_t>>;
    EXPECT_EQ(rows,
        (Rows { { V1, R | F, 0 }, { V1 + "\\NoTrustees", 0, 0x89A8 }, { V1 + "\\NoInfo", 0, 0x89A8 },
            { V1 + "\\NoSearch", 0, 0x89A8 }, { V1 + "\\Fine", R | W | F, 0 } }));
    // Who has access: an entry whose trustees cannot be read cannot be answered for.
    const AccessReport access = RunWhoHasAccess({ { V1 + "\\NoTrustees\\Below" }, { V1 + "\\Fine" } }, 0);
    EXPECT_EQ(access.entries.at(0).code, 0x89A8u);
    EXPECT_EQ(access.entries.at(1).rows.size(), 1u);
}

TEST(EffectiveRules, AFailingDirectoryServicesCallIsAnErrorNeverAnAnswer)
{
    FakeNWClient fake;
    fake.addSampleVolume();
    fake.connTreeNames[7] = "T_______________________________";
    fake.directories["VOL1:"].children = { { "R&D", true, 0 } };
    fake.trusteeBlocks["VOL1:R&D"] = { { { FakeNWClient::trustee(0x100, R | F) } } };
    fake.addObject("CN=U.O=Corp", { 0x100, "User", {}, {} });
    TestServices services(fake);
    const std::vector<StartPath> queue { { "\\\\FS1\\VOL1\\R&D", false } };

    AccessReport access = RunWhoHasAccess(queue, 0);
    ASSERT_EQ(access.entries.at(0).code, 0u);
    ASSERT_EQ(access.entries[0].rows.size(), 1u);
    EXPECT_EQ(access.entries[0].rows[0].name, ".U.Corp");
    EXPECT_EQ(access.entries[0].rows[0].rights, R | F);
    EXPECT_EQ(RunRightsMap(queue, 0, "CN=U.O=Corp", { 1, "*.*", false }, false).rows.at(0).rights, R | F);

    for (const char* entry : { "createContext", "setContextInfo", "searchObjects", "readObjectValue", "mapNameToID" }) {
        fake.setFixedCode(entry, 0x89FF);
        access = RunWhoHasAccess(queue, 0);
        EXPECT_EQ(access.entries.at(0).code, 0x89FFu) << entry;
        EXPECT_TRUE(access.entries[0].rows.empty()) << entry;
        fake.setFixedCode(entry, 0);
    }
    for (const char* entry : { "createContext", "readObjectValue", "mapNameToID", "mapIDToName" }) {
        fake.setFixedCode(entry, 0x89FF);
        EXPECT_THROW(RunRightsMap(queue, 0, "CN=U.O=Corp", { 1, "*.*", false }, false), std::runtime_error) << entry;
        fake.setFixedCode(entry, 0);
    }
}

// ---- A direct model of the rules on random trees -----------------------------------

namespace model {

// Trustees are named by the text the description uses; the model compares them by their
// typed name, as the tree does.
struct Object {
    std::string written; // 'U3.A.Co', 'G1.Co'
    std::string typed; // 'CN=U3.OU=A.O=Co'
    std::vector<std::string> containers; // typed, nearest first
    bool user = false;
    std::vector<size_t> memberOf, equals; // indexes into the pool
};

struct Entry {
    std::string name;
    bool directory = false;
    uint8_t irm = 0xFF;
    std::vector<std::pair<size_t, uint16_t>> trustees; // pool index, rights as written
    std::vector<size_t> files, directories; // children, in document order
    size_t parent = SIZE_MAX;
};

struct Tree {
    std::vector<Object> pool; // users, groups, containers, [Root], [Public], an orphaned ID
    std::vector<Entry> entries; // [0] is the volume root
    std::string description;
};

const uint16_t rightsChoices[] = { 0x41, 0x43, 0x5B, 0xFB, 0x1FF, 0x100, 0x01, 0x02, 0x00, 0x04, 0x1DB };
const uint8_t maskChoices[] = { 0xFF, 0xFF, 0xFF, 0x41, 0x00, 0x5B, 0x43, 0x04, 0xFB, 0x7F };

Tree generateTree(std::mt19937& random)
{
    const auto below = [&](size_t n) { return static_cast<size_t>(random() % n); };
    Tree tree;
    const char* const places[][2]
        = { { "A.Co", "CN=%s.OU=A.O=Co" }, { "B.Co", "CN=%s.OU=B.O=Co" }, { "Co", "CN=%s.O=Co" } };
    const size_t users = 3 + below(5), groups = 1 + below(3);
    for (size_t u = 0; u < users + groups; ++u) {
        Object object;
        object.user = u < users;
        const std::string leaf = object.user ? "U" + std::to_string(u) : "G" + std::to_string(u - users);
        const auto& place = places[object.user ? below(3) : 2];
        object.written = leaf + "." + place[0];
        object.typed = Format(place[1], leaf.c_str());
        for (size_t dot = object.typed.find('.'); dot != std::string::npos; dot = object.typed.find('.', dot + 1))
            object.containers.push_back(object.typed.substr(dot + 1));
        tree.pool.push_back(object);
    }
    for (const char* container : { "OU=A.O=Co", "OU=B.O=Co", "O=Co" })
        tree.pool.push_back({ container, container, {}, false, {}, {} });
    tree.pool.push_back({ "[Root]", "[Root]", {}, false, {}, {} });
    tree.pool.push_back({ "[Public]", "[Public]", {}, false, {}, {} });
    tree.pool.push_back({ "#0x00DE0001", "#orphan", {}, false, {}, {} });
    const size_t listable = users + groups + 3; // objects and containers
    for (size_t o = 0; o < users + groups; ++o) {
        for (size_t k = below(3); k > 0; --k)
            tree.pool[o].memberOf.push_back(users + below(groups));
        for (size_t k = below(3) == 0 ? 1 : 0; k > 0; --k)
            tree.pool[o].equals.push_back(below(listable));
    }

    // Directories and files, at most three levels below the root.
    tree.entries.push_back({ "", true });
    for (size_t i = 0; i < tree.entries.size() && tree.entries.size() < 40; ++i) {
        size_t depth = 0;
        for (size_t p = i; tree.entries[p].parent != SIZE_MAX; p = tree.entries[p].parent)
            ++depth;
        if (!tree.entries[i].directory)
            continue;
        const size_t files = below(3), directories = depth < 3 ? below(4) : 0;
        for (size_t k = 0; k < files + directories; ++k) {
            Entry entry;
            entry.directory = k >= files;
            entry.name = entry.directory ? "D" + std::to_string(tree.entries.size())
                                         : "F" + std::to_string(tree.entries.size()) + ".TXT";
            entry.parent = i;
            const size_t index = tree.entries.size();
            (entry.directory ? tree.entries[i].directories : tree.entries[i].files).push_back(index);
            tree.entries.push_back(entry);
        }
    }
    for (Entry& entry : tree.entries) {
        entry.irm = maskChoices[below(std::size(maskChoices))];
        for (size_t k = below(4) == 0 ? 1 + below(3) : 0; k > 0; --k)
            entry.trustees.emplace_back(below(tree.pool.size()), rightsChoices[below(std::size(rightsChoices))]);
    }

    // The description.
    std::string& d = tree.description;
    d = R"({ "grantwise-network": 1, "trees": [ { "name": "T", "objects": [ )";
    for (size_t o = 0; o < users + groups; ++o) {
        const Object& object = tree.pool[o];
        d += std::string(o ? ", " : "") + R"({ "name": ")" + object.written + R"(", "class": ")"
            + (object.user ? "user" : "group") + R"(", "member-of": [)";
        for (size_t k = 0; k < object.memberOf.size(); ++k)
            d += std::string(k ? ", " : "") + "\"" + tree.pool[object.memberOf[k]].written + "\"";
        d += R"(], "security-equals": [)";
        for (size_t k = 0; k < object.equals.size(); ++k)
            d += std::string(k ? ", " : "") + "\"" + tree.pool[object.equals[k]].written + "\"";
        d += "] }";
    }
    d += R"( ] } ], "servers": [ { "name": "FS1", "tree": "T", "volumes": [ )";
    const std::function<void(size_t)> write = [&](size_t i) {
        const Entry& entry = tree.entries[i];
        d += i == 0 ? R"({ "name": "VOL1")"
                    : std::string(R"({ ")") + (entry.directory ? "dir" : "file") + R"(": ")" + entry.name + "\"";
        d += Format(R"(, "irm": %u, "trustees": [)", entry.irm);
        for (size_t k = 0; k < entry.trustees.size(); ++k)
            d += Format(R"(%s["%s", %u])", k ? ", " : "", tree.pool[entry.trustees[k].first].written.c_str(),
                entry.trustees[k].second);
        d += "]";
        if (entry.directory) {
            d += R"(, "entries": [)";
            bool first = true;
            for (const auto* list : { &entry.files, &entry.directories })
                for (size_t child : *list) {
                    d += first ? "" : ", ";
                    first = false;
                    write(child);
                }
            d += "]";
        }
        d += " }";
    };
    write(0);
    d += " ] } ] }";
    return tree;
}

// r(O, E) straight from its definition.
uint16_t assignedRights(const Tree& tree, const std::string& typed, size_t entry)
{
    bool present = false;
    uint16_t assigned = 0;
    for (const auto& [object, rights] : tree.entries[entry].trustees)
        if (tree.pool[object].typed == typed) {
            present = true;
            assigned |= rights;
        }
    if (present)
        return assigned & 0x1FB;
    if (tree.entries[entry].parent == SIZE_MAX)
        return 0;
    const uint16_t above = assignedRights(tree, typed, tree.entries[entry].parent);
    return static_cast<uint16_t>((above & tree.entries[entry].irm & 0x1FB) | (above & 0x100));
}

uint16_t modelEffective(const Tree& tree, size_t user, size_t entry)
{
    const Object& object = tree.pool[user];
    std::vector<std::string> set { object.typed };
    for (size_t g : object.memberOf)
        set.push_back(tree.pool[g].typed);
    for (size_t e : object.equals)
        set.push_back(tree.pool[e].typed);
    set.insert(set.end(), object.containers.begin(), object.containers.end());
    set.push_back("[Root]");
    set.push_back("[Public]");
    uint16_t all = 0;
    for (const std::string& member : set)
        all |= assignedRights(tree, member, entry);
    return (all & 0x100) ? 0x1FB : all;
}

std::string pathOfEntry(const Tree& tree, size_t entry)
{
    return tree.entries[entry].parent == SIZE_MAX
        ? V1
        : pathOfEntry(tree, tree.entries[entry].parent) + "\\" + tree.entries[entry].name;
}

// The rows of a rights map over the whole volume, scope both, in the walk's order.
void modelMapRows(const Tree& tree, size_t user, size_t dir, std::vector<std::pair<std::string, uint16_t>>& rows)
{
    const uint16_t here = modelEffective(tree, user, dir);
    if (dir == 0)
        rows.emplace_back(V1, here);
    for (size_t file : tree.entries[dir].files)
        if (modelEffective(tree, user, file) != here)
            rows.emplace_back(pathOfEntry(tree, file), modelEffective(tree, user, file));
    for (size_t sub : tree.entries[dir].directories) {
        if (modelEffective(tree, user, sub) != here)
            rows.emplace_back(pathOfEntry(tree, sub), modelEffective(tree, user, sub));
        modelMapRows(tree, user, sub, rows);
    }
}

} // namespace model

TEST(EffectiveModel, RandomTreesAgreeWithADirectModelOfTheRules)
{
    std::mt19937 random(20020315);
    for (int round = 0; round < 150; ++round) {
        const model::Tree tree = model::generateTree(random);
        auto lib = std::make_unique<SimulatedNetWare>(ReadNetwork(tree.description, "random.json"));
        TestServices services(*lib);
        SCOPED_TRACE(tree.description);
        for (size_t u = 0; u < tree.pool.size(); ++u) {
            if (!tree.pool[u].user)
                continue;
            std::vector<std::pair<std::string, uint16_t>> expected, actual;
            model::modelMapRows(tree, u, 0, expected);
            const RightsMapReport report
                = RunRightsMap({ { V1, true } }, 0, tree.pool[u].written, { 2, "*.*", true }, true);
            for (const RightsMapRow& row : report.rows) {
                actual.emplace_back(row.path, row.rights);
                // The explanation accounts for every right: its objects' rights add up.
                uint16_t explained = 0;
                for (const ExplanationItem& item : row.explanation)
                    explained |= item.rights;
                EXPECT_EQ(EffectiveRights(explained), row.rights) << row.path;
            }
            EXPECT_EQ(actual, expected) << tree.pool[u].written;
        }
        // Who has access at a few entries.
        for (size_t entry = 0; entry < tree.entries.size(); entry += 3) {
            std::vector<std::pair<std::string, uint16_t>> expected, actual;
            for (size_t u = 0; u < tree.pool.size(); ++u)
                if (tree.pool[u].user && model::modelEffective(tree, u, entry) != 0)
                    expected.emplace_back("." + tree.pool[u].written, model::modelEffective(tree, u, entry));
            std::sort(expected.begin(), expected.end());
            if (const uint16_t orphan = model::assignedRights(tree, "#orphan", entry))
                expected.emplace_back("ID: [00DE0001]", (orphan & 0x100) ? 0x1FB : orphan);
            const AccessReport report = RunWhoHasAccess({ { model::pathOfEntry(tree, entry) } }, 0);
            ASSERT_EQ(report.entries.at(0).code, 0u);
            for (const AccessRow& row : report.entries[0].rows)
                actual.emplace_back(row.name, row.rights);
            EXPECT_EQ(actual, expected) << model::pathOfEntry(tree, entry);
        }
    }
}

} // namespace
