#include "platform/netware/NetworkLoader.h"
#include "platform/netware/NetworkReader.h"
#include "support/FileFaults.h"
#include "support/NetworkLoadError.h"
#include "support/TestPaths.h"
#include "util/CaseFold.h"
#include "util/D_Util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace {

// A description with one server FS1 (tree T) whose volume VOL1 holds `entries`.
std::string networkWith(
    const std::string& entries, const std::string& workstation = "{}", const std::string& objects = "[]")
{
    return R"({ "grantwise-network": 1, "workstation": )" + workstation + R"(,
  "trees": [ { "name": "T", "objects": )"
        + objects + R"( } ],
  "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "VOL1", "entries": [ )"
        + entries + R"( ] } ] } ] })";
}

const std::string V = "$.servers[0].volumes[0]";

struct Case {
    const char* what;
    std::string text;
    std::string message;
};

TEST(NetworkReader, EachUnusableDescriptionNamesThePlaceAndTheReason)
{
    const std::string deep = [] {
        // Nested directories whose DOS path VOL1:DNNNNNNN\... passes 255 characters at the 28th level.
        std::string open, close;
        for (int i = 0; i < 40; ++i) {
            open += Format(R"({ "dir": "D%07d", "entries": [ )", i);
            close += " ] }";
        }
        return open + close;
    }();
    std::string deepPlace = V;
    for (int i = 0; i < 28; ++i)
        deepPlace += ".entries[0]";

    const std::vector<Case> cases = {
        { "not an object", "[1, 2]", "net.json: $: expected an object" },
        { "unknown top-level key", R"({ "grantwise-network": 1, "trees": [], "servers": [], "generate": {} })",
            "net.json: $.generate: unknown key 'generate' (allowed here: grantwise-network, workstation, trees, "
            "servers)" },
        { "duplicate top-level key", R"({ "grantwise-network": 1, "trees": [], "servers": [], "trees": [] })",
            "net.json: $.trees: the key 'trees' is given twice in this object" },
        { "duplicate trustees",
            networkWith(R"({ "file": "A" }, { "dir": "B", "trustees": [ ["X.Corp", "R"] ], "owner": "X.Corp",
            "trustees": [ ["Y.Corp", "RF"] ] })"),
            "net.json: " + V + ".entries[1].trustees: the key 'trustees' is given twice in this object" },
        { "version", R"({ "grantwise-network": "1", "trees": [], "servers": [] })",
            "net.json: $.grantwise-network: the format version must be 1" },
        { "missing servers", R"({ "grantwise-network": 1, "trees": [] })",
            "net.json: $: the key 'servers' is missing" },
        { "trees not a list", R"({ "grantwise-network": 1, "trees": {}, "servers": [] })",
            "net.json: $.trees: expected a list" },
        { "tree name too long",
            R"({ "grantwise-network": 1, "trees": [ { "name": "ABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456" } ], "servers": [] })",
            "net.json: $.trees[0].name: the tree name 'ABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456' is longer than 32 "
            "characters" },
        { "tree twice", R"({ "grantwise-network": 1, "trees": [ { "name": "T" }, { "name": "t" } ], "servers": [] })",
            "net.json: $.trees[1].name: the tree 't' is declared twice" },
        { "object twice",
            networkWith("", "{}", R"([ { "name": "Admin.Corp", "id": 1 }, { "name": "CN=admin.O=corp", "id": 2 } ])"),
            "net.json: $.trees[0].objects[1].name: the object 'CN=admin.O=corp' is declared twice in the tree" },
        { "ID twice",
            networkWith("", "{}", R"([ { "name": "A.Corp", "id": "0x10" }, { "name": "B.Corp", "id": 16 } ])"),
            "net.json: $.trees[0].objects[1].id: the ID 0x00000010 is given to two objects" },
        { "bad ID", networkWith("", "{}", R"([ { "name": "A.Corp", "id": "0xZZ" } ])"),
            "net.json: $.trees[0].objects[0].id: expected an object ID (hexadecimal \"0x...\" or decimal), not "
            "'0xZZ'" },
        { "ID zero", networkWith("", "{}", R"([ { "name": "A.Corp", "id": 0 } ])"),
            "net.json: $.trees[0].objects[0].id: an object ID must be between 1 and 0xFFFFFFFF" },
        { "leading dot", networkWith(R"({ "dir": "D", "owner": ".Admin.Corp" })"),
            "net.json: " + V + ".entries[0].owner: the name must not begin with '.'" },
        { "unknown type", networkWith(R"({ "dir": "D", "owner": "XX=Admin.O=Corp" })"),
            "net.json: " + V + ".entries[0].owner: unknown name type 'XX=' (known: CN, OU, O, C)" },
        { "unknown special", networkWith(R"({ "dir": "D", "trustees": [ ["[Everyone]", "R"] ] })"),
            "net.json: " + V
                + ".entries[0].trustees[0][0]: unknown special name '[Everyone]' (known: [Public], [Root], "
                  "[Supervisor])" },
        { "empty part", networkWith(R"({ "dir": "D", "owner": "Admin..Corp" })"),
            "net.json: " + V + ".entries[0].owner: the name 'Admin..Corp' has an empty or malformed part" },
        { "server in unknown tree",
            R"({ "grantwise-network": 1, "trees": [], "servers": [ { "name": "FS1", "tree": "X", "volumes": [] } ] })",
            "net.json: $.servers[0].tree: no tree is named 'X'" },
        { "server name",
            R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "FS\\1", "tree": "T", "volumes": [] } ] })",
            R"(net.json: $.servers[0].name: the server name 'FS\1' contains one of \ / : * ? or a control character)" },
        { "volumes missing",
            R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "FS1", "tree": "T" } ] })",
            "net.json: $.servers[0]: the key 'volumes' is missing" },
        { "volume twice",
            R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "V" }, { "name": "v" } ] } ] })",
            "net.json: $.servers[0].volumes[1].name: the volume 'v' is declared twice on this server" },
        { "dir and file", networkWith(R"({ "dir": "D", "file": "F" })"),
            "net.json: " + V + ".entries[0]: an entry has exactly one of 'dir' and 'file'" },
        { "neither dir nor file", networkWith(R"({ "owner": "A.Corp" })"),
            "net.json: " + V + ".entries[0]: an entry has exactly one of 'dir' and 'file'" },
        { "entries on a file", networkWith(R"({ "file": "F", "entries": [] })"),
            "net.json: " + V
                + ".entries[0].entries: unknown key 'entries' (allowed here: file, short, owner, irm, trustees, "
                  "fail)" },
        { "misspelt key", networkWith(R"({ "dir": "D", "trustee": [] })"),
            "net.json: " + V
                + ".entries[0].trustee: unknown key 'trustee' (allowed here: dir, short, owner, irm, trustees, "
                  "entries, generate, fail)" },
        { "key of a volume on an entry", networkWith(R"({ "file": "F", "zz": 1, "name": "x" })"),
            "net.json: " + V
                + ".entries[0].name: unknown key 'name' (allowed here: file, short, owner, irm, trustees, fail)" },
        // Control characters in a quoted text are shown as the escapes that stand for them;
        // a NUL no longer ends the message (the place still names the key up to it).
        { "unknown key holding a NUL", networkWith(R"({ "file": "F", "a\u0000b": 1 })"),
            "net.json: " + V
                + ".entries[0].a: unknown key 'a\\u0000b' (allowed here: file, short, owner, irm, trustees, fail)" },
        { "name holding a tab", networkWith(R"({ "file": "a\tb" })"),
            "net.json: " + V
                + R"(.entries[0].file: the name 'a\u0009b' contains one of \ / : * ? or a control character)" },
        { "unknown key before a key of directories", networkWith(R"({ "file": "F", "entries": [], "aa": 1 })"),
            "net.json: " + V
                + ".entries[0].aa: unknown key 'aa' (allowed here: file, short, owner, irm, trustees, fail)" },
        { "key of an entry on a volume",
            R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "V", "dir": "D" } ] } ] })",
            "net.json: $.servers[0].volumes[0].dir: unknown key 'dir' (allowed here: name, owner, irm, trustees, "
            "entries, generate, fail)" },
        { "empty key", networkWith(R"({ "file": "F", "": 1 })"),
            "net.json: " + V + ".entries[0].: unknown key '' (allowed here: file, short, owner, irm, trustees, fail)" },
        { "short name before the long name it clashes with",
            networkWith(R"({ "file": "Plans 2002", "short": "PLANS.TXT" }, { "file": "plans.txt" })"),
            "net.json: " + V + ".entries[0].short: the DOS name 'PLANS.TXT' clashes with the name of " + V
                + ".entries[1]" },
        { "ID past 32 bits", networkWith(R"({ "dir": "D", "owner": "#0x100000000" })"),
            "net.json: " + V + ".entries[0].owner: an object ID must be between 1 and 0xFFFFFFFF" },
        { "decimal ID past 32 bits", networkWith(R"({ "dir": "D", "owner": "#4294967296" })"),
            "net.json: " + V + ".entries[0].owner: an object ID must be between 1 and 0xFFFFFFFF" },
        { "not a hexadecimal digit", networkWith(R"({ "dir": "D", "owner": "#0x00G1" })"),
            "net.json: " + V
                + ".entries[0].owner: expected an object ID (hexadecimal \"0x...\" or decimal), not '0x00G1'" },
        { "same name twice", networkWith(R"({ "dir": "Budget" }, { "file": "BUDGET" })"),
            "net.json: " + V + ".entries[1].file: the name 'BUDGET' is already used in this directory by " + V
                + ".entries[0]" },
        { "bad short", networkWith(R"({ "file": "Long name.txt", "short": "TOOLONGNAME.TXT" })"),
            "net.json: " + V + ".entries[0].short: 'TOOLONGNAME.TXT' is not a valid 8.3 name" },
        { "short clashes", networkWith(R"({ "file": "Plans.txt" }, { "dir": "Plans 2002", "short": "plans.txt" })"),
            "net.json: " + V + ".entries[1].short: the DOS name 'PLANS.TXT' clashes with the name of " + V
                + ".entries[0]" },
        { "name with colon", networkWith(R"({ "file": "a:b" })"),
            "net.json: " + V + R"(.entries[0].file: the name 'a:b' contains one of \ / : * ? or a control character)" },
        { "rights letter", networkWith(R"({ "dir": "D", "trustees": [ ["A.Corp", "RWX"] ] })"),
            "net.json: " + V + ".entries[0].trustees[0][1]: unknown rights letter 'X' (letters: R W C E A F M S)" },
        { "IRM with S", networkWith(R"({ "dir": "D", "irm": "RS" })"),
            "net.json: " + V + ".entries[0].irm: an inherited rights mask holds 8 bits (no S, nothing above 0xFF)" },
        { "rights too big", networkWith(R"({ "dir": "D", "trustees": [ ["A.Corp", 65536] ] })"),
            "net.json: " + V + ".entries[0].trustees[0][1]: trustee rights hold 16 bits (nothing above 0xFFFF)" },
        { "trustee not a pair", networkWith(R"({ "dir": "D", "trustees": [ ["A.Corp"] ] })"),
            "net.json: " + V + ".entries[0].trustees[0]: expected a pair [TRUSTEE, RIGHTS]" },
        { "bad #ID", networkWith(R"({ "dir": "D", "owner": "#12ab" })"),
            "net.json: " + V
                + ".entries[0].owner: expected an object ID (hexadecimal \"0x...\" or decimal), not '12ab'" },
        { "unknown failure", networkWith(R"({ "dir": "D", "fail": { "open": 1 } })"),
            "net.json: " + V + ".entries[0].fail.open: unknown key 'open' (allowed here: info, search, trustees)" },
        { "code zero", networkWith(R"({ "dir": "D", "fail": { "info": 0 } })"),
            "net.json: " + V + ".entries[0].fail.info: a failure code must not be 0" },
        { "code too wide", networkWith(R"({ "dir": "D", "fail": { "search": "0x189A8" } })"),
            "net.json: " + V + ".entries[0].fail.search: the code 0x189A8 does not fit in 16 bits" },
        { "code not a number", networkWith(R"({ "dir": "D", "fail": { "search": "89A8" } })"),
            "net.json: " + V + ".entries[0].fail.search: expected a code: a number or a \"0x...\" text, not '89A8'" },
        { "DOS path too long", networkWith(deep),
            "net.json: " + deepPlace
                + ": the DOS path "
                  "'VOL1:D0000000\\D0000001\\D0000002\\D0000003\\D0000004\\D0000005\\D0000006\\D0000007\\"
                  "D0000008\\D0000009\\D0000010\\D0000011\\D0000012\\D0000013\\D0000014\\D0000015\\D0000016\\D0000017\\"
                  "D0000018\\D0000019\\D0000020\\D0000021\\D0000022\\D0000023\\D0000024\\D0000025\\D0000026\\D0000027' "
                  "is 256 characters long; NetWare allows at most 255" },
        { "unknown connection", networkWith("", R"({ "connections": ["FS1", "FS9"] })"),
            "net.json: $.workstation.connections[1]: no server is named 'FS9'" },
        { "connection twice", networkWith("", R"({ "connections": ["FS1", "fs1"] })"),
            "net.json: $.workstation.connections[1]: the server 'fs1' is listed twice" },
        { "primary not connected", networkWith("", R"({ "connections": [], "primary": "FS1" })"),
            "net.json: $.workstation.primary: 'FS1' is not one of the workstation's connections" },
        { "block size", networkWith("", R"({ "trustee-block-size": 21 })"),
            "net.json: $.workstation.trustee-block-size: expected a whole number from 1 to 20" },
        { "error texts", networkWith("", R"({ "error-texts": "no" })"),
            "net.json: $.workstation.error-texts: expected true or false" },
        { "workstation failure", networkWith("", R"({ "fail": { "open": 1 } })"),
            "net.json: $.workstation.fail.open: unknown key 'open' (allowed here: init, context)" },
        { "unknown member name",
            networkWith(
                "", "{}", R"([ { "name": "A.Corp", "member-of": ["Staff.Corp"] }, { "name": "Stafff.Corp" } ])"),
            "net.json: $.trees[0].objects[0].member-of[0]: no object of the tree 'T' is named 'Staff.Corp' (a name "
            "here must be one of the tree's objects, or a container by its typed name such as 'OU=Sales.O=Corp')" },
        { "a trustee is no declared object",
            networkWith(R"({ "file": "F", "trustees": [ ["G.Corp", "R"] ] })", "{}",
                R"([ { "name": "A.Corp", "security-equals": ["G.Corp"] } ])"),
            "net.json: $.trees[0].objects[0].security-equals[0]: no object of the tree 'T' is named 'G.Corp' (a name "
            "here must be one of the tree's objects, or a container by its typed name such as 'OU=Sales.O=Corp')" },
        { "typeless container", networkWith("", "{}", R"([ { "name": "A.Sales.Corp", "member-of": ["Sales.Corp"] } ])"),
            "net.json: $.trees[0].objects[0].member-of[0]: no object of the tree 'T' is named 'Sales.Corp' (a name "
            "here must be one of the tree's objects, or a container by its typed name such as 'OU=Sales.O=Corp')" },
        { "unknown class", networkWith("", "{}", R"([ { "name": "A.Corp", "class": "printer" } ])"),
            "net.json: $.trees[0].objects[0].class: unknown class 'printer' (classes: user, group, container, role, "
            "other)" },
        { "list not a list", networkWith("", "{}", R"([ { "name": "A.Corp", "member-of": "G.Corp" } ])"),
            "net.json: $.trees[0].objects[0].member-of: expected a list" },
        { "name in a list", networkWith("", "{}", R"([ { "name": "A.Corp", "security-equals": [".B.Corp"] } ])"),
            "net.json: $.trees[0].objects[0].security-equals[0]: the name must not begin with '.'" },
        { "fixed ID twice",
            networkWith(
                "", "{}", R"([ { "name": "A.Corp", "id": 5 }, { "name": "B.Corp" }, { "name": "C.Corp", "id": 5 } ])"),
            "net.json: $.trees[0].objects[2].id: the ID 0x00000005 is given to two objects" },
        { "server failure",
            R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "S", "tree": "T", "volumes": [], "fail": { "open": 70000 } } ] })",
            "net.json: $.servers[0].fail.open: the code 0x11170 does not fit in 16 bits" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(NetworkLoadErrorOf(c.text), c.message) << c.what;
}

