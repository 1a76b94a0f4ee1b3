#include "platform/netware/DosNames.h"
#include "platform/netware/NetworkGenerator.h"
#include "platform/netware/NetworkReader.h"
#include "support/NetworkLoadError.h"
#include "util/D_Util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string G = "$.servers[0].volumes[0].entries[0].generate";

// A description whose volume VOL1 holds one directory "Data" generated with `options`
// (the inside of the "generate" object), and a listed file beside it.
std::string described(const std::string& options, const std::string& dirExtras = "")
{
    return R"({ "grantwise-network": 1,
  "trees": [ { "name": "T", "objects": [ { "name": "Admin.Corp", "id": "0x8001" } ] } ],
  "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "VOL1", "entries": [
    { "dir": "Data", "owner": "Admin.Corp")"
        + dirExtras + R"(, "generate": { )" + options + R"( } },
    { "file": "readme.txt" } ] } ] } ] })";
}

// Everything about an entry that a client can see, in one text.
std::string fingerprint(const Network& net, uint32_t index)
{
    const NetEntry& e = net.entries[index];
    std::string out = std::string(net.longName(e)) + "|" + std::string(Network::dosName(e)) + "|"
        + std::to_string(e.parent) + "|" + std::to_string(e.owner) + "|" + std::to_string(e.irm) + "|"
        + std::to_string(e.flags);
    for (uint32_t t = 0; t < e.trusteeCount; ++t) {
        const NetTrustee& trustee = net.trustees[e.trusteeBegin + t];
        out += "|" + std::to_string(trustee.objectID) + ":" + std::to_string(trustee.rights);
    }
    return out;
}

std::vector<std::string> fingerprints(const Network& net)
{
    std::vector<std::string> out;
    for (uint32_t i = 0; i < net.entries.size(); ++i)
        out.push_back(fingerprint(net, i));
    return out;
}

const std::string Shape = R"("seed": 7, "directories": 3, "depth": 3, "files": 5, "users": 40, "groups": 6,
    "owners": 10, "trustees": 0.5, "irm": 0.3, "unknown-ids": 0.2)";

} // namespace

TEST(NetworkGenerator, TheSameOptionsGiveTheSameNetworkAndAnotherSeedAnother)
{
    const auto a = ReadNetwork(described(Shape), "a.json");
    const auto b = ReadNetwork(described(Shape), "b.json");
    EXPECT_EQ(fingerprints(*a), fingerprints(*b));
    ASSERT_EQ(a->trees[0].objects.size(), b->trees[0].objects.size());
    for (size_t i = 0; i < a->trees[0].objects.size(); ++i) {
        EXPECT_EQ(a->trees[0].objects[i].typedName, b->trees[0].objects[i].typedName);
        EXPECT_EQ(a->trees[0].objects[i].id, b->trees[0].objects[i].id);
    }

    std::string other = Shape;
    other.replace(other.find("7"), 1, "8");
    const auto c = ReadNetwork(described(other), "c.json");
    ASSERT_EQ(c->entries.size(), a->entries.size());
    EXPECT_NE(fingerprints(*c), fingerprints(*a));
}

