#include "scan/LineKinds.h"
#include "scan/ReportFilter.h"
#include "scan/ReportList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

TEST(LineKinds, TableRowsLabelsAndTemplates)
{
    const size_t lengths[] = { 6, 14, 12, 11, 13, 0, 14, 12, 10 };
    for (int code = 10; code <= 18; ++code) {
        const TInfo* kind = FindLineKind(code);
        ASSERT_NE(kind, nullptr);
        EXPECT_EQ(kind->code, code);
        EXPECT_EQ(kind->label.size(), lengths[code - 10]) << code;
        if (code == 15)
            continue;
        EXPECT_EQ(kind->label.back(), ' ');
        if (code != 10) {
            EXPECT_EQ(kind->label.substr(0, 5), "     ");
            EXPECT_NE(kind->label[5], ' ');
        }
    }
    EXPECT_EQ(FindLineKind(0), nullptr);
    EXPECT_EQ(FindLineKind(9), nullptr);
    EXPECT_EQ(FindLineKind(19), nullptr);
    EXPECT_EQ(FindLineKind(10)->label, "Base: ");
    EXPECT_EQ(FindLineKind(14)->label, "     Filter: ");
    EXPECT_EQ(FindLineKind(16)->batTemplate, "RIGHTS %s %s /Name=\"%s\"");
    EXPECT_EQ(FindLineKind(17)->batTemplate, "REM Owner [%s] %s");
    EXPECT_EQ(FindLineKind(18)->batTemplate, "RIGHTS %s %s /f");
    EXPECT_EQ(FindLineKind(11)->xmlTemplate, "<settings><subdir>%s</subdir></settings>");
    EXPECT_EQ(FindLineKind(16)->xmlTemplate, "<trustee><path>%s</path><rights>%s</rights><name>%s</name></trustee>");
    EXPECT_EQ(FindLineKind(18)->xmlTemplate, "<irm><path>%s</path><rights>%s</rights></irm>");
    for (int code = 10; code <= 15; ++code)
        EXPECT_TRUE(FindLineKind(code)->batTemplate.empty()) << code;
    EXPECT_TRUE(FindLineKind(15)->xmlTemplate.empty());
}

TEST(ReportList, EveryLineKeepsItsStructureAndMakesItsText)
{
    ReportList list;
    list.appendSetting(lkBase, "\\\\FS1\\VOL1\\50%");
    list.appendSetting(lkScope, "");
    list.appendSeparator();
    const uint32_t node = list.appendPathLine("FS1\\VOL1:DIR", PathEntryType::Directory);
    const uint32_t admin = list.names().intern(".Admin");
    list.appendTrustee(admin, 0x41 | 0x04);
    list.appendTrustee(list.names().intern("ID: [0001A2B3]"), 0);
    list.appendOwner(admin);
    list.appendOwner(NameTable::noName);
    list.appendIrm(0x41);
    list.appendIrm(0xFF);
    list.appendPath(node);
    list.appendTrusteeHeader(admin);
    list.appendTrusteeDetail(node, false, 0x1FB);
    list.appendTrusteeDetail(PathTable::noNode, false, 0x100);

    const std::vector<std::pair<int, std::string>> expected = {
        { 10, "Base: \\\\FS1\\VOL1\\50%" },
        { 12, "     Scope: " },
        { 0, "" },
        { 15, "FS1\\VOL1:DIR" },
        { 16, "     Trustee: .Admin [RF]" },
        { 16, "     Trustee: ID: [0001A2B3] []" },
        { 17, "     Owner: .Admin" },
        { 17, "     Owner: (n/a)" },
        { 18, "     IRM: [R    F  ]" },
        { 18, "     IRM: [RWCEAFM ]" },
        { 15, "FS1\\VOL1:DIR" },
        { 0, "Trustee: .Admin " },
        { 0, "     FS1\\VOL1:DIR [RWCEAFMS]" },
        { 0, "      [S]" },
    };
    ASSERT_EQ(list.count(), expected.size());
    size_t bytes = 0;
    for (size_t i = 0; i < list.count(); ++i) {
        EXPECT_EQ(list.code(i), expected[i].first) << i;
        EXPECT_EQ(list.line(i).code, expected[i].first) << i;
        EXPECT_EQ(list.text(i), expected[i].second) << i;
        bytes += expected[i].second.size();
    }
    EXPECT_EQ(list.textBytes(), bytes);

    // What the readers take instead of the text.
    EXPECT_EQ(list.line(0).row, ReportRow::Setting);
    EXPECT_EQ(list.line(0).value, "\\\\FS1\\VOL1\\50%");
    EXPECT_EQ(list.line(3).row, ReportRow::Path);
    EXPECT_EQ(list.line(3).node, node);
    EXPECT_EQ(list.line(10).node, node);
    EXPECT_EQ(list.paths().entryType(node), PathEntryType::Directory);
    EXPECT_EQ(list.line(4).name, admin);
    EXPECT_EQ(list.line(4).rights, 0x45); // the mask as delivered, bits without a letter too
    EXPECT_EQ(list.line(7).name, NameTable::noName);
    EXPECT_EQ(list.line(8).rights, 0x41);
    EXPECT_EQ(list.line(11).row, ReportRow::TrusteeHeader);
    EXPECT_EQ(list.line(12).row, ReportRow::TrusteeDetail);
    EXPECT_EQ(list.line(13).node, PathTable::noNode);

    // Only settings codes are settings; nothing is appended for another.
    for (int code : { 0, 9, 15, 16, 19, -1 })
        EXPECT_THROW(list.appendSetting(code, "x"), std::invalid_argument) << code;
    EXPECT_EQ(list.count(), expected.size());

    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.textBytes(), 0u);
    EXPECT_EQ(list.names().count(), 0u);
}

