// Fault injection: every library call of the client start-up, of a scan and of the name
// lookups fails in turn, through the recording fake; then the failures a network
// description can inject, through the simulated library. Each run must end normally,
// show exactly the messages the start-up rules give, and otherwise lose only the report
// lines the failed call stood for.
#include "netware/D_NW.h"
#include "platform/netware/NetworkLoader.h"
#include "platform/netware/NetworkReader.h"
#include "scan/LineKinds.h"
#include "scan/LongNames.h"
#include "scan/ScanRun.h"
#include "services/ErrorBox.h"
#include "support/FakeNWClient.h"
#include "support/TestServices.h"
#include "util/D_Util.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace {

constexpr auto Trustee = &FakeNWClient::trustee;

using Strings = std::vector<std::string>;
using Lines = std::vector<std::pair<int, std::string>>;

constexpr uint32_t failureCode = 0x89FF;

// Makes the n-th call (counted from 0 over all calls) of a recorded run fail with code:
// the entry of that call gets `occurrence` zeros queued and then the code.
void failCall(FakeNWClient& fake, const std::vector<FakeNWClient::Call>& recorded, size_t n, uint32_t code)
{
    size_t occurrence = 0;
    for (size_t i = 0; i < n; ++i)
        occurrence += recorded[i].entry == recorded[n].entry;
    std::vector<uint32_t> codes(occurrence, 0);
    codes.push_back(code);
    for (uint32_t c : codes)
        fake.queueCodes(recorded[n].entry, { c });
}

// Runs `check(fake, n, entry, occurrence)` once per call of a recorded run, each time on
// a fresh fake filled by `fill` whose call n (the occurrence-th call of its entry) fails.
// Returns how often each entry was made to fail.
template <typename Fill, typename Check>
std::map<std::string, int> forEachFailingCall(const std::vector<FakeNWClient::Call>& recorded, Fill fill, Check check)
{
    std::map<std::string, int> seen;
    for (size_t n = 0; n < recorded.size(); ++n) {
        FakeNWClient fake;
        fill(fake);
        failCall(fake, recorded, n, failureCode);
        const std::string& entry = recorded[n].entry;
        const int occurrence = seen[entry]++;
        SCOPED_TRACE(
            "call " + std::to_string(n) + ": " + entry + " " + recorded[n].args + " #" + std::to_string(occurrence));
        check(fake, n, entry, occurrence);
    }
    return seen;
}

// ---- Start-up -----------------------------------------------------------------------

// A workstation with two connections, FS1 (primary) and FS2.
void fillWorkstation(FakeNWClient& fake)
{
    fake.primaryRef = 0x1001;
    fake.connRefs = { 0x1001, 0x1002 };
    fake.refServerNames = { { 0x1001, "FS1" }, { 0x1002, "FS2" } };
    fake.errorTexts[failureCode] = "Failure";
}

struct StartUpOutcome {
    Strings messages;
    Strings connections;
    uint32_t connHandle = 999;
};

// The client start-up as the window runs it, over a library in a fresh context: the
// client, the context, the connection list, the context flag, then the first connection
// opened as choosing it does.
StartUpOutcome startUp(NWClientLibrary& lib)
{
    TestServices services(lib);
    StartUpOutcome out;
    uint32_t lastCode = InitNWClient();
    uint32_t context = 0;
    if (lastCode == 0)
        lastCode = lib.createContext(context);
    std::vector<NWConnectionItem> connections;
    if (lastCode != 0) {
        CheckError(static_cast<int32_t>(lastCode), "InitNetWare");
    } else {
        ListConnections(connections);
    }
    SetContextFlag(context, '+', nw::ctxFlagTypeless);
    if (!connections.empty()) {
        const uint16_t code = lib.NWCCOpenConnByRef(connections.front().reference, 1, 0, out.connHandle);
        CheckError(code, "NWCCOpenConnByRef");
    }
    for (const NWConnectionItem& item : connections)
        out.connections.push_back(item.serverName);
    out.messages = services.texts();
    return out;
}