TEST(NetworkGenerator, CountsNamesTrusteesMasksAndOwnersFollowTheOptions)
{
    const auto net = ReadNetwork(described(Shape), "net.json");
    GenerateOptions options;
    options.directories = 3;
    options.depth = 3;
    options.files = 5;
    // 5 files + 3 * 6 + 9 * 6 + 27 * 6 = 239 below "Data".
    ASSERT_EQ(GeneratedEntryCount(options), 239u);
    // The volume root, "Data", the generated entries and "readme.txt".
    ASSERT_EQ(net->entries.size(), 1u + 1u + 239u + 1u);

    const uint32_t root = net->servers[0].volumes[0].root;
    const uint32_t data = net->findChild(root, "data");
    ASSERT_NE(data, NetEntry::none);
    EXPECT_EQ(net->entries[data].owner, 0x8001u) << "the generating directory keeps its own owner";
    EXPECT_EQ(net->findChild(root, "README.TXT"), data + 1) << "the listed sibling follows the generating directory";

    const NetTree& tree = net->trees[0];
    size_t directories = 0, files = 0, withTrustees = 0, filtering = 0, unknown = 0, publicTrustee = 0, groups = 0;
    std::set<uint32_t> owners;
    bool blanks = false, lowerCase = false, upperCase = false, validAsIs = false;
    // Every directory below "Data", walked through the child ranges.
    std::vector<std::pair<uint32_t, int>> pending { { data, 0 } };
    while (!pending.empty()) {
        const auto [dir, level] = pending.back();
        pending.pop_back();
        const NetEntry& d = net->entries[dir];
        uint32_t subdirectories = 0;
        std::set<std::string> folded;
        for (uint32_t i = d.firstChild; i < d.firstChild + d.childCount; ++i) {
            const NetEntry& e = net->entries[i];
            const std::string longName(net->longName(e));
            const std::string dos(Network::dosName(e));
            EXPECT_EQ(e.parent, dir);
            EXPECT_TRUE(IsValidDosName(dos)) << dos;
            EXPECT_EQ(net->findChild(dir, longName), i) << longName;
            EXPECT_EQ(net->findChild(dir, dos), i) << dos;
            // Long and DOS names of one directory never clash.
            EXPECT_TRUE(folded.insert(UpperAscii(longName)).second) << longName;
            if (UpperAscii(longName) != dos) {
                EXPECT_TRUE(folded.insert(dos).second) << dos;
            }
            blanks = blanks || longName.find(' ') != std::string::npos;
            lowerCase = lowerCase || std::any_of(longName.begin(), longName.end(), ::islower);
            upperCase = upperCase || std::any_of(longName.begin(), longName.end(), ::isupper);
            validAsIs = validAsIs || IsValidDosName(longName);
            if (IsValidDosName(longName)) {
                EXPECT_EQ(dos, UpperAscii(longName));
            }
            const bool isDirectory = (e.flags & NetEntry::isDirectory) != 0;
            if (isDirectory) {
                ++directories;
                ++subdirectories;
                pending.push_back({ i, level + 1 });
                if ((e.irm & 0xFB) != 0xFB)
                    ++filtering;
            } else {
                ++files;
                EXPECT_EQ(e.irm, 0xFF);
                EXPECT_EQ(e.childCount, 0u);
            }
            owners.insert(e.owner);
            EXPECT_LE(e.trusteeCount, 3u);
            withTrustees += e.trusteeCount > 0;
            std::set<uint32_t> ids;
            for (uint32_t t = 0; t < e.trusteeCount; ++t) {
                const uint32_t id = net->trustees[e.trusteeBegin + t].objectID;
                EXPECT_TRUE(ids.insert(id).second) << "one assignment per trustee and entry";
                const NetObject* object = tree.findID(id);
                if (!object)
                    ++unknown;
                else if (object->typedName == "[Public]")
                    ++publicTrustee;
                else if (object->typedName.find("OU=Groups") != std::string::npos)
                    ++groups;
            }
        }
        EXPECT_EQ(subdirectories, level < 3 ? 3u : 0u);
        EXPECT_EQ(d.childCount - subdirectories, 5u);
    }
    EXPECT_EQ(directories, 39u);
    EXPECT_EQ(files, 200u);
    // Shares: about half of the 239 entries have trustees, about 30 % of 39 directories
    // filter rights (fixed by the seed; the bounds leave room for any seed).
    EXPECT_GT(withTrustees, 80u);
    EXPECT_LT(withTrustees, 160u);
    EXPECT_GT(filtering, 3u);
    EXPECT_LT(filtering, 25u);
    EXPECT_GT(unknown, 0u);
    EXPECT_GT(publicTrustee, 0u);
    EXPECT_GT(groups, 0u);
    EXPECT_LE(owners.size(), 10u);
    EXPECT_GT(owners.size(), 5u);
    EXPECT_TRUE(blanks && lowerCase && upperCase && validAsIs);
    // Admin.Corp, 40 users, 6 groups and [Public].
    EXPECT_EQ(tree.objects.size(), 1u + 40u + 6u + 1u);
}

TEST(NetworkGenerator, ManyNamesAlikeInOneDirectoryGetDistinctAliases)
{
    // 3,000 files in one directory: most long names share the first six characters and
    // an extension with many others, so their aliases run far up the numbers.
    const auto net = ReadNetwork(described(R"("seed": 3, "depth": 0, "files": 3000)"), "many.json");
    const uint32_t data = net->findChild(net->servers[0].volumes[0].root, "DATA");
    ASSERT_NE(data, NetEntry::none);
    const NetEntry& d = net->entries[data];
    ASSERT_EQ(d.childCount, 3000u);
    std::set<std::string> folded;
    size_t aliases = 0;
    for (uint32_t i = d.firstChild; i < d.firstChild + d.childCount; ++i) {
        const std::string longName(net->longName(net->entries[i]));
        const std::string dos(Network::dosName(net->entries[i]));
        EXPECT_TRUE(IsValidDosName(dos)) << dos;
        EXPECT_TRUE(folded.insert(UpperAscii(longName)).second) << longName;
        if (UpperAscii(longName) != dos) {
            ++aliases;
            EXPECT_TRUE(folded.insert(dos).second) << dos << " for " << longName;
        }
        EXPECT_EQ(net->findChild(data, dos), i) << dos;
        EXPECT_EQ(net->findChild(data, longName), i) << longName;
    }
    EXPECT_GT(aliases, 1500u);
}