TEST(PathTable, EntriesOfAWalkShareTheirDirectoriesAndAnyTextComesBackExactly)
{
    PathTable paths;
    const uint32_t dir = paths.resolve("FS1\\VOL1:R&D", PathEntryType::Directory);
    const uint32_t file = paths.resolve("FS1\\VOL1:R&D\\PLAN.TXT", PathEntryType::File);
    const uint32_t sub = paths.resolve("FS1\\VOL1:R&D\\SUB", PathEntryType::Directory);
    const uint32_t deep = paths.resolve("FS1\\VOL1:R&D\\SUB\\A.TXT", PathEntryType::File);
    EXPECT_EQ(paths.resolve("FS1\\VOL1:R&D\\SUB\\A.TXT"), deep); // a repeated path line
    const uint32_t next = paths.resolve("FS1\\VOL1:R&D\\SUBWAY", PathEntryType::Directory);
    EXPECT_EQ(paths.nodeCount(), 6u); // "FS1", "VOL1:R&D", then one per entry
    EXPECT_EQ(paths.parent(file), dir);
    EXPECT_EQ(paths.parent(sub), dir);
    EXPECT_EQ(paths.parent(deep), sub);
    EXPECT_EQ(paths.parent(next), dir);
    EXPECT_EQ(paths.leaf(next), "SUBWAY");
    EXPECT_EQ(paths.entryType(file), PathEntryType::File);
    EXPECT_EQ(paths.entryType(sub), PathEntryType::Directory);
    EXPECT_EQ(paths.entryType(paths.parent(dir)), PathEntryType::NotReported);
    // A prefix of the last path reuses its node.
    EXPECT_EQ(paths.resolve("FS1\\VOL1:R&D"), dir);
    EXPECT_EQ(paths.entryType(dir), PathEntryType::Directory);

    const std::string longComponent(70000, 'x');
    for (const std::string& text : { std::string(""), std::string("\\"), std::string("\\\\SRV\\VOL\\"),
             std::string("A\\\\B"), std::string("FS1\\VOL1:"), std::string("FS1\\VOL1:\\ROOT.TXT"),
             "FS1\\VOL1:" + longComponent + "\\F", std::string(200, '\\') + "x" }) {
        const uint32_t node = paths.resolve(text);
        std::string out = "kept:";
        paths.appendText(node, out);
        EXPECT_EQ(out, "kept:" + text) << text.substr(0, 40);
        EXPECT_EQ(paths.textLength(node), text.size()) << text.substr(0, 40);
    }
    // A path that differs from the one before at any byte (the shared part is found eight
    // bytes at a time) keeps its own text.
    const std::string base = "FS1\\VOL1:R&D\\SUB\\DEEPER\\A.TXT";
    for (size_t at = 0; at < base.size(); ++at) {
        paths.resolve(base);
        std::string changed = base;
        changed[at] = changed[at] == '\\' ? '_' : '\\';
        std::string out;
        paths.appendText(paths.resolve(changed), out);
        EXPECT_EQ(out, changed);
    }
}