TEST(NetworkReader, SyntaxErrorsGiveLineAndColumn)
{
    EXPECT_EQ(NetworkLoadErrorOf("{\n  \"grantwise-network\": 1,\n  \"trees\": [ }\n}").substr(0, 34),
        "net.json: line 3, column 14: synta");
    EXPECT_EQ(NetworkLoadErrorOf("").substr(0, 28), "net.json: line 1, column 1: ");
}

TEST(NetworkReader, NumbersBeyondWhatTheParserHoldsAreAnErrorNotACrash)
{
    // Found by fuzzing: the parser's out-of-range exception left the reader.
    EXPECT_EQ(NetworkLoadErrorOf("{\n  \"grantwise-network\": 1e999 }"),
        "net.json: line 2, column 24: number overflow parsing '1e999'");
    const std::string error = NetworkLoadErrorOf(networkWith(R"({ "file": "A", "irm": -1e400 })"));
    EXPECT_EQ(error.substr(0, 30), "net.json: line 3, column 112: ") << error;
    EXPECT_EQ(error.substr(error.size() - 34), ": number overflow parsing '-1e400'") << error;
}

TEST(NetworkReader, WhatTheFastParserRefusesOrCannotTellIsReadAsBefore)
{
    const std::string E = "net.json: " + V + ".entries[0]";
    // Keys given twice: the first in document order, also inside lists and below a list.
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(R"({ "file": "A", "trustees": [ ["X", "R"] ], "owner": "X", "fail": {
        "info": 1, "info": 2 }, "owner": "Y" })")),
        E + ".fail.info: the key 'info' is given twice in this object");
    EXPECT_EQ(NetworkLoadErrorOf(R"([ 1, [ {}, { "a": 1, "b": { "c": 1, "c": 2 } } ] ])"),
        "net.json: $[1][1].b.c: the key 'c' is given twice in this object");
    std::string keys;
    for (int i = 0; i < 40; ++i)
        keys += Format(R"("k%d": %d, )", i, i);
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(R"({ "file": "A", )" + keys + R"("k7": 1 })")),
        E + ".k7: the key 'k7' is given twice in this object");
    // Of several unknown keys the first in byte order is named, whatever the document's order.
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(R"({ "zeta": 1, "file": "A", "Beta": 2, "alpha": 3 })")),
        E + ".Beta: unknown key 'Beta' (allowed here: file, short, owner, irm, trustees, fail)");
    // Nesting deeper than the fast parser's limit and integers beyond 64 bits are valid
    // JSON: the description is read, and what is wrong is said at its place.
    std::string deep;
    for (int i = 0; i < 3000; ++i)
        deep = "[" + deep + "]";
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(R"({ "file": "A", "trustees": [ [ "X", "R" ], )" + deep + " ] }")),
        E + ".trustees[1]: expected a pair [TRUSTEE, RIGHTS]");
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(R"({ "file": "A", "owner": 123456789012345678901234567890 })")),
        E + ".owner: expected a text");
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(R"({ "file": "A", "irm": 18446744073709551615 })")),
        E + ".irm: an inherited rights mask holds 8 bits (no S, nothing above 0xFF)");
    // Escaped surrogates: a pair is a character, a lone one a syntax error.
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(R"({ "file": "A\ud83d\ude00" })")), "(loaded)");
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(R"({ "file": "A\udc00" })")).substr(0, 41),
        "net.json: line 3, column 107: syntax erro");
}

