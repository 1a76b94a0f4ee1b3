#include "settings/D_Ini.h"
#include "settings/SavedScanSettings.h"
#include "support/TestPaths.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::vector<IniListItem> queueOf(std::initializer_list<std::pair<const char*, bool>> entries)
{
    std::vector<IniListItem> list;
    for (const auto& [text, checked] : entries)
        list.push_back({ text, 0, checked });
    return list;
}

// Saves a check list into a fresh file and returns the file's text.
std::string savedQueueText(const std::string& path, const std::vector<IniListItem>& queue)
{
    ProfileFile ini(path);
    SaveCheckList(ini, "CheckListBoxQ", queue, true);
    IniFlush(ini);
    return ReadFileBytes(path);
}

} // namespace

TEST(D_Ini, IniFileNameIsTheProgramNameWithIni)
{
    TestServices services;
    services.context().programFilePath = "/opt/tools/REPORT.EXE";
    EXPECT_EQ(IniFileName(false), "/opt/tools/REPORT.ini");
    EXPECT_EQ(IniFileName(true), "REPORT.ini");
    services.context().programFilePath = "/usr/bin/grantwise";
    EXPECT_EQ(IniFileName(true), "grantwise.ini");
}

TEST(D_Ini, IntegersAreDecimalOrHexAndNonNumbersCountAsMissing)
{
    EXPECT_EQ(IniParseInt("42"), 42);
    EXPECT_EQ(IniParseInt("-7"), -7);
    EXPECT_EQ(IniParseInt("+7"), 7);
    EXPECT_EQ(IniParseInt("0x1F"), 31);
    EXPECT_EQ(IniParseInt("0X1f"), 31);
    EXPECT_EQ(IniParseInt("0xFFFFFFFF"), -1);
    EXPECT_EQ(IniParseInt("0x7FFFFFFF"), 2147483647);
    EXPECT_EQ(IniParseInt("2147483647"), 2147483647);
    EXPECT_EQ(IniParseInt("-2147483648"), INT32_MIN);
    for (const char* bad : { "", "0x", "0x1G", "0x123456789", "12abc", "1.5", "2147483648", "-", "abc", "1 2" })
        EXPECT_FALSE(IniParseInt(bad).has_value()) << bad;

    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(
        dir.file("n.ini"), "[Settings]\nHex=0x10\nWord=abc\nZero=0\nNeg=-3\nMainForm.Left=0x0\nOnly0x=0x\n"));
    const ProfileFile ini(dir.file("n.ini"));
    EXPECT_EQ(IniReadInt(ini, "settings", "hex", 5), 16);
    EXPECT_EQ(IniReadInt(ini, "Settings", "Word", 5), 5);
    EXPECT_EQ(IniReadInt(ini, "Settings", "Only0x", 5), 5);
    EXPECT_EQ(IniReadInt(ini, "Settings", "Missing", 5), 5);
    EXPECT_EQ(IniReadInt(ini, "NoSection", "Hex", 5), 5);
    EXPECT_FALSE(IniReadBool(ini, "Settings", "Zero", true));
    EXPECT_TRUE(IniReadBool(ini, "Settings", "Neg", false));
    EXPECT_TRUE(IniReadBool(ini, "Settings", "Hex", false));
    EXPECT_TRUE(IniReadBool(ini, "Settings", "Word", true));
    EXPECT_FALSE(IniReadBool(ini, "Settings", "Word", false));
    EXPECT_EQ(IniReadStr(ini, "Settings", "Word", "d"), "abc");
    EXPECT_EQ(IniReadStr(ini, "Settings", "Missing", "d"), "d");
}

