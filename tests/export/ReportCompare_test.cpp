// Reading saved XML files back and comparing two reports.
#include "export/AuditReport.h"
#include "export/ReportCompare.h"
#include "export/ReportExport.h"
#include "export/SavedXmlScan.h"

#include "support/ExportReadBack.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <random>

namespace {

const std::string head = "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?><document>\r\n";

std::vector<std::string> csvRows(const CompareResult& result)
{
    std::vector<std::string> rows = SplitCrLf(BuildCompareCsv(result));
    rows.erase(rows.begin()); // the header
    return rows;
}

AuditReport details(std::initializer_list<std::array<std::string_view, 4>> rows)
{
    AuditReport report;
    for (const auto& [kind, path, name, value] : rows)
        report.add(kind == "irm"  ? AuditDetail::Irm
                : kind == "owner" ? AuditDetail::Owner
                                  : AuditDetail::Trustee,
            path, name, value);
    return report;
}

// Whether the quick reader takes the bytes, and what it read.
bool quickRead(const std::string& bytes, AuditReport& report)
{
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return ScanSavedXml(buffer, report);
}

void expectSameReport(const AuditReport& a, const AuditReport& b)
{
    ASSERT_EQ(a.details.size(), b.details.size());
    for (size_t i = 0; i < a.details.size(); ++i) {
        EXPECT_EQ(a.details[i].kind, b.details[i].kind);
        EXPECT_EQ(a.text(a.details[i].path), b.text(b.details[i].path)) << i;
        EXPECT_EQ(a.text(a.details[i].name), b.text(b.details[i].name)) << i;
        EXPECT_EQ(a.text(a.details[i].value), b.text(b.details[i].value)) << i;
    }
    ASSERT_EQ(a.blocks.size(), b.blocks.size());
    for (size_t i = 0; i < a.blocks.size(); ++i) {
        EXPECT_EQ(a.blocks[i].base, b.blocks[i].base);
        EXPECT_EQ(a.blocks[i].subdirs, b.blocks[i].subdirs);
        EXPECT_EQ(a.blocks[i].filter, b.blocks[i].filter);
        EXPECT_EQ(a.blocks[i].info, b.blocks[i].info);
        EXPECT_EQ(a.blocks[i].scope, b.blocks[i].scope);
    }
}

} // namespace