TEST(NetworkReader, OfSeveralErrorsTheOneReportedStaysTheSame)
{
    // A key given twice anywhere wins, even where the reading never gets to (the
    // workstation is read last but comes first in the text), and over an error before it.
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(R"({ "file": "A", "owner": ".X" }, { "file": "B" })",
                  R"({ "error-texts": true, "error-texts": false })")),
        "net.json: $.workstation.error-texts: the key 'error-texts' is given twice in this object");
    EXPECT_EQ(NetworkLoadErrorOf(
                  networkWith(R"({ "file": "A", "irm": "Q" }, { "file": "B", "fail": { "info": 1, "info": 2 } })")),
        "net.json: " + V + ".entries[1].fail.info: the key 'info' is given twice in this object");
    // The sizes the generate keys ask for come before any other error of the reading.
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(R"({ "file": "A", "irm": "Q" },
        { "dir": "G", "generate": { "directories": 10, "depth": 8, "files": 10 } })")),
        "net.json: " + V
            + ".entries[1].generate: the generate keys of this description ask for 1222222220 entries in all; at "
              "most 20000000");
    // Names that are the same name once folded, with the folding outside ASCII (the
    // Kelvin sign is a 'k').
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(R"({ "dir": "Müller-Lüdenscheidt Akten" },
        { "file": "MÜLLER-LÜDENSCHEIDT AKTEN" })")),
        "net.json: " + V
            + ".entries[1].file: the name 'MÜLLER-LÜDENSCHEIDT AKTEN' is already used in this directory by " + V
            + ".entries[0]");
    EXPECT_EQ(
        NetworkLoadErrorOf(networkWith(R"({ "file": "Kabinettsvorlage 7" }, { "file": "\u212Aabinettsvorlage 7" })")),
        "net.json: " + V + ".entries[1].file: the name '\u212Aabinettsvorlage 7' is already used in this directory by "
            + V + ".entries[0]");
    // Listed and generated entries side by side are found by either name.
    auto net = ReadNetwork(
        networkWith(
            R"({ "dir": "Listed Folder", "entries": [ { "file": "Report 2002.doc" } ] }, { "dir": "G", "generate": { "directories": 2, "depth": 1, "files": 1 } })"),
        "n.json");
    const uint32_t root = net->servers[0].volumes[0].root;
    const uint32_t listed = net->findChild(root, "LISTED FOLDER");
    ASSERT_NE(listed, NetEntry::none);
    EXPECT_EQ(net->findChild(root, Network::dosName(net->entries[listed])), listed);
    EXPECT_NE(net->findChild(listed, "report 2002.DOC"), NetEntry::none);
    const uint32_t generated = net->findChild(root, "g");
    ASSERT_NE(generated, NetEntry::none);
    ASSERT_GT(net->entries[generated].childCount, 0u);
    const NetEntry& child = net->entries[net->entries[generated].firstChild];
    EXPECT_EQ(net->findChild(generated, net->longName(child)), net->entries[generated].firstChild);
    EXPECT_EQ(net->findChild(generated, Network::dosName(child)), net->entries[generated].firstChild);
}