// A missing key is always written (so an unchecked IRM box and an emptied pattern are
// kept); a present key is rewritten only when its value changes.
TEST(D_Ini, WritesWhenTheKeyIsMissingOrTheValueChanged)
{
    TempDir dir;
    const std::string path = dir.file("w.ini");
    {
        ProfileFile ini(path);
        IniWriteBool(ini, "Settings", "CheckBox_IRM", false);
        IniWriteStr(ini, "Settings", "EditPattern", "");
        IniWriteInt(ini, "Settings", "RadioGroupScope", 0);
        IniFlush(ini);
    }
    EXPECT_EQ(ReadFileBytes(path), "[Settings]\nCheckBox_IRM=0\nEditPattern=\nRadioGroupScope=0\n");
    const ProfileFile reread(path);
    EXPECT_FALSE(IniReadBool(reread, "Settings", "CheckBox_IRM", true));
    EXPECT_EQ(IniReadStr(reread, "Settings", "EditPattern", "*.*"), "");

    // Equal values leave hand-formatted lines alone: nothing is written.
    const std::string handMade = "[Settings]\nCheckBox_IRM = 0x1\nEditPattern = \"a b\"\nRadioGroupScope = 2\n"
                                 "Num = junk\n";
    ASSERT_TRUE(WriteFileBytes(path, handMade));
    {
        ProfileFile ini(path);
        IniWriteBool(ini, "settings", "checkbox_irm", true);
        IniWriteStr(ini, "Settings", "EditPattern", "a b");
        IniWriteStr(ini, "Settings", "EditPattern", "\"a b\""); // equals the stored text put in quotes
        IniWriteInt(ini, "Settings", "RadioGroupScope", 2);
        IniFlush(ini);
    }
    EXPECT_EQ(ReadFileBytes(path), handMade);

    {
        ProfileFile ini(path);
        IniWriteBool(ini, "Settings", "CheckBox_IRM", false);
        IniWriteStr(ini, "Settings", "EditPattern", "A B"); // letter case counts for values
        IniWriteInt(ini, "Settings", "RadioGroupScope", 1);
        IniWriteInt(ini, "Settings", "Num", 0); // a stored non-number counts as missing
        IniFlush(ini);
    }
    EXPECT_EQ(ReadFileBytes(path), "[Settings]\nCheckBox_IRM=0\nEditPattern=A B\nRadioGroupScope=1\nNum=0\n");
}

TEST(D_Ini, UnstorableWriteThrows)
{
    TempDir dir;
    ProfileFile ini(dir.file("x.ini"));
    EXPECT_THROW(IniWriteStr(ini, "Settings", "Bad\nKey", "1"), IniWriteError);
    EXPECT_THROW(IniWriteInt(ini, "Settings\n", "k", 1), IniWriteError);
    IniFlush(ini);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.ini"))) << "nothing was written";
}

TEST(D_Ini, AnUnstorableQueueValueCostsThatValueOnly)
{
    TempDir dir;
    const std::string path = dir.file("q.ini");
    const auto queue = queueOf(
        { { "\\\\FS1\\A", true }, { "\\\\FS1\\B\"=C", true }, { "\\\\FS1\\D\nE", true }, { "\\\\FS1\\F", true } });
    {
        ProfileFile ini(path);
        EXPECT_EQ(SaveCheckList(ini, "CheckListBoxQ", queue, true),
            (IniRefusals { path + ": [CheckListBoxQ] a value cannot hold a line break",
                path + ": [CheckListBoxQ Checked] the key '\\\\FS1\\B\"=C' holds a double quote followed by '='",
                path + ": [CheckListBoxQ Checked] a key cannot hold a line break" }));
        IniFlush(ini);
    }
    const ProfileFile ini(path);
    std::vector<IniListItem> loaded;
    LoadCheckList(ini, "CheckListBoxQ", loaded, true);
    ASSERT_EQ(loaded.size(), 3u);
    EXPECT_TRUE(loaded[0].checked);
    EXPECT_EQ(loaded[1].text, "\\\\FS1\\B\"=C");
    EXPECT_FALSE(loaded[1].checked);
    EXPECT_EQ(loaded[2].text, "\\\\FS1\\F");
    EXPECT_TRUE(loaded[2].checked);
    EXPECT_EQ(IniRefusalsText({ "a", "b" }), "These settings could not be saved:\na\nb");
}