TEST(FaultInjection, EveryStartUpCallFailingInTurn)
{
    FakeNWClient good;
    fillWorkstation(good);
    std::vector<FakeNWClient::Call> recorded;
    const StartUpOutcome outcome = startUp(good);
    ASSERT_TRUE(outcome.messages.empty());
    ASSERT_EQ(outcome.connections, (Strings { "FS1", "FS2" }));
    recorded = good.calls();
    ASSERT_GE(recorded.size(), 9u);

    const std::string failure = "0x89FF (Failure)";
    auto seen = forEachFailingCall(
        recorded, fillWorkstation, [&](FakeNWClient& fake, size_t, const std::string& entry, int occurrence) {
            const StartUpOutcome got = startUp(fake);
            if (entry == "initialize") {
                EXPECT_EQ(got.messages,
                    (Strings {
                        "Could not initialize NetWare Client returned error " + failure, "Error 89FF: InitNetWare" }));
                EXPECT_TRUE(got.connections.empty());
            } else if (entry == "getPrimaryConnRef") {
                // The first scanned reference stands in for the default one.
                EXPECT_TRUE(got.messages.empty());
                EXPECT_EQ(got.connections, (Strings { "FS1", "FS2" }));
            } else if (entry == "NWCCOpenConnByRef" && occurrence == 0) {
                EXPECT_EQ(got.messages,
                    (Strings {
                        "NWCCScanConnRefs/NWCCOpenConnByRef returned error " + failure, "Error 89FF: InitNetWare" }));
                EXPECT_TRUE(got.connections.empty());
            } else if (entry == "NWCCOpenConnByRef") {
                EXPECT_EQ(got.messages, (Strings { "Error 89FF: NWCCOpenConnByRef" }));
                EXPECT_EQ(got.connections, (Strings { "FS1", "FS2" }));
            } else if (entry == "createContext") {
                EXPECT_EQ(got.messages, (Strings { "Error 89FF: InitNetWare" }));
                EXPECT_TRUE(got.connections.empty());
            } else if (entry == "NWCCScanConnRefs") {
                // A failing scan step ends the list there, silently (the third step is the
                // list's normal end).
                EXPECT_TRUE(got.messages.empty());
                const std::vector<Strings> lists = { {}, { "FS1" }, { "FS1", "FS2" } };
                EXPECT_EQ(got.connections, lists.at(static_cast<size_t>(occurrence)));
            } else if (entry == "getConnRefInfo") {
                // A reference without a readable name is skipped.
                EXPECT_TRUE(got.messages.empty());
                EXPECT_EQ(got.connections, (occurrence == 0 ? Strings { "FS2" } : Strings { "FS1" }));
            } else {
                // The context flag's read and write are not looked at.
                EXPECT_TRUE(entry == "getContextInfo" || entry == "setContextInfo") << entry;
                EXPECT_TRUE(got.messages.empty());
                EXPECT_EQ(got.connections, (Strings { "FS1", "FS2" }));
            }
        });
    // Every entry the start-up calls was made to fail at least once.
    for (const char* entry : { "initialize", "getPrimaryConnRef", "NWCCOpenConnByRef", "createContext",
             "NWCCScanConnRefs", "getConnRefInfo", "getContextInfo", "setContextInfo" })
        EXPECT_GT(seen[entry], 0) << entry;
}

// ---- The scan and its name lookups -----------------------------------------------

// The sample volume with trustees on all three entries. The queue scans R&D
// recursively, then SUB on its own.
void fillVolume(FakeNWClient& fake)
{
    fake.objectNames = { { 0x01000001, "Admin.Corp" }, { 0x01000002, "Staff.Corp" } };
    fake.connTreeNames[7] = "CORP_TREE";
    fake.errorTexts[failureCode] = "Failure";
    fake.addSampleVolume();
    fake.trusteeBlocks["VOL1:R&D"] = { { { Trustee(0x01000001, 0xFB), Trustee(0x01000002, 0x41) } } };
    fake.trusteeBlocks["VOL1:R&D\\PLAN.TXT"] = { { { Trustee(0x01000002, 0x01) } } };
    fake.trusteeBlocks["VOL1:R&D\\SUB"] = { { { Trustee(0x01000001, 0x41) } } };
}