TEST(Network, NamesThatAreTheSameNameHashAlikeAndOthersApart)
{
    // Pairs that are the same name: case in ASCII names of one, eight and more bytes, and
    // characters outside ASCII, also one that folds to an ASCII letter (the Kelvin sign)
    // at the end of the first eight bytes and after them, and bytes that are no UTF-8.
    const std::pair<std::string, std::string> same[]
        = { { "a", "A" }, { "Quarterly Report 2002.DOCX", "quarterly report 2002.docx" },
              { "abcdefg\u212A", "ABCDEFGK" }, { "\u212Aabinettsvorlage", "kabinettsvorlage" },
              { "Kabinettsvorlage \u212A", "KABINETTSVORLAGE k" }, { "MÜLLER-LÜDENSCHEIDT", "müller-lüdenscheidt" },
              { "a\xFF"
                "b",
                  "A\xFF"
                  "B" } };
    for (const auto& [a, b] : same) {
        ASSERT_TRUE(SameName(a, b)) << a;
        EXPECT_EQ(Network::hashKey(7, a), Network::hashKey(7, b)) << a;
    }
    // Names alike in their first eight bytes or in all but their case-folded form stay apart.
    std::unordered_set<uint64_t> hashes;
    for (int i = 0; i < 20000; ++i)
        hashes.insert(Network::hashKey(7, Format("Report %06d.txt", i)));
    hashes.insert(Network::hashKey(7, "Report 000001.tx"));
    hashes.insert(Network::hashKey(7, "Report 000001.tx\xC3"));
    EXPECT_EQ(hashes.size(), 20002u);
}