TEST(NetworkGenerator, AVolumeRootCanBeGeneratedAndEmptyShapesGiveNoEntries)
{
    const auto net = ReadNetwork(R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ],
      "servers": [ { "name": "FS1", "tree": "T", "volumes": [
        { "name": "VOL1", "generate": { "directories": 2, "depth": 1, "files": 1, "owners": 0, "trustees": 0 } },
        { "name": "VOL2", "generate": { "directories": 0, "files": 0 } } ] } ] })",
        "net.json");
    const NetEntry& root = net->entries[net->servers[0].volumes[0].root];
    EXPECT_EQ(root.childCount, 3u);
    for (uint32_t i = 0; i < net->entries.size(); ++i) {
        EXPECT_EQ(net->entries[i].owner, 0u);
        EXPECT_EQ(net->entries[i].trusteeCount, 0u);
    }
    EXPECT_EQ(net->entries[net->servers[0].volumes[1].root].childCount, 0u);
    EXPECT_EQ(net->entries.size(), 2u + 5u); // VOL1: 2 directories and 3 files
}

TEST(NetworkGenerator, KeysAreCheckedLikeEveryOtherKey)
{
    struct Case {
        std::string options;
        std::string message;
    };
    const std::vector<Case> cases = {
        { R"("levels": 3)",
            G
                + ".levels: unknown key 'levels' (allowed here: seed, directories, depth, files, trustees, irm, "
                  "unknown-ids, users, groups, owners, context)" },
        { R"("seed": -1)", G + ".seed: expected a whole number from 0 up" },
        { R"("seed": "7")", G + ".seed: expected a whole number from 0 up" },
        { R"("directories": 10001)", G + ".directories: expected a whole number from 0 to 10000" },
        { R"("depth": -1)", G + ".depth: expected a whole number from 0 to 127" },
        { R"("files": 2.5)", G + ".files: expected a whole number from 0 to 1000000" },
        { R"("users": "many")", G + ".users: expected a whole number from 0 to 1000000" },
        { R"("trustees": 1.5)", G + ".trustees: expected a share from 0 to 1" },
        { R"("irm": "half")", G + ".irm: expected a share from 0 to 1" },
        { R"("unknown-ids": -0.1)", G + ".unknown-ids: expected a share from 0 to 1" },
        { R"("users": 5, "owners": 6)", G + ".owners: the owners are drawn from the users: at most 5" },
        { R"("context": "O=Corp")",
            G + ".context: expected a typeless name such as 'Corp' or 'Staff.Corp', not 'O=Corp'" },
        { R"("context": "")", G + ".context: expected a typeless name such as 'Corp' or 'Staff.Corp', not ''" },
        { R"("directories": 10, "depth": 8, "files": 10)",
            G + ": the generate keys of this description ask for 1222222220 entries in all; at most 20000000" },
        { R"("directories": 1, "depth": 40, "files": 0)",
            G + ".depth: the generated tree reaches a DOS path of 257 characters; NetWare allows at most 255" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(NetworkLoadErrorOf(described(c.options)), "net.json: " + c.message) << c.options;

    // The caps hold for the whole description, not for each key: 40 volumes of half a
    // million generated entries each (a description of 4 KB asking for 20 million),
    // and two keys of a million users each, are refused at the key that passes them,
    // before anything is made.
    std::string volumes;
    for (int v = 0; v < 40; ++v)
        volumes += Format(
            R"(%s{ "name": "V%d", "generate": { "directories": 1000, "depth": 1, "files": 499 } })", v ? ", " : "", v);
    EXPECT_EQ(
        NetworkLoadErrorOf(R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "FS1",
        "tree": "T", "volumes": [ )"
            + volumes + " ] } ] }"),
        "net.json: $.servers[0].volumes[39].generate: the generate keys of this description ask for 20019960 entries "
        "in all; at most 20000000");
    EXPECT_EQ(
        NetworkLoadErrorOf(R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "FS1",
        "tree": "T", "volumes": [ { "name": "A", "generate": { "users": 1000000, "files": 1 } },
        { "name": "B", "entries": [ { "dir": "X", "generate": { "users": 1000000, "groups": 0, "files": 1 } } ] } ] } ] })"),
        "net.json: $.servers[0].volumes[1].entries[0].generate: the generate keys of this description make 2000010 "
        "users and groups in all; at most 1100000");

    EXPECT_EQ(NetworkLoadErrorOf(described("", R"(, "entries": [])")),
        "net.json: " + G + ": a directory has either 'entries' or 'generate', not both");
    EXPECT_EQ(
        NetworkLoadErrorOf(R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "FS1",
        "tree": "T", "volumes": [ { "name": "VOL1", "entries": [ { "file": "F", "generate": {} } ] } ] } ] })"),
        "net.json: $.servers[0].volumes[0].entries[0].generate: unknown key 'generate' (allowed here: file, short, "
        "owner, irm, trustees, fail)");
    EXPECT_EQ(NetworkLoadErrorOf(described(R"("seed": 3)")), "(loaded)");
}