struct ScanOutcome {
    Lines lines;
    ScanResult result;
};

// The scan of two start paths over a library, in a fresh context.
ScanOutcome scanWith(NWClientLibrary& lib)
{
    TestServices services(lib);
    ScanSession session;
    session.DSContext = 0x77;
    PlainScanControls controls;
    controls.scope = 2;
    controls.info = 2;
    ReportList results;
    ScanOutcome out;
    out.result = RunScan(services.context(), session,
        { { "\\\\FS1\\VOL1\\R&D", true }, { "\\\\FS1\\VOL1\\R&D\\SUB", false } }, 2, controls, results);
    for (size_t i = 0; i < results.count(); ++i)
        out.lines.emplace_back(results.code(i), std::string(results.text(i)));
    return out;
}

// True when `part` is `whole` with some lines left out.
bool isSubsequence(const Lines& part, const Lines& whole)
{
    size_t k = 0;
    for (const auto& line : whole)
        if (k < part.size() && part[k] == line)
            ++k;
    return k == part.size();
}

size_t countKind(const Lines& lines, int code)
{
    size_t n = 0;
    for (const auto& line : lines)
        n += line.first == code;
    return n;
}

TEST(FaultInjection, EveryScanCallFailingInTurnLosesOnlyItsOwnLines)
{
    FakeNWClient good;
    fillVolume(good);
    ScanOutcome expected;
    std::vector<FakeNWClient::Call> recorded;
    expected = scanWith(good);
    recorded = good.calls();
    ASSERT_TRUE(expected.result.unreadable.empty());
    ASSERT_EQ(countKind(expected.lines, lkTrustee), 5u);
    ASSERT_EQ(countKind(expected.lines, lkOwner), 4u);

    auto seen
        = forEachFailingCall(recorded, fillVolume, [&](FakeNWClient& fake, size_t n, const std::string& entry, int) {
              const ScanOutcome got = scanWith(fake);

              // Both start paths are always reported, each with its settings block.
              EXPECT_EQ(countKind(got.lines, lkBase), 2u);
              if (entry == "mapIDToName") {
                  // One name lookup: a trustee shown by its ID, or an owner tried again as
                  // delivered (unknown, so "(n/a)"), or only the information page changed.
                  size_t differing = 0;
                  ASSERT_EQ(got.lines.size(), expected.lines.size());
                  for (size_t i = 0; i < got.lines.size(); ++i) {
                      if (got.lines[i] == expected.lines[i])
                          continue;
                      ++differing;
                      const std::string& text = got.lines[i].second;
                      EXPECT_TRUE(
                          (got.lines[i].first == lkTrustee && text.find("Trustee: ID: [0100000") != std::string::npos)
                          || (got.lines[i].first == lkOwner && text == "     Owner: (n/a)"))
                          << text;
                  }
                  EXPECT_LE(differing, 1u);
                  EXPECT_TRUE(got.result.unreadable.empty());
              } else if (entry == "parsePath") {
                  // The start path does not resolve: its block holds only the settings lines.
                  ASSERT_EQ(got.result.unreadable.size(), 1u);
                  EXPECT_EQ(got.result.unreadable[0].code, failureCode);
                  EXPECT_TRUE(isSubsequence(got.lines, expected.lines));
              } else if ((entry == "getDirectoryInfo" && recorded[n - 1].entry == "setContextInfo")
                  || (entry == "initFileSearch" && recorded[n - 2].entry == "setContextInfo")) {
                  // The probe of a start directory (its information, then a search), right
                  // after the context is set: the start path is named as unreadable, and the
                  // walk itself reports what it can read.
                  ASSERT_EQ(got.result.unreadable.size(), 1u);
                  EXPECT_EQ(got.result.unreadable[0].code, failureCode);
                  EXPECT_EQ(got.lines, expected.lines);
              } else if (entry == "openConnByName") {
                  // The shell's short form of a start path, which this fake does not give: the
                  // path is scanned as written either way.
                  EXPECT_EQ(got.lines, expected.lines);
                  EXPECT_TRUE(got.result.unreadable.empty());
              } else if (entry == "getConnInfo" || entry == "getContextInfo" || entry == "setContextInfo") {
                  // The context's tree and name context: codes not looked at.
                  EXPECT_EQ(got.lines, expected.lines);
                  EXPECT_TRUE(got.result.unreadable.empty());
              } else {
                  // Directory information, a search pass, a trustee scan: silent and local.
                  EXPECT_TRUE(entry == "getDirectoryInfo" || entry == "initFileSearch" || entry == "continueFileSearch"
                      || entry == "scanTrustees")
                      << entry;
                  EXPECT_TRUE(isSubsequence(got.lines, expected.lines));
                  if (entry == "getDirectoryInfo") { // every directory shows an owner line at least
                      EXPECT_LT(got.lines.size(), expected.lines.size());
                  }
                  EXPECT_TRUE(got.result.unreadable.empty());
              }
          });
    for (const char* entry : { "parsePath", "getConnInfo", "getContextInfo", "setContextInfo", "initFileSearch",
             "getDirectoryInfo", "continueFileSearch", "scanTrustees", "mapIDToName" })
        EXPECT_GT(seen[entry], 0) << entry;
}