TEST(NetworkReader, ValidDescriptionsLoad)
{
    // 27 levels make a DOS path of 247 characters; a file of 7 characters in the deepest
    // one reaches exactly 255, one of 8 characters is too long.
    std::string open, close;
    for (int i = 0; i < 27; ++i) {
        open += Format(R"({ "dir": "D%07d", "entries": [ )", i);
        close += " ] }";
    }
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(open + R"({ "file": "ABCDEFG" })" + close)), "(loaded)");
    EXPECT_NE(
        NetworkLoadErrorOf(networkWith(open + R"({ "file": "ABCDEFGH" })" + close)).find("is 256 characters long"),
        std::string::npos);
    // Names are limited in characters, not bytes: 255 two-byte characters make a long
    // name, 256 do not; a tree name of 32 three-byte characters is a tree name.
    std::string e255;
    for (int i = 0; i < 255; ++i)
        e255 += "\u00e9";
    EXPECT_EQ(NetworkLoadErrorOf(networkWith(R"({ "file": ")" + e255 + R"(" })")), "(loaded)");
    const std::string e256 = NetworkLoadErrorOf(networkWith(R"({ "file": ")" + e255 + R"(\u00e9" })"));
    EXPECT_EQ(e256.rfind("net.json: " + V + ".entries[0].file: the name '", 0), 0u) << e256;
    EXPECT_NE(e256.find("' is longer than 255 characters"), std::string::npos) << e256;
    std::string tree32;
    for (int i = 0; i < 32; ++i)
        tree32 += "\u20ac";
    EXPECT_EQ(NetworkLoadErrorOf(R"({ "grantwise-network": 1, "trees": [ { "name": ")" + tree32
                  + R"(" } ], "servers": [ { "name": "\u00c9", "tree": ")" + tree32 + R"(", "volumes": [] } ] })"),
        "(loaded)");
    EXPECT_EQ(
        NetworkLoadErrorOf(
            networkWith(R"({ "file": "Quarterly Report.docx" }, { "file": "Quarterly Results.xlsx", "irm": 0 },
        { "dir": "q", "irm": "0xFB", "trustees": [ ["#106931", "0x1FF"], ["[Root]", ""] ], "owner": "#0x0001A2B3" })",
                R"({ "primary": null, "trustee-block-size": 1, "error-texts": false, "fail": { "context": -601 } })")),
        "(loaded)");
}