TEST(PathTable, LongFormsAreKeptAfterTheirParentsAndWhole)
{
    PathTable paths;
    const uint32_t dir = paths.resolve("FS1\\VOL1:R&D");
    const uint32_t sub = paths.resolve("FS1\\VOL1:R&D\\PLANS2~1");
    const uint32_t file = paths.resolve("FS1\\VOL1:R&D\\PLANS2~1\\BUDGET~1.XLS");
    const uint32_t other = paths.resolve("FS1\\VOL1:R&D\\ODD");
    EXPECT_EQ(paths.longFormState(sub), LongFormState::None);
    paths.setLongForm(dir, "\\\\FS1\\VOL1\\R&D");
    paths.setLongForm(sub, "\\\\FS1\\VOL1\\R&D\\Plans 2002");
    paths.setLongForm(file, "\\\\FS1\\VOL1\\R&D\\Plans 2002\\Budget 2002.xls");
    paths.setLongForm(other, "\\\\FS1\\VOL1\\R&"); // shorter than its parent's: kept whole
    paths.setLongForm(sub, "ignored: the first long form stays");
    const auto longText = [&](uint32_t node) {
        std::string out = ">";
        paths.appendLongText(node, out);
        return out;
    };
    EXPECT_EQ(longText(file), ">\\\\FS1\\VOL1\\R&D\\Plans 2002\\Budget 2002.xls");
    EXPECT_EQ(paths.longTextLength(file), longText(file).size() - 1);
    EXPECT_EQ(longText(sub), ">\\\\FS1\\VOL1\\R&D\\Plans 2002");
    EXPECT_EQ(longText(other), ">\\\\FS1\\VOL1\\R&");
    EXPECT_EQ(paths.longFormState(file), LongFormState::Converted);
    // The short forms stay.
    std::string shortText;
    paths.appendText(file, shortText);
    EXPECT_EQ(shortText, "FS1\\VOL1:R&D\\PLANS2~1\\BUDGET~1.XLS");

    const uint32_t rejected = paths.resolve("FS1\\VOL1:R&D\\NEW");
    paths.setLongFormRejected(rejected);
    EXPECT_EQ(paths.longFormState(rejected), LongFormState::Rejected);
    paths.setLongForm(rejected, "\\\\FS1\\VOL1\\R&D\\New");
    EXPECT_EQ(paths.longFormState(rejected), LongFormState::Rejected);
}

TEST(ReportList, TextsMadeInOrderWithACacheAreTheTextsOfEachLine)
{
    // Paths of a random walk: below, beside and above the path before, repeated, in
    // both forms, and rows of the list by trustee in between.
    std::mt19937 random(4711);
    const std::vector<std::string> parts = { "A", "B", "LONG NAME", "", "C.TXT" };
    ReportList list;
    std::string path = "FS1\\VOL1:";
    for (int i = 0; i < 3000; ++i) {
        const unsigned step = random() % 4;
        if (step == 0 && path.size() > 10)
            path.erase(path.rfind('\\'));
        else if (step == 1 && path.size() > 10)
            path.erase(path.rfind('\\') + 1) += parts[random() % parts.size()];
        else if (step == 2)
            path += "\\" + parts[random() % parts.size()];
        const uint32_t node = list.appendPathLine(path);
        if (random() % 5 == 0) {
            list.paths().setLongForm(node, "\\\\LONG\\" + std::to_string(i));
            list.showLongForm(list.count() - 1);
        }
        if (random() % 7 == 0)
            list.appendTrusteeDetail(random() % 3 ? node : PathTable::noNode, random() % 2, 0x41);
    }
    PathTextCache cache;
    std::string inOrder;
    std::string each;
    for (size_t i = 0; i < list.count(); ++i) {
        list.appendText(i, inOrder, &cache);
        list.appendText(i, each);
        ASSERT_EQ(inOrder, each) << i;
    }
    EXPECT_EQ(inOrder.size(), list.textBytes());
}

TEST(NameTable, NamesAreStoredOnceByTheirExactBytes)
{
    NameTable names;
    const uint32_t admin = names.intern(".Admin");
    EXPECT_EQ(names.intern(".Admin"), admin);
    EXPECT_NE(names.intern(".ADMIN"), admin);
    EXPECT_NE(names.intern(".Admin "), admin);
    const uint32_t empty = names.intern("");
    EXPECT_EQ(names.intern(""), empty);
    EXPECT_EQ(names.name(admin), ".Admin");
    EXPECT_EQ(names.name(empty), "");
    EXPECT_EQ(names.count(), 4u);
    // Thousands of names: the index grows and every name keeps its number.
    for (int i = 0; i < 5000; ++i)
        names.intern("user" + std::to_string(i));
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(names.name(names.intern("user" + std::to_string(i))), "user" + std::to_string(i));
    EXPECT_EQ(names.count(), 5004u);
    EXPECT_EQ(names.intern(".Admin"), admin);
}