TEST(FaultInjection, LongNamesWithEveryPathSplitFailingInTurn)
{
    // PLAN.TXT has two detail groups, so two path lines: its path is split once.
    const Strings paths
        = { "FS1\\VOL1:R&D", "FS1\\VOL1:R&D\\PLAN.TXT", "FS1\\VOL1:R&D\\PLAN.TXT", "FS1\\VOL1:R&D\\SUB" };
    for (int failing = 0; failing < 3; ++failing) {
        FakeNWClient fake;
        for (const char* dir : { "R&D", "R&D\\PLAN.TXT", "R&D\\SUB" }) {
            FakeNWClient::Split split;
            split.server = "FS1";
            split.volume = "VOL1";
            split.dirPath = dir;
            fake.splits[std::string("FS1\\VOL1:") + dir] = split;
        }
        std::vector<uint32_t> codes(static_cast<size_t>(failing), 0);
        codes.push_back(failureCode);
        for (uint32_t c : codes)
            fake.queueCodes("parsePath", { c });
        TestServices services(fake);
        ReportList results;
        for (const std::string& path : paths) {
            results.appendPathLine(path);
            results.appendOwner(results.names().intern(".Admin.Corp"));
        }
        EXPECT_EQ(GetLongNames(results), failing == 1 ? 2u : 3u);
        EXPECT_EQ(fake.countOf("parsePath"), 3);
        // A line the splitter rejects keeps its text exactly; the others get the network
        // form (the shell knows no network here, so their components stay as they are).
        const Strings converted = { "\\\\FS1\\VOL1\\R&D", "\\\\FS1\\VOL1\\R&D\\PLAN.TXT",
            "\\\\FS1\\VOL1\\R&D\\PLAN.TXT", "\\\\FS1\\VOL1\\R&D\\SUB" };
        for (size_t k = 0; k < paths.size(); ++k) {
            const int node = k < 2 ? static_cast<int>(k) : static_cast<int>(k) - 1;
            EXPECT_EQ(results.text(2 * k), node == failing ? paths[k] : converted[k]) << k;
            EXPECT_EQ(results.text(2 * k + 1), "     Owner: .Admin.Corp");
        }
    }
}