TEST(NetworkReader, ObjectsWithoutAnIdTakeTheNextFreeOneOnceEveryFixedIdIsKnown)
{
    // B comes first but must not take 0x01000001, which C has; cycles and containers that
    // are no object are allowed in the lists.
    auto net = ReadNetwork(networkWith(R"({ "file": "F", "trustees": [ ["New.Corp", "R"] ] })", "{}",
                               R"([ { "name": "B.Corp", "security-equals": ["C.Corp"] },
        { "name": "C.Corp", "id": "0x01000001", "security-equals": ["B.Corp"], "member-of": ["OU=Gone.O=Corp"] },
        { "name": "D.Corp" } ])"),
        "n.json");
    const NetTree& tree = net->trees[0];
    std::vector<uint32_t> ids;
    for (const NetObject& object : tree.objects)
        ids.push_back(object.id);
    EXPECT_EQ(ids, (std::vector<uint32_t> { 0x01000002, 0x01000001, 0x01000003, 0x01000004 }));
    EXPECT_EQ(tree.objects[0].objectClass, NetObjectClass::Other);
    EXPECT_EQ(tree.objects[1].memberOfCount, 1u);
    EXPECT_EQ(tree.listItemName(tree.listItems[tree.objects[1].listBegin]).typed(), "OU=Gone.O=Corp");
}