TEST(D_Ini, QueueOfThreePathsWithTheSecondChecked)
{
    TempDir dir;
    const auto queue = queueOf(
        { { "\\\\FS1\\VOL1\\APPS", false }, { "\\\\FS1\\VOL1\\R&D Dept", true }, { "\\\\FS2\\DATA\\HOME", false } });
    EXPECT_EQ(savedQueueText(dir.file("q.ini"), queue),
        "[CheckListBoxQ]\n"
        "0=\\\\FS1\\VOL1\\APPS\n"
        "1=\\\\FS1\\VOL1\\R&D Dept\n"
        "2=\\\\FS2\\DATA\\HOME\n"
        "\n"
        "[CheckListBoxQ Checked]\n"
        "\\\\FS1\\VOL1\\R&D Dept=1\n");

    std::vector<IniListItem> loaded = queueOf({ { "stale entry", true } });
    LoadCheckList(ProfileFile(dir.file("q.ini")), "CheckListBoxQ", loaded, true);
    ASSERT_EQ(loaded.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(loaded[i].text, queue[i].text);
        EXPECT_EQ(loaded[i].checked, queue[i].checked) << i;
        EXPECT_EQ(loaded[i].object, static_cast<int>(i)) << "the key is attached to the item";
    }
}

TEST(D_Ini, AllUncheckedLeavesNoCheckedSection)
{
    TempDir dir;
    const std::string path = dir.file("q.ini");
    savedQueueText(path, queueOf({ { "\\\\FS1\\VOL1\\A", true }, { "\\\\FS1\\VOL1\\B", true } }));
    const std::string text
        = savedQueueText(path, queueOf({ { "\\\\FS1\\VOL1\\A", false }, { "\\\\FS1\\VOL1\\C", false } }));
    EXPECT_EQ(text, "[CheckListBoxQ]\n0=\\\\FS1\\VOL1\\A\n1=\\\\FS1\\VOL1\\C\n\n");
    EXPECT_FALSE(ProfileFile(path).sectionExists("CheckListBoxQ Checked"));
}

TEST(D_Ini, PathsDifferingInCaseShareOneCheckedKey)
{
    TempDir dir;
    const std::string path = dir.file("q.ini");
    const std::string text
        = savedQueueText(path, queueOf({ { "\\\\FS1\\VOL1\\Data", true }, { "\\\\fs1\\vol1\\DATA", false } }));
    EXPECT_NE(text.find("[CheckListBoxQ Checked]\n\\\\FS1\\VOL1\\Data=1\n"), std::string::npos) << text;
    std::vector<IniListItem> loaded;
    LoadCheckList(ProfileFile(path), "CheckListBoxQ", loaded, true);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_TRUE(loaded[0].checked);
    EXPECT_TRUE(loaded[1].checked) << "one key holds the mark of both";
}

TEST(D_Ini, LoadStringsAttachesKeyNumbers)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("s.ini"), "[L]\n7=seven\nname=x=y\n0x10=\"sixteen\"\n"));
    std::vector<IniListItem> list = { { "kept", 99, false } };
    LoadStrings(ProfileFile(dir.file("s.ini")), "l", list, true);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].text, "kept");
    EXPECT_EQ(list[1].text, "seven");
    EXPECT_EQ(list[1].object, 7);
    EXPECT_EQ(list[2].text, "x=y") << "the value is everything after the first '='";
    EXPECT_EQ(list[2].object, 0);
    EXPECT_EQ(list[3].text, "sixteen");
    EXPECT_EQ(list[3].object, 16);

    ProfileFile ini(dir.file("s.ini"));
    SaveStrings(ini, "L", { { "a", 5 }, { "b", 9 } }, true);
    IniFlush(ini);
    EXPECT_EQ(ReadFileBytes(dir.file("s.ini")), "[L]\n5=a\n9=b\n");
}