TEST(ReportList, RowsBuiltFromResultsKeepTheirTextsAfterTheResultsAreEmptied)
{
    ReportList results;
    const uint32_t node = results.appendPathLine("FS1\\VOL1:DATA");
    const uint32_t name = results.names().intern(".Admin");
    results.appendTrustee(name, 0x41);
    ReportList rows;
    rows.shareTables(results);
    rows.appendTrusteeHeader(name);
    rows.appendTrusteeDetail(node, false, 0x41);
    EXPECT_THROW(rows.shareTables(results), std::logic_error);
    results.clear();
    results.appendPathLine("FS2\\OTHER:X");
    EXPECT_EQ(rows.text(0), "Trustee: .Admin ");
    EXPECT_EQ(rows.text(1), "     FS1\\VOL1:DATA [RF]");
    EXPECT_EQ(results.text(0), "FS2\\OTHER:X");
}

TEST(ReportList, ManyLinesAcrossBlocksAndHugeTexts)
{
    ReportList list;
    const std::string huge(3 << 20, 'h');
    const uint32_t name = list.names().intern(".Admin.Corp");
    for (int i = 0; i < 200000; ++i) {
        list.appendPathLine("FS1\\VOL1:DEPTS\\RESEARCH\\PROJECTS\\2024\\ENTRY" + std::to_string(i));
        list.appendOwner(name);
        if (i == 1000)
            list.appendSetting(lkBase, huge);
    }
    ASSERT_EQ(list.count(), 400001u);
    EXPECT_EQ(list.text(0), "FS1\\VOL1:DEPTS\\RESEARCH\\PROJECTS\\2024\\ENTRY0");
    EXPECT_EQ(list.text(2002), "Base: " + huge);
    EXPECT_EQ(list.code(2002), 10);
    EXPECT_EQ(list.text(400000), "     Owner: .Admin.Corp");
    EXPECT_EQ(list.text(399999), "FS1\\VOL1:DEPTS\\RESEARCH\\PROJECTS\\2024\\ENTRY199999");
    EXPECT_EQ(list.paths().nodeCount(), 200005u);
    // The entries' own names are stored, not their whole paths: the store holds less
    // than the texts it shows (besides the huge value, which it holds once).
    ASSERT_GT(list.memoryBytes(), huge.size());
    EXPECT_LT(list.memoryBytes() - huge.size(), (list.textBytes() - huge.size()) * 3 / 4);
}

// ---- The filtered view (ReportFilter) ------------------------------------------------------

namespace {

// A by-path result of two entries under one start path: settings, a path with two
// trustees and an IRM, the same path again with its owner, then a second path with an
// unresolved ID holding Supervisor.
ReportList filterResults()
{
    ReportList list;
    list.appendSetting(10, "\\\\FS1\\VOL1\\DATA");
    list.appendSetting(11, "TRUE");
    list.appendSeparator();
    const uint32_t data = list.appendPathLine("FS1\\VOL1:DATA"); // 3
    list.appendTrustee(list.names().intern(".Admin.Corp"), 0x1FB); // 4
    list.appendTrustee(list.names().intern("[Public]"), 0x41); // 5
    list.appendIrm(0x41); // 6
    list.appendPath(data); // 7
    list.appendOwner(list.names().intern(".Admin.Corp")); // 8
    list.appendPathLine("FS1\\VOL1:DATA\\SALES"); // 9
    list.appendTrustee(list.names().intern("ID: [0001A2B3]"), 0x100); // 10
    list.appendTrustee(list.names().intern(".Staff.Corp"), 0x03); // 11
    list.appendSeparator();
    return list;
}

std::vector<uint32_t> shown(const ReportList& list, ReportFilterSpec criteria, size_t step = SIZE_MAX)
{
    ReportFilter filter(std::move(criteria));
    std::vector<uint32_t> rows;
    while (filter.examined() < list.count())
        filter.run(list, step == SIZE_MAX ? list.count() : filter.examined() + step, rows);
    return rows;
}

} // namespace