TEST(FaultInjection, TrusteeBlockCountsAboveTwentyEndOnlyTheirStartPath)
{
    for (int count : { 21, 255, 0xFFFF }) {
        FakeNWClient fake;
        fillVolume(fake);
        fake.trusteeBlocks["VOL1:R&D\\PLAN.TXT"] = { { { Trustee(0x01000002, 0x01) }, count } };
        const ScanOutcome got = scanWith(fake);
        SCOPED_TRACE(count);
        // R&D is reported, the range fault at PLAN.TXT ends the first start path (no
        // closing separators); SUB, the second start path, is reported in full.
        EXPECT_EQ(countKind(got.lines, lkBase), 2u);
        EXPECT_EQ(got.result.entriesExamined, 3u);
        const auto second = std::find(got.lines.begin(), got.lines.end(),
            std::pair<int, std::string> { lkBase, "Base: \\\\FS1\\VOL1\\R&D\\SUB" });
        ASSERT_NE(second, got.lines.end());
        EXPECT_EQ((second - 1)->first, lkOwner);
        EXPECT_EQ(got.lines.back(), (std::pair<int, std::string> { 0, "" }));
        EXPECT_EQ(std::count(second, got.lines.end(),
                      std::pair<int, std::string> { lkTrustee, "     Trustee: .Admin.Corp [RF]" }),
            1);
    }
}

// ---- Failures a network description injects ---------------------------------------

const char* const failingNetwork = R"({ "grantwise-network": 1,
  "workstation": { "connections": ["FS1", "FS2"], "primary": "FS1" },
  "trees": [ { "name": "T", "objects": [ { "name": "Admin.Corp", "id": 4097 } ] } ],
  "servers": [
    { "name": "FS1", "tree": "T", "volumes": [ { "name": "VOL1", "trustees": [ ["Admin.Corp", "S"] ],
      "fail": { "info": "0x89A8" },
      "entries": [
        { "dir": "NOINFO", "owner": "Admin.Corp", "trustees": [ ["Admin.Corp", "R"] ], "fail": { "info": "0x89A8" },
          "entries": [ { "file": "IN.TXT", "trustees": [ ["Admin.Corp", "RF"] ] } ] },
        { "dir": "NOSEARCH", "trustees": [ ["Admin.Corp", "RW"] ], "fail": { "search": "0x89A8" },
          "entries": [ { "file": "HIDDEN.TXT", "trustees": [ ["Admin.Corp", "RF"] ] } ] },
        { "dir": "NOTRUST", "owner": "Admin.Corp", "trustees": [ ["Admin.Corp", "R"] ], "fail": { "trustees": "0x89A8" },
          "entries": [ { "file": "F.TXT", "trustees": [ ["Admin.Corp", "RF"] ], "fail": { "trustees": 1 } } ] } ] } ] },
    { "name": "FS2", "tree": "T", "fail": { "open": "0x8847" }, "volumes": [ { "name": "SYS" } ] } ] })";