TEST(D_Ini, ThousandsOfQueueEntriesRoundTrip)
{
    TempDir dir;
    std::vector<IniListItem> queue;
    for (int i = 0; i < 5000; ++i)
        queue.push_back({ "\\\\FS" + std::to_string(i % 7) + "\\VOL1\\DIR " + std::to_string(i), 0, i % 3 == 0 });
    savedQueueText(dir.file("q.ini"), queue);
    std::vector<IniListItem> loaded;
    LoadCheckList(ProfileFile(dir.file("q.ini")), "CheckListBoxQ", loaded, true);
    ASSERT_EQ(loaded.size(), queue.size());
    for (size_t i = 0; i < queue.size(); ++i) {
        ASSERT_EQ(loaded[i].text, queue[i].text) << i;
        ASSERT_EQ(loaded[i].checked, queue[i].checked) << i;
    }
}

TEST(D_Ini, BoundsSkipStoredZeros)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir.file("b.ini"),
        "[Settings]\nMainForm.Left=0\nMainForm.Top=0x20\nMainForm.Width=800\nMainForm.Height=junk\n"));
    IniBounds bounds { 264, 134, 745, 504 };
    LoadBounds(ProfileFile(dir.file("b.ini")), "Settings", "MainForm", bounds);
    EXPECT_EQ(bounds.left, 264) << "a stored left edge of 0 keeps the designed one";
    EXPECT_EQ(bounds.top, 32);
    EXPECT_EQ(bounds.width, 800);
    EXPECT_EQ(bounds.height, 504);

    ProfileFile ini(dir.file("c.ini"));
    SaveBounds(ini, "", "Panel1", { 1, 2, 3, 4 });
    IniFlush(ini);
    EXPECT_EQ(
        ReadFileBytes(dir.file("c.ini")), "[Panel1]\nPanel1.Top=2\nPanel1.Left=1\nPanel1.Width=3\nPanel1.Height=4\n");

    ProfileFile bad(dir.file("d.ini"));
    EXPECT_NO_THROW(SaveBounds(bad, "Settings", "Bad\nName", { 1, 2, 3, 4 })) << "errors are discarded";
}

TEST(D_Ini, HistoryKeepsThirtyOneEntriesNewestFirst)
{
    IniHistory history;
    for (int i = 0; i < 31; ++i) {
        history.text = "entry " + std::to_string(i);
        AddToHistory(history);
    }
    ASSERT_EQ(history.items.size(), 31u);
    EXPECT_EQ(history.items.front(), "entry 30");
    EXPECT_EQ(history.items.back(), "entry 0");

    history.text = "ENTRY 12";
    AddToHistory(history);
    EXPECT_EQ(history.items.size(), 31u) << "a case-only duplicate is not added";
    EXPECT_EQ(history.items.front(), "entry 30");

    history.text = "newest";
    AddToHistory(history);
    ASSERT_EQ(history.items.size(), 31u);
    EXPECT_EQ(history.items.front(), "newest");
    EXPECT_EQ(history.items.back(), "entry 1") << "the oldest was pushed out";

    history.text = "";
    AddToHistory(history);
    EXPECT_EQ(history.items.front(), "newest");
}

TEST(D_Ini, HistoryIsStoredQuotedAndReadsBackWithoutQuotes)
{
    TempDir dir;
    const std::string path = dir.file("h.ini");
    IniHistory saved;
    saved.items = { "older" };
    saved.text = "*.txt";
    {
        ProfileFile ini(path);
        SaveHistory(ini, "History Combo", saved);
        IniFlush(ini);
    }
    EXPECT_EQ(ReadFileBytes(path), "[History Combo]\nCurrent=\"*.txt\"\n0=\"*.txt\"\n1=\"older\"\n");

    ASSERT_TRUE(
        WriteFileBytes(path, "[History Combo]\n0=\"quoted entry\"\n1=plain\n2=\n3=PLAIN\n30=last\n31=beyond\n"));
    IniHistory loaded;
    LoadHistory(ProfileFile(path), "History Combo", loaded);
    EXPECT_EQ(loaded.items, (std::vector<std::string> { "quoted entry", "plain", "last" }));
    EXPECT_EQ(loaded.text, "") << "no Current key";

    IniHistory withDefault;
    LoadHistoryDef(ProfileFile(path), "History Combo", withDefault, "*.*");
    EXPECT_EQ(withDefault.text, "*.*");
    EXPECT_EQ(withDefault.items.front(), "*.*");

    IniHistory listOnly;
    listOnly.listOnly = true;
    LoadHistory(ProfileFile(path), "History Combo", listOnly);
    EXPECT_EQ(listOnly.itemIndex, 0);
    EXPECT_EQ(listOnly.text, "quoted entry");
}