TEST(NetworkReader, DosNamesAreGivenOrGeneratedUniquely)
{
    auto net = ReadNetwork(networkWith(R"({ "file": "Quarterly Report.docx" }, { "file": "Quarterly Results.xlsx" },
        { "dir": "Plans 2002" }, { "file": "readme.txt" }, { "file": "QUARTE~3.DOC" }, { "file": "Quarterly Review.doc" },
        { "file": ".profile" }, { "file": "My Documents", "short": "mydocs" })"),
        "n.json");
    std::vector<std::string> dos;
    const NetEntry& root = net->entries[net->servers[0].volumes[0].root];
    for (uint32_t i = 0; i < root.childCount; ++i)
        dos.emplace_back(Network::dosName(net->entries[root.firstChild + i]));
    EXPECT_EQ(dos,
        (std::vector<std::string> { "QUARTE~1.DOC", "QUARTE~1.XLS", "PLANS2~1", "README.TXT", "QUARTE~3.DOC",
            "QUARTE~2.DOC", "PROFIL~1", "MYDOCS" }));
}

TEST(NetworkReader, LongNamesAreKeptOnceAndFoundByEitherName)
{
    // 3,000 names (the interning table grows several times), many of them prefixes of
    // others ("n1", "n1 x", "n10" ...), listed twice: in directory A and again in B.
    std::string listed;
    std::vector<std::string> names;
    for (int i = 0; i < 3000; ++i) {
        names.push_back(i % 3 == 1 ? Format("n%d x", i / 3) : Format("n%d", i));
        listed += (i ? ", " : "") + (R"({ "file": ")" + names.back() + R"(" })");
    }
    auto net = ReadNetwork(networkWith(R"({ "dir": "A", "entries": [ )" + listed + R"( ] },
        { "dir": "B", "entries": [ )"
                               + listed + " ] }"),
        "n.json");
    const uint32_t root = net->servers[0].volumes[0].root;
    const uint32_t a = net->findChild(root, "a");
    const uint32_t b = net->findChild(root, "B");
    ASSERT_NE(a, NetEntry::none);
    ASSERT_NE(b, NetEntry::none);
    ASSERT_EQ(net->entries[a].childCount, names.size());
    for (uint32_t i = 0; i < names.size(); ++i) {
        const NetEntry& inA = net->entries[net->entries[a].firstChild + i];
        const NetEntry& inB = net->entries[net->entries[b].firstChild + i];
        ASSERT_EQ(net->longName(inA), names[i]);
        EXPECT_EQ(inA.longName, inB.longName) << "the second directory's name is the first one's";
        EXPECT_EQ(net->findChild(a, UpperAscii(names[i])), net->entries[a].firstChild + i) << names[i];
        EXPECT_EQ(net->findChild(b, Network::dosName(inB)), net->entries[b].firstChild + i) << names[i];
    }
    EXPECT_EQ(net->findChild(a, "n1 "), NetEntry::none);
}

TEST(NetworkLoader, SourcesAndUnreadableFiles)
{
    TempDir dir;
    const std::string good = dir.file("good.json");
    WriteFileBytes(good, networkWith(""));
    EXPECT_EQ(NetworkSourceFile("x.json"), "x.json");
    ::setenv("GRANTWISE_NETWORK", good.c_str(), 1);
    EXPECT_EQ(NetworkSourceFile(""), good);
    EXPECT_TRUE(LoadNetwork("")->loaded());
    ::setenv("GRANTWISE_NETWORK", "", 1);
    EXPECT_EQ(NetworkSourceFile(""), ":/demo-network.json");
    ::unsetenv("GRANTWISE_NETWORK");
    EXPECT_EQ(NetworkSourceFile(""), ":/demo-network.json");

    auto missing = LoadNetwork(dir.file("missing.json"));
    EXPECT_FALSE(missing->loaded());
    EXPECT_EQ(missing->loadError(), dir.file("missing.json") + ": cannot be read: No such file or directory");
    EXPECT_EQ(missing->NWstrerror(0x88FF), missing->loadError());
    EXPECT_EQ(missing->initialize(nullptr, nullptr), 0x88FF);

    auto folder = LoadNetwork(dir.path());
    EXPECT_FALSE(folder->loaded());
    EXPECT_EQ(folder->loadError().rfind(dir.path() + ": cannot be read: ", 0), 0u) << folder->loadError();

    // Only regular files are read, and only up to the limit: a FIFO without a writer
    // (which would make the reader wait), a device that never ends, a sparse file one
    // byte over the limit (refused before it is read).
    const std::string fifo = dir.file("net.pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(LoadNetwork(fifo)->loadError(), fifo + ": cannot be read: not a regular file");
    const std::string huge = dir.file("huge.json");
    ASSERT_TRUE(WriteFileBytes(huge, ""));
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(maxNetworkDescriptionBytes + 1)), 0);
    EXPECT_EQ(LoadNetwork(huge)->loadError(), huge + ": cannot be read: larger than 1073741824 bytes");
    const std::string zero = dir.file("zero");
    if (MakeCharDevice(zero, 1, 5)) {
        EXPECT_EQ(LoadNetwork(zero)->loadError(), zero + ": cannot be read: not a regular file");
    }

    const std::string notUtf = dir.file("bad.json");
    WriteFileBytes(notUtf, "{ \"grantwise-network\": 1, \"trees\": [ { \"name\": \"\xff\" } ], \"servers\": [] }");
    auto bad = LoadNetwork(notUtf);
    EXPECT_FALSE(bad->loaded());
    EXPECT_EQ(bad->loadError().rfind(notUtf + ": line 1, column ", 0), 0u) << bad->loadError();
}

} // namespace
