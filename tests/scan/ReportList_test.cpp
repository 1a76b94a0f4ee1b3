#include "scan/LineKinds.h"
#include "scan/NameTable.h"
#include "scan/PathTable.h"
#include "scan/ReportList.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

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

TEST(LineKinds, ValueCutsTheLabelLength)
{
    EXPECT_EQ(LineValue("     Trustee: .Admin [RF]", 16), ".Admin [RF]");
    EXPECT_EQ(LineValue("FS1\\VOL1:DIR", 15), "FS1\\VOL1:DIR");
    EXPECT_EQ(LineValue("Base: ", 10), "");
    EXPECT_EQ(LineValue("XXXXXX\\\\FS1", 10), "\\\\FS1");
    EXPECT_EQ(LineValue("short", 16), "");
}

TEST(ReportList, AppendReadReplaceClear)
{
    ReportList list;
    EXPECT_TRUE(list.empty());
    list.append("Base: \\\\FS1\\VOL1", 10);
    list.append("", 0);
    list.append("FS1\\VOL1:DIR", 15);
    list.append("     IRM: [R    F  ]", 18);
    ASSERT_EQ(list.count(), 4u);
    EXPECT_EQ(list.text(0), "Base: \\\\FS1\\VOL1");
    EXPECT_EQ(list.code(0), 10);
    EXPECT_EQ(list.text(1), "");
    EXPECT_EQ(list.code(1), 0);
    EXPECT_EQ(list.line(3).code, 18);
    EXPECT_EQ(list.textBytes(), 16u + 12u + 20u);

    const std::string_view before = list.text(0);
    list.replaceText(2, "\\\\FS1\\VOL1\\Long Directory Name");
    EXPECT_EQ(list.text(2), "\\\\FS1\\VOL1\\Long Directory Name");
    EXPECT_EQ(list.code(2), 15);
    EXPECT_EQ(list.text(3), "     IRM: [R    F  ]");
    EXPECT_EQ(before, "Base: \\\\FS1\\VOL1");

    list.clear();
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.textBytes(), 0u);
}

TEST(ReportList, RejectsUnknownKindCodes)
{
    ReportList list;
    EXPECT_THROW(list.append("x", 9), std::invalid_argument);
    EXPECT_THROW(list.append("x", 19), std::invalid_argument);
    EXPECT_THROW(list.append("x", -1), std::invalid_argument);
    EXPECT_EQ(list.count(), 0u);
}

TEST(ReportList, ManyLinesAcrossChunksAndHugeTexts)
{
    ReportList list;
    const std::string huge(3 << 20, 'h');
    for (int i = 0; i < 200000; ++i) {
        list.append("FS1\\VOL1:DIR\\ENTRY" + std::to_string(i), 15);
        if (i == 1000)
            list.append(huge, 10);
    }
    ASSERT_EQ(list.count(), 200001u);
    EXPECT_EQ(list.text(0), "FS1\\VOL1:DIR\\ENTRY0");
    EXPECT_EQ(list.text(1001), huge);
    EXPECT_EQ(list.code(1001), 10);
    EXPECT_EQ(list.text(200000), "FS1\\VOL1:DIR\\ENTRY199999");
    list.replaceText(5, huge);
    EXPECT_EQ(list.text(5).size(), huge.size());
    list.replaceText(1001, "short");
    EXPECT_EQ(list.text(1001), "short");
    // Slots, chunks and the texts kept apart (the replaced huge one still among them).
    EXPECT_LT(list.memoryBytes(), 2 * list.textBytes() + 16 * list.count() + (2u << 20));
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
}