TEST(SavedXml, TheQuickReaderReadsWhatTheFullReaderReadsOrLeavesItToIt)
{
    const ReportList results = MakeList({
        { 10, "\\\\FS1\\VOL1\\R&D <\"x\">" },
        { 11, "TRUE" },
        { 0 },
        { 15, "FS1\\VOL1:R&D\\M\u00fcller \u0141 \u20ac \U0001F600" },
        { 18, "", "RF" },
        { 16, "Tab\there.O'Neil", "RWCEAFMS" },
        { 16, "Bell\a\r\n.Corp", "" },
        { 15, "FS1\\VOL1:X" },
        { 17, "" },
        { 10, "" },
        { 15, "FS1\\VOL1:Y" },
        { 17, "Admin" },
    });
    const std::string saved = BuildXmlForm(results);
    AuditReport quick;
    ASSERT_TRUE(quickRead(saved, quick));
    // A comment after the document sends the same bytes to the full reader.
    AuditReport none;
    EXPECT_FALSE(quickRead(saved + "<!-- x -->", none));
    expectSameReport(quick, ParseSavedXml(saved + "<!-- x -->", "f.xml"));

    // Saves changed at random places: whatever the quick reader takes, the full reader
    // reads the same (a comment after the document makes the quick one decline).
    std::mt19937 random(20261209);
    const std::string alphabet = "<>/&;#x\r\n \t\x80\x81\xE9"
                                 "ab1";
    size_t taken = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = saved;
        for (int edits = 1 + static_cast<int>(random() % 3); edits > 0; --edits) {
            const size_t at = random() % bytes.size();
            switch (random() % 3) {
            case 0:
                bytes[at] = alphabet[random() % alphabet.size()];
                break;
            case 1:
                bytes.insert(at, 1, alphabet[random() % alphabet.size()]);
                break;
            default:
                bytes.erase(at, 1);
                break;
            }
        }
        AuditReport mutated;
        if (!quickRead(bytes, mutated))
            continue;
        ++taken;
        SCOPED_TRACE(bytes);
        try {
            expectSameReport(mutated, ParseSavedXml(bytes + "<!---->", "f.xml"));
        } catch (const SavedXmlError& e) {
            ADD_FAILURE() << "the quick reader took what the full reader refuses: " << e.what();
        }
    }
    EXPECT_GT(taken, 100u);

    // An element longer than any Grantwise writes goes to the full reader too.
    const std::string longName
        = head + "<owner><path>A</path><name>" + std::string(17 << 20, 'n') + "</name></owner>" + "</document>";
    EXPECT_FALSE(quickRead(longName, none));
    EXPECT_EQ(ParseSavedXml(longName, "f.xml").text(0).size(), 1u);

    // What only the full reader takes, and what it refuses, from a line the quick one read.
    const std::string line = "<owner><path>A</path><name>B</name></owner>\r\n";
    const std::string tail = "</document>\r\n";
    const std::vector<std::pair<std::string, std::string>> cases {
        { "<owner><path>A</path><!-- c --><name>B</name></owner>", "" },
        { "<owner><path>A</path><name><![CDATA[B]]></name></owner>", "" },
        { "<owner id=\"1\"><path>A</path><name>B</name></owner>", "" },
        { "<owner><path>A</path><name>B&#x0042;&#66;</name></owner>", "" },
        { "<owner><path>A</path><name>B\x81</name></owner>", "" },
        { "<owner><path>A</path><name/></owner>", "" },
        { "<owner><path>A</path><name>B&#1;</name></owner>",
            "f.xml:3:32: not a Grantwise XML file: Invalid character reference." },
        { "<owner><path>A</path><name>B&nbsp;</name></owner>",
            "f.xml:3:34: not a Grantwise XML file: Entity 'nbsp' not declared." },
        { "<owner><path>A</path><name>B</name>",
            "f.xml:4:11: not a Grantwise XML file: Opening and ending tag mismatch." },
    };
    for (const auto& [element, error] : cases) {
        SCOPED_TRACE(element);
        const std::string bytes = head + line + element + "\r\n" + tail;
        AuditReport partial;
        const bool quickTook = quickRead(bytes, partial);
        try {
            const AuditReport full = ParseSavedXml(bytes, "f.xml");
            EXPECT_TRUE(error.empty()) << "no error";
            if (quickTook)
                expectSameReport(partial, full);
            EXPECT_EQ(full.details.size(), 2u);
        } catch (const SavedXmlError& e) {
            EXPECT_FALSE(quickTook);
            EXPECT_EQ(std::string(e.what()), error);
        }
    }
}

TEST(SavedXml, AScanAndItsOwnSaveCompareEqualWhateverTheNamesHold)
{
    // Names the XML form escapes, encodes in windows-1252, writes as references or cannot
    // hold at all (a control character, a byte that is not UTF-8).
    const ReportList results = MakeList({
        { 10, "\\\\FS1\\VOL1\\R&D <\"x\">" },
        { 11, "TRUE" },
        { 14, "*.*" },
        { 13, "Trustees and Owner" },
        { 12, "Directories" },
        { 0 },
        { 15, "FS1\\VOL1:R&D\\Müller & Łukasz" },
        { 18, "", "" },
        { 15, "FS1\\VOL1:R&D\\Müller & Łukasz" },
        { 16, ".O'Neil.€.日本", "RWCEAFMS" },
        { 16, "Bell\a\r\n.Corp", "" },
        { 16, std::string("Bad\xFF.Corp"), "R" },
        { 15, "FS1\\VOL1:R&D\\Müller & Łukasz" },
        { 17, "" },
    });
    const std::string xml = BuildXmlForm(results);
    const AuditReport saved = ParseSavedXml(xml, "saved.xml");
    const AuditReport scanned = AuditReportFromResults(results);
    ASSERT_EQ(saved.details.size(), 5u);
    EXPECT_EQ(saved.text(saved.details[1].name), ".O'Neil.€.日本");
    EXPECT_EQ(saved.text(saved.details[2].name), "Bell?\r\n.Corp");
    EXPECT_EQ(saved.text(saved.details[3].name), "Bad\xEF\xBF\xBD.Corp");
    EXPECT_EQ(saved.text(saved.details[0].value), "-ALL");
    EXPECT_EQ(saved.text(saved.details[4].value), "(n/a)");
    ASSERT_EQ(saved.blocks.size(), 1u);
    EXPECT_EQ(saved.blocks[0].base, "\\\\FS1\\VOL1\\R&D <\"x\">");
    EXPECT_EQ(saved.blocks[0].scope, "Directories");
    const CompareResult result = CompareReports(saved, scanned);
    EXPECT_TRUE(result.same()) << BuildCompareText(result);
}