TEST(D_Ini, DamagedFilesReadAsDefaults)
{
    TempDir dir;
    std::string binary;
    for (int i = 0; i < 2000; ++i)
        binary += static_cast<char>((i * 131) % 256);
    const std::vector<std::string> contents
        = { "", "not an ini file at all\n=\n[[[]\n", binary, "[Settings\nRadioGroupScope=2\n" };
    for (const std::string& content : contents) {
        ASSERT_TRUE(WriteFileBytes(dir.file("d.ini"), content));
        const ProfileFile ini(dir.file("d.ini"));
        EXPECT_EQ(IniReadInt(ini, "Settings", "RadioGroupScope", 0), 0);
        EXPECT_TRUE(IniReadBool(ini, "Settings", "CheckBox_IRM", true));
        EXPECT_EQ(IniReadStr(ini, "Settings", "EditPattern", "*.*"), "*.*");
        std::vector<IniListItem> queue;
        LoadCheckList(ini, "CheckListBoxQ", queue, true);
        EXPECT_TRUE(queue.empty());
    }
}

TEST(SavedScanSettings, ReadsTheWindowsChoicesAndQueue)
{
    TempDir dir;
    const std::string path = dir.file("grantwise.ini");
    ASSERT_TRUE(WriteFileBytes(path,
        "[Settings]\nRadioGroupScope=2\nRadioGroupInfo=0x1\nCheckBox_IRM=0\nEditPattern=\nMainForm.Top=10\n"
        "[CheckListBoxQ]\n0=\\\\FS1\\VOL1\\A\n1=\\\\FS1\\VOL1\\B\n"
        "[CheckListBoxQ Checked]\n\\\\FS1\\VOL1\\B=1\n"));
    SavedScanSettings saved;
    std::string error;
    ASSERT_TRUE(ReadSavedScanSettings(path, saved, error)) << error;
    EXPECT_EQ(saved.scope, 2);
    EXPECT_EQ(saved.info, 1);
    EXPECT_EQ(saved.irm, false);
    EXPECT_EQ(saved.pattern, "");
    ASSERT_EQ(saved.queue.size(), 2u);
    EXPECT_EQ(saved.queue[0].text, "\\\\FS1\\VOL1\\A");
    EXPECT_FALSE(saved.queue[0].checked);
    EXPECT_TRUE(saved.queue[1].checked);

    // No number, or no key: the window's designed state.
    ASSERT_TRUE(WriteFileBytes(path, "[Settings]\nRadioGroupScope=wide\n"));
    ASSERT_TRUE(ReadSavedScanSettings(path, saved, error));
    EXPECT_EQ(saved.scope, 0);
    EXPECT_EQ(saved.info, 0);
    EXPECT_TRUE(saved.irm);
    EXPECT_EQ(saved.pattern, "*.*");
    EXPECT_TRUE(saved.queue.empty());
}

TEST(SavedScanSettings, UnusableFilesAreNamed)
{
    TempDir dir;
    SavedScanSettings saved;
    std::string error;
    EXPECT_FALSE(ReadSavedScanSettings(dir.file("missing.ini"), saved, error));
    EXPECT_NE(error.find(dir.file("missing.ini")), std::string::npos) << error;

    std::filesystem::create_directory(dir.file("folder.ini"));
    EXPECT_FALSE(ReadSavedScanSettings(dir.file("folder.ini"), saved, error));
    EXPECT_NE(error.find("folder.ini"), std::string::npos) << error;

    ASSERT_TRUE(WriteFileBytes(dir.file("bin.ini"), std::string("[Settings]\nRadioGroupScope=1\n\0\x01\x02", 32)));
    EXPECT_FALSE(ReadSavedScanSettings(dir.file("bin.ini"), saved, error));
    EXPECT_NE(error.find("binary"), std::string::npos) << error;
}