TEST(ReportFilter, TextMatchesPathOrTrusteeAndKeepsThePathAboveIt)
{
    const ReportList list = filterResults();
    // A trustee's name, in another case: the trustee line and owner line with their paths.
    EXPECT_EQ(shown(list, { "ADMIN" }), (std::vector<uint32_t> { 3, 4, 7, 8 }));
    // A path: every detail line under it, IRM included, never the settings.
    EXPECT_EQ(shown(list, { "sales" }), (std::vector<uint32_t> { 9, 10, 11 }));
    EXPECT_EQ(shown(list, { "vol1:data" }), (std::vector<uint32_t> { 3, 4, 5, 6, 7, 8, 9, 10, 11 }));
    EXPECT_TRUE(shown(list, { "nowhere" }).empty());
    // Examined a line at a time, as slices do, the view is the same.
    EXPECT_EQ(shown(list, { "corp" }, 1), shown(list, { "corp" }));
    EXPECT_EQ(shown(list, { "corp" }), (std::vector<uint32_t> { 3, 4, 7, 8, 9, 11 }));
}

TEST(ReportFilter, QuickFiltersKeepOnlyTheirTrustees)
{
    const ReportList list = filterResults();
    ReportFilterSpec unresolved;
    unresolved.unresolvedOnly = true;
    EXPECT_EQ(shown(list, unresolved), (std::vector<uint32_t> { 9, 10 }));
    ReportFilterSpec publicRoot;
    publicRoot.publicOrRootOnly = true;
    EXPECT_EQ(shown(list, publicRoot), (std::vector<uint32_t> { 3, 5 }));
    ReportFilterSpec strong;
    strong.strongRightsOnly = true; // .Admin.Corp holds A, M and S; the ID holds S
    EXPECT_EQ(shown(list, strong), (std::vector<uint32_t> { 3, 4, 9, 10 }));
    // Conditions add up: strong rights and a text.
    strong.text = "admin";
    EXPECT_EQ(shown(list, strong), (std::vector<uint32_t> { 3, 4 }));
    EXPECT_FALSE(ReportFilterSpec {}.active());
}

TEST(ReportFilter, ListByTrusteeShowsHeadersWithTheirMatchingRows)
{
    ReportList results = filterResults();
    ReportList rows;
    rows.shareTables(results);
    rows.appendTrusteeHeader(results.names().intern(".Admin.Corp")); // 0
    rows.appendTrusteeDetail(results.line(3).node, false, 0x1FB); // 1
    rows.appendTrusteeHeader(results.names().intern("[Public]")); // 2
    rows.appendTrusteeDetail(results.line(3).node, false, 0x41); // 3
    rows.appendTrusteeHeader(results.names().intern(".Staff.Corp")); // 4
    rows.appendTrusteeDetail(results.line(9).node, false, 0x03); // 5
    EXPECT_EQ(shown(rows, { "staff" }), (std::vector<uint32_t> { 4, 5 }));
    EXPECT_EQ(shown(rows, { "sales" }), (std::vector<uint32_t> { 4, 5 }));
    EXPECT_EQ(shown(rows, { "data" }), (std::vector<uint32_t> { 0, 1, 2, 3, 4, 5 }));
    ReportFilterSpec publicRoot;
    publicRoot.publicOrRootOnly = true;
    EXPECT_EQ(shown(rows, publicRoot), (std::vector<uint32_t> { 2, 3 }));
}

TEST(ReportFilter, RestartExaminesTheListAgain)
{
    ReportList list = filterResults();
    ReportFilter filter({ "staff" });
    std::vector<uint32_t> rows;
    filter.run(list, list.count(), rows);
    EXPECT_EQ(rows, (std::vector<uint32_t> { 9, 11 }));
    list.appendPathLine("FS1\\VOL1:STAFF");
    list.appendIrm(0);
    filter.run(list, list.count(), rows); // lines appended since are examined too
    EXPECT_EQ(rows, (std::vector<uint32_t> { 9, 11, 13, 14 }));
    rows.clear();
    filter.restart();
    filter.run(list, list.count(), rows);
    EXPECT_EQ(rows, (std::vector<uint32_t> { 9, 11, 13, 14 }));
    size_t widest = 0;
    for (size_t i = 0; i < list.count(); ++i)
        widest = std::max(widest, list.text(i).size());
    EXPECT_EQ(list.widestText(), widest);
}