TEST(SavedXml, WhatOlderWritersWroteIsRead)
{
    // "&acute;" for an apostrophe, windows-1252 bytes, numeric references, lines directly
    // in the document after an empty Base line, settings before any Base line.
    const AuditReport report = ParseSavedXml(head
            + "<settings><filter>*.*</filter></settings>\r\n"
              "<settings><base></base></settings>\r\n"
              "<owner><path>FS1\\VOL1:A</path><name>.O&acute;Neil.M\xFCller&#x141;&#321;</name></owner>\r\n"
              "<grantwise>\r\n<settings><base>\\\\FS1\\VOL1</base></settings>\r\n"
              "<irm><path>FS1\\VOL1:A</path><rights>RF</rights></irm>\r\n</grantwise>\r\n</document>\r\n",
        "old.xml");
    ASSERT_EQ(report.blocks.size(), 3u);
    EXPECT_EQ(report.blocks[0].filter, "*.*");
    EXPECT_EQ(report.blocks[2].base, "\\\\FS1\\VOL1");
    ASSERT_EQ(report.details.size(), 2u);
    EXPECT_EQ(report.text(report.details[0].value), ".O'Neil.MüllerŁŁ");
    EXPECT_FALSE(report.longNames());
}

TEST(SavedXml, AnythingElseStopsWithTheFileAndPlace)
{
    const std::vector<std::pair<std::string, std::string>> cases {
        { "", "f.xml:1:0: not a Grantwise XML file: no XML declaration at the start" },
        { head + "<grantwise><grantwise>", "f.xml:2:22: not a Grantwise XML file: unexpected <grantwise>" },
        { head + "<settings><base>A</base><base>B</base></settings>",
            "f.xml:2:30: not a Grantwise XML file: unexpected <base> in <settings>" },
        { head + "<settings><owner>A</owner></settings>",
            "f.xml:2:26: not a Grantwise XML file: unexpected setting <owner>" },
        { head + "<owner><path>A<b/></path><name>B</name></owner>",
            "f.xml:2:18: not a Grantwise XML file: Expected character data." },
        { head + "</document><document>", "f.xml:2:21: not a Grantwise XML file: Extra content at end of document." },
    };
    for (const auto& [content, message] : cases) {
        SCOPED_TRACE(content);
        try {
            ParseSavedXml(content, "f.xml");
            ADD_FAILURE() << "no error";
        } catch (const SavedXmlError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}

TEST(ReportCompare, MatchingIgnoresCaseAndTheBackslashAfterTheColon)
{
    const AuditReport older = details({
        { "trustee", "FS1\\VOL1:\\R&D", ".ADMIN.Corp", "RWCEAFM" },
        { "owner", "fs1\\vol1:\\r&d", "", ".admin.corp" },
        { "irm", "FS1\\VOL1:R&D\\ÜBER", "", "RF" },
    });
    const AuditReport newer = details({
        { "trustee", "FS1\\VOL1:R&D", ".Admin.Corp", "RWCEAFM" },
        { "owner", "FS1\\VOL1:R&D", "", ".Admin.Corp" },
        { "irm", "FS1\\VOL1:R&D\\über", "", "RF" },
    });
    EXPECT_TRUE(CompareReports(older, newer).same()) << BuildCompareText(CompareReports(older, newer));
    // Rights compare exactly.
    const AuditReport fewer = details({
        { "trustee", "FS1\\VOL1:R&D", ".Admin.Corp", "RWCEAF" },
        { "owner", "FS1\\VOL1:R&D", "", ".Admin.Corp" },
        { "irm", "FS1\\VOL1:R&D\\über", "", "-ALL" },
    });
    const CompareResult result = CompareReports(older, fewer);
    EXPECT_EQ(csvRows(result),
        (std::vector<std::string> { "changed,FS1\\VOL1:R&D,trustee,.Admin.Corp,RWCEAFM,RWCEAF",
            "changed,FS1\\VOL1:R&D\\über,irm,,RF,\"'-ALL\"" }));
    EXPECT_EQ(result.changed, 2u);
}

TEST(ReportCompare, RowsSortByPathDetailAndNameAndDuplicatesPairInOrder)
{
    const AuditReport older = details({
        { "owner", "FS1\\V:b", "", ".A" },
        { "trustee", "FS1\\V:a", ".B", "R" },
        { "trustee", "FS1\\V:a", ".B", "RF" }, // listed twice: pairs in order
        { "trustee", "FS1\\V:Z", ".Y", "R" },
    });
    const AuditReport newer = details({
        { "trustee", "FS1\\V:a", ".B", "R" },
        { "trustee", "FS1\\V:a", ".B", "RW" },
        { "trustee", "FS1\\V:a", ".B", "S" },
        { "irm", "FS1\\V:b", "", "R" },
        { "trustee", "FS1\\V:b", ".C", "R" },
        { "owner", "FS1\\V:b", "", ".B" },
        { "trustee", "FS1\\V:[x]", ".A", "R" },
    });
    const CompareResult result = CompareReports(older, newer);
    EXPECT_EQ(csvRows(result),
        (std::vector<std::string> {
            "added,FS1\\V:[x],trustee,.A,,R", // "[" before the letters folded to lower case
            "changed,FS1\\V:a,trustee,.B,RF,RW",
            "added,FS1\\V:a,trustee,.B,,S",
            "added,FS1\\V:b,irm,,,R",
            "added,FS1\\V:b,trustee,.C,,R",
            "changed,FS1\\V:b,owner,,.A,.B",
            "removed,FS1\\V:Z,trustee,.Y,R,",
        }));
    EXPECT_EQ(result.added, 4u);
    EXPECT_EQ(result.removed, 1u);
    EXPECT_EQ(result.changed, 2u);
    EXPECT_EQ(
        SplitCrLf(BuildCompareText(result)).back(), "7 differences: 0 in the settings, 4 added, 1 removed, 2 changed");
}

TEST(ReportCompare, SettingsAndNameFormsComeFirst)
{
    AuditReport older = details({ { "owner", "FS1\\VOL1:A", "", ".A" } });
    older.blocks.push_back({ "\\\\FS1\\VOL1", "TRUE", "*.*", "Trustees", "Directories" });
    older.blocks.push_back({ "\\\\FS1\\VOL2", "TRUE", "*.*", "Trustees", "Directories" });
    AuditReport newer = details({ { "owner", "\\\\FS1\\VOL1\\A", "", ".A" } });
    newer.blocks.push_back({ "\\\\fs1\\vol1", "FALSE", "*.*", "Owner", "Directories" });
    const CompareResult result = CompareReports(older, newer);
    EXPECT_EQ(csvRows(result),
        (std::vector<std::string> { "changed,\\\\fs1\\vol1,settings,subdirs,TRUE,FALSE",
            "changed,\\\\fs1\\vol1,settings,info,Trustees,Owner", "removed,\\\\FS1\\VOL2,settings,base,\\\\FS1\\VOL2,",
            "changed,,settings,names,short,long", "added,\\\\FS1\\VOL1\\A,owner,,,.A",
            "removed,FS1\\VOL1:A,owner,,.A," }));
    EXPECT_EQ(result.settingsRows, 4u);
    const std::vector<std::string> text = SplitCrLf(BuildCompareText(result));
    EXPECT_EQ(text.front(), "The settings of the two reports differ: the differences below may come from that.");
    EXPECT_EQ(text[1], "Changed settings subdirs of \\\\fs1\\vol1: TRUE -> FALSE");
    EXPECT_EQ(text[4], "Changed settings names: short -> long");
    EXPECT_EQ(text[5], "Added owner at \\\\FS1\\VOL1\\A: .A");
}