TEST(FaultInjection, DescriptionFailuresAreSilentAndLocal)
{
    SimulatedNetWare lib(ReadNetwork(failingNetwork, "failing.json"));
    TestServices services(lib);
    ASSERT_EQ(InitNWClient(), 0);
    ScanSession session;
    ASSERT_EQ(lib.createContext(session.DSContext), 0u);
    SetContextFlag(session.DSContext, '+', nw::ctxFlagTypeless);
    PlainScanControls controls;
    controls.scope = 2;
    controls.info = 2;
    ReportList results;
    const ScanResult result = RunScan(services.context(), session,
        { { "\\\\FS1\\VOL1", true }, { "\\\\FS1\\VOL1\\NOSEARCH", true }, { "\\\\FS2\\SYS", true } }, 2, controls,
        results);

    // The volume root and NOINFO cannot be read themselves, but their files and
    // subdirectories are; NOSEARCH is reported without its file; the trustees of
    // NOTRUST and F.TXT cannot be read, their owner and IRM still show.
    Lines got;
    for (size_t i = 0; i < results.count(); ++i)
        if (results.code(i) >= lkPath)
            got.emplace_back(results.code(i), std::string(results.text(i)));
    const Lines want = {
        { lkPath, "FS1\\VOL1:\\NOINFO\\IN.TXT" },
        { lkTrustee, "     Trustee: .Admin.Corp [RF]" },
        { lkPath, "FS1\\VOL1:\\NOINFO\\IN.TXT" },
        { lkOwner, "     Owner: (n/a)" },
        { lkPath, "FS1\\VOL1:\\NOSEARCH" },
        { lkTrustee, "     Trustee: .Admin.Corp [RW]" },
        { lkPath, "FS1\\VOL1:\\NOSEARCH" },
        { lkOwner, "     Owner: (n/a)" },
        { lkPath, "FS1\\VOL1:\\NOTRUST" },
        { lkOwner, "     Owner: .Admin.Corp" },
        { lkPath, "FS1\\VOL1:\\NOTRUST\\F.TXT" },
        { lkOwner, "     Owner: (n/a)" },
        { lkPath, "FS1\\VOL1:NOSEARCH" },
        { lkTrustee, "     Trustee: .Admin.Corp [RW]" },
        { lkPath, "FS1\\VOL1:NOSEARCH" },
        { lkOwner, "     Owner: (n/a)" },
    };
    EXPECT_EQ(got, want);
    // No message at all; the volume root whose information cannot be read (although its
    // entries were reported), the start path whose search fails and the server that
    // cannot be opened are named as unreadable.
    EXPECT_TRUE(services.texts().empty());
    ASSERT_EQ(result.unreadable.size(), 3u);
    EXPECT_EQ(result.unreadable[0].path, "\\\\FS1\\VOL1");
    EXPECT_EQ(result.unreadable[0].code, 0x89A8u);
    EXPECT_EQ(result.unreadable[1].path, "\\\\FS1\\VOL1\\NOSEARCH");
    EXPECT_EQ(result.unreadable[1].code, 0x89A8u);
    EXPECT_EQ(result.unreadable[2].path, "\\\\FS2\\SYS");
    EXPECT_EQ(result.unreadable[2].code, 0x8847u);
}

TEST(FaultInjection, DescriptionStartUpFailuresGiveTheStartUpBoxes)
{
    const auto outcome = [](const std::string& workstation) {
        const std::string text = R"({ "grantwise-network": 1, "workstation": )" + workstation + R"(,
          "trees": [ { "name": "T" } ], "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "V" } ] },
          { "name": "FS2", "tree": "T", "fail": { "open": "0x8847" }, "volumes": [ { "name": "V" } ] } ] })";
        SimulatedNetWare lib(ReadNetwork(text, "startup.json"));
        return startUp(lib);
    };
    StartUpOutcome got = outcome(R"({ "fail": { "init": "0x8836" } })");
    EXPECT_EQ(got.messages,
        (Strings { "Could not initialize NetWare Client returned error 0x8836 (Invalid parameter)",
            "Error 8836: InitNetWare" }));
    got = outcome(R"({ "fail": { "context": -601 } })");
    EXPECT_EQ(got.messages, (Strings { "Error FFFFFDA7: InitNetWare" }));
    EXPECT_TRUE(got.connections.empty());
    // The primary connection cannot be opened.
    got = outcome(R"({ "primary": "FS2" })");
    EXPECT_EQ(got.messages,
        (Strings { "NWCCScanConnRefs/NWCCOpenConnByRef returned error 0x8847 (Server not found)",
            "Error 8847: InitNetWare" }));
    // The first connection of the list cannot be opened when it is chosen.
    got = outcome(R"({ "connections": ["FS2", "FS1"], "primary": "FS1" })");
    EXPECT_EQ(got.messages, (Strings { "Error 8847: NWCCOpenConnByRef" }));
    EXPECT_EQ(got.connections, (Strings { "FS2", "FS1" }));
    EXPECT_EQ(got.connHandle, 999u);
    // Without error texts only the code is shown.
    got = outcome(R"({ "fail": { "init": "0x8836" }, "error-texts": false })");
    EXPECT_EQ(got.messages.front(), "Could not initialize NetWare Client returned error 0x8836");
}

} // namespace
