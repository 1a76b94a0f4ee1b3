#include "platform/ProfileFile.h"
#include "settings/D_Ini.h"
#include "support/FileFaults.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(ProfileFileText, NamesIgnoreCaseAndOneQuotePairIsDropped)
{
    const ProfileFileText text("[Settings]\n"
                               "EditPattern = \"*.*\"  \n"
                               "Twice=\"\"x\"\"\n"
                               "Open=\"abc\n"
                               "Blank=   \n");
    EXPECT_EQ(text.value("SETTINGS", "editpattern"), "*.*");
    EXPECT_EQ(text.value("settings", "TWICE"), "\"x\"");
    EXPECT_EQ(text.value("Settings", "Open"), "\"abc");
    EXPECT_EQ(text.value("Settings", "Blank"), "");
    EXPECT_FALSE(text.value("Settings", "Missing").has_value());
    EXPECT_FALSE(text.value("Other", "EditPattern").has_value());
    EXPECT_TRUE(text.hasSection(" settings "));
}

TEST(ProfileFileText, EditsLeaveEveryOtherLineAsItWas)
{
    const std::string original = "\xEF\xBB\xBF; head comment\r\n"
                                 "\r\n"
                                 "[Settings]\r\n"
                                 "RadioGroupScope = 1 ; trailing\r\n"
                                 "; mid comment\r\n"
                                 "garbage line without equals\r\n"
                                 "[broken section\r\n"
                                 "dup=first\r\n"
                                 "dup=second\r\n"
                                 "\r\n"
                                 "[Other]\r\n"
                                 "Unknown=keep me\r\n"
                                 "[settings]\r\n"
                                 "Extra=3\r\n"
                                 "; trailing comment";
    ProfileFileText text(original);
    EXPECT_EQ(text.value("Settings", "dup"), "first") << "the first of two equal keys is read";
    EXPECT_EQ(text.value("Settings", "Extra"), "3") << "a repeated section is searched too";
    EXPECT_EQ(text.toBytes(), original) << "parsing alone changes nothing";

    std::string error;
    ASSERT_TRUE(text.setValue("SETTINGS", "Dup", "changed", error));
    ASSERT_TRUE(text.setValue("Settings", "New", "v", error));
    ASSERT_TRUE(text.setValue("Fresh", "0", "\\\\SRV\\VOL1", error));
    EXPECT_EQ(text.toBytes(),
        "\xEF\xBB\xBF; head comment\r\n"
        "\r\n"
        "[Settings]\r\n"
        "RadioGroupScope = 1 ; trailing\r\n"
        "; mid comment\r\n"
        "garbage line without equals\r\n"
        "[broken section\r\n"
        "Dup=changed\r\n"
        "dup=second\r\n"
        "New=v\r\n"
        "\r\n"
        "[Other]\r\n"
        "Unknown=keep me\r\n"
        "[settings]\r\n"
        "Extra=3\r\n"
        "; trailing comment\r\n"
        "\r\n"
        "[Fresh]\r\n"
        "0=\\\\SRV\\VOL1\r\n");
}

TEST(ProfileFileText, CarriageReturnsAloneEndLinesAndEveryLineKeepsItsEnd)
{
    // A file with CR-only line ends is read line by line, not as one line.
    const std::string mac = "[Settings]\rRadioGroupScope=2\rEditPattern=*.XLS\r\r[CheckListBoxQ]\r0=\\\\FS1\\VOL1\r";
    ProfileFileText text(mac);
    EXPECT_EQ(text.value("Settings", "RadioGroupScope"), "2");
    EXPECT_EQ(text.value("Settings", "EditPattern"), "*.XLS");
    EXPECT_EQ(text.listSection("CheckListBoxQ"), (std::vector<ProfileFileText::Entry> { { "0", "\\\\FS1\\VOL1" } }));
    std::string error;
    ASSERT_TRUE(text.setValue("Settings", "CheckBox_IRM", "0", error));
    EXPECT_EQ(text.toBytes(),
        "[Settings]\rRadioGroupScope=2\rEditPattern=*.XLS\rCheckBox_IRM=0\r\r[CheckListBoxQ]\r0=\\\\FS1\\VOL1\r");

    // Mixed line ends stay as they were; a last line cut after "...\r" (a fuzz finding:
    // lines added after it once made its CR part of the value) keeps its CR as its end.
    for (const std::string eol : { "\n", "\r\n", "\r" }) {
        ProfileFileText cut("[Settings]" + eol + "Scope=2\r");
        ASSERT_EQ(cut.value("Settings", "Scope"), "2");
        ASSERT_TRUE(cut.setValue("Other", "Key", "v", error));
        EXPECT_EQ(cut.toBytes(), "[Settings]" + eol + "Scope=2\r" + eol + "[Other]" + eol + "Key=v" + eol);
    }
}

TEST(ProfileFileText, KeysOfEveryFormRoundTrip)
{
    const std::vector<std::string> keys = { "\\\\SRV\\VOL1\\DATA", "\\\\FS1\\VOL1\\R&D Dept\\Sub dir", "a=b", "=lead",
        " blank edges ", "", "[bracket]", ";semi", "#hash", "\"quoted\"", "say \"hi\" there", "\"", "ümlaut" };
    ProfileFileText text;
    std::string error;
    for (size_t i = 0; i < keys.size(); ++i)
        ASSERT_TRUE(text.setValue("CheckListBoxQ Checked", keys[i], std::to_string(i), error)) << keys[i] << error;
    const ProfileFileText reread(text.toBytes());
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(reread.value("CheckListBoxQ Checked", keys[i]), std::to_string(i)) << "key '" << keys[i] << "'";
    const auto entries = reread.listSection("checklistboxq checked");
    ASSERT_EQ(entries.size(), keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(entries[i].first, keys[i]) << "keys are listed in file order";
    // A network path needs no quotes: the file reads like any INI file.
    EXPECT_NE(text.toBytes().find("\n\\\\FS1\\VOL1\\R&D Dept\\Sub dir=1\n"), std::string::npos);
}

TEST(ProfileFileText, ValuesWithBlankEdgesSurviveAndQuotedOnesLoseTheirQuotes)
{
    ProfileFileText text;
    std::string error;
    ASSERT_TRUE(text.setValue("S", "a", "  two blanks in front", error));
    ASSERT_TRUE(text.setValue("S", "b", "\"history entry\"", error));
    ASSERT_TRUE(text.setValue("S", "c", "x=y;z", error));
    const ProfileFileText reread(text.toBytes());
    EXPECT_EQ(reread.value("S", "a"), "  two blanks in front");
    EXPECT_EQ(reread.value("S", "b"), "history entry");
    EXPECT_EQ(reread.value("S", "c"), "x=y;z");
}

TEST(ProfileFileText, UnstorableNamesAndValuesAreRefused)
{
    ProfileFileText text("[S]\nk=v\n");
    std::string error;
    EXPECT_FALSE(text.setValue("S", "line\nbreak", "1", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(text.setValue("S", "k", "two\r\nlines", error));
    EXPECT_FALSE(text.setValue("S\n", "k", "1", error));
    EXPECT_FALSE(text.setValue("S", "a\"=b", "1", error)) << "a quote before '=' would end a quoted key";
    EXPECT_EQ(text.toBytes(), "[S]\nk=v\n");
}

TEST(ProfileFileText, EraseSectionRemovesEveryCopyWithItsComments)
{
    ProfileFileText text("[Q]\n0=a\n; about Q\n[Keep]\nx=1\n[q]\n1=b\n");
    text.eraseSection("Q");
    EXPECT_EQ(text.toBytes(), "[Keep]\nx=1\n");
    EXPECT_FALSE(text.hasSection("Q"));
    EXPECT_TRUE(text.listSection("Q").empty());
    text.eraseSection("Missing");
    EXPECT_EQ(text.toBytes(), "[Keep]\nx=1\n");
}

TEST(ProfileFileText, ARewrittenSectionReturnsToItsPlace)
{
    const std::string original = "[Q]\n0=a\n1=b\n\n[Q Checked]\na=1\n\n[Settings]\nx=1\n";
    ProfileFileText text(original);
    std::string error;
    text.eraseSection("q");
    text.eraseSection("Q Checked");
    ASSERT_TRUE(text.setValue("Q", "0", "a", error));
    ASSERT_TRUE(text.setValue("Q", "1", "b", error));
    ASSERT_TRUE(text.setValue("Q Checked", "a", "1", error));
    EXPECT_EQ(text.toBytes(), original);

    text.eraseSection("Q");
    EXPECT_FALSE(text.value("Q", "0").has_value());
    EXPECT_EQ(text.toBytes(), "[Q Checked]\na=1\n\n[Settings]\nx=1\n");
    ASSERT_TRUE(text.setValue("Q", "0", "c", error));
    ASSERT_TRUE(text.setValue("Q", "1", "d", error));
    ASSERT_TRUE(text.setValue("Q", "2", "e", error));
    EXPECT_EQ(text.toBytes(), "[Q]\n0=c\n1=d\n2=e\n\n[Q Checked]\na=1\n\n[Settings]\nx=1\n");
}

TEST(ProfileFile, BareNameLivesInTheConfigurationFolder)
{
    TempDir dir;
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", (dir.path() + "/xdg").c_str());
        EXPECT_EQ(ProfileFile::ResolvePath("grantwise.ini"), dir.path() + "/xdg/grantwise.ini");
        ProfileFile ini("grantwise.ini");
        EXPECT_EQ(ini.loadState(), ProfileFile::LoadState::Missing);
        ASSERT_TRUE(ini.writeString("Settings", "EditPattern", "*.*"));
        ASSERT_TRUE(ini.flush()) << ini.lastError() << " (the folder is created on first write)";
        EXPECT_EQ(ReadFileBytes(dir.path() + "/xdg/grantwise.ini"), "[Settings]\nEditPattern=*.*\n");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "relative/is/ignored");
        ScopedEnv home("HOME", dir.path().c_str());
        EXPECT_EQ(ProfileFile::ResolvePath("grantwise.ini"), dir.path() + "/.config/grantwise.ini");
    }
    EXPECT_EQ(ProfileFile::ResolvePath("./grantwise.ini"), "./grantwise.ini");
    EXPECT_EQ(ProfileFile::ResolvePath("/etc/x.ini"), "/etc/x.ini");
}

TEST(ProfileFile, FlushWritesOnlyWhatChanged)
{
    TempDir dir;
    const std::string path = dir.file("s.ini");
    ASSERT_TRUE(WriteFileBytes(path, "[S]\nk = v\n"));
    ProfileFile ini(path);
    ASSERT_TRUE(ini.writeString("S", "k", "v"));
    ini.eraseSection("Nothing");
    ASSERT_TRUE(ini.writeString("S", "k", "other"));
    ASSERT_TRUE(ini.writeString("S", "k", "v")); // the line is now "k=v": a change
    ASSERT_TRUE(ini.flush());
    EXPECT_EQ(ReadFileBytes(path), "[S]\nk=v\n");

    // Nothing changed since the last flush: a disk where no byte can be written is never
    // touched.
    FileSizeLimit full(0);
    ASSERT_TRUE(ini.writeString("S", "k", "v"));
    EXPECT_TRUE(ini.flush());
}

TEST(ProfileFile, FailedWriteLeavesTheOldFileWhole)
{
    TempDir dir;
    const std::string path = dir.file("s.ini");
    const std::string before = "[Settings]\nCheckBox_IRM=1\n";
    ASSERT_TRUE(WriteFileBytes(path, before));
    ProfileFile ini(path);
    ASSERT_TRUE(ini.writeString("Settings", "CheckBox_IRM", "0"));
    {
        FileSizeLimit full(8); // the new text does not fit
        EXPECT_FALSE(ini.flush());
    }
    EXPECT_NE(ini.lastError().find(path), std::string::npos) << ini.lastError();
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string> { "s.ini" }) << "no temporary file is left";
}

namespace {
// A work queue of `count` long paths, saved as the window saves it at closing.
void saveQueue(ProfileFile& ini, int count)
{
    std::vector<IniListItem> queue;
    for (int i = 0; i < count; ++i)
        queue.push_back({ "\\\\FS1\\VOL1\\Projects\\Project number " + std::to_string(i), 0, i % 2 == 0 });
    SaveCheckList(ini, "CheckListBoxQ", queue, true);
}
} // namespace

TEST(ProfileFile, AFullDiskLosesTheWriteSilentlyAndKeepsTheOldFileWhole)
{
    TempDir dir;
    const std::string path = dir.file("grantwise.ini");
    const std::string before = "[Settings]\nCheckBox_IRM=1\n[CheckListBoxQ]\n0=\\\\FS1\\VOL1\n";
    ASSERT_TRUE(WriteFileBytes(path, before));
    ProfileFile ini(path);
    saveQueue(ini, 2000);
    {
        FileSizeLimit full(8 * 1024);
        // The closing handler discards this error: the user sees nothing.
        EXPECT_THROW(IniFlush(ini), IniWriteError);
    }
    EXPECT_NE(ini.lastError().find(path), std::string::npos) << ini.lastError();
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(FolderListing(dir.path()), "grantwise.ini") << "no temporary file is left";
    EXPECT_TRUE(ini.flush()) << "with room again the same text is written";
    std::vector<IniListItem> loaded;
    LoadCheckList(ProfileFile(path), "CheckListBoxQ", loaded, true);
    EXPECT_EQ(loaded.size(), 2000u);
}

TEST(ProfileFile, AFullFileSystemKeepsTheOldFileWhole)
{
    SmallTmpfs disk(64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    const std::string path = disk.file("grantwise.ini");
    const std::string before = "[Settings]\r\nRadioGroupScope=2\r\n";
    ASSERT_TRUE(WriteFileBytes(path, before));
    ProfileFile big(path);
    saveQueue(big, 2000);
    EXPECT_FALSE(big.flush());
    EXPECT_EQ(ReadFileBytes(path), before);
    disk.fill();
    ProfileFile small(path);
    ASSERT_TRUE(small.writeString("Settings", "RadioGroupScope", "1"));
    EXPECT_FALSE(small.flush());
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(FolderListing(disk.path()), "filler grantwise.ini");
}

TEST(ProfileFile, AReadOnlyFolderKeepsTheOldFile)
{
    TempDir dir;
    const std::string path = dir.file("grantwise.ini");
    ASSERT_TRUE(WriteFileBytes(path, "[Settings]\nCheckBox_IRM=1\n"));
    ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.readOnly())
        GTEST_SKIP() << "this file system lets root create files in any folder";
    ProfileFile ini(path);
    EXPECT_EQ(ini.readString("Settings", "CheckBox_IRM"), "1") << "reading still works";
    ASSERT_TRUE(ini.writeString("Settings", "CheckBox_IRM", "0"));
    EXPECT_FALSE(ini.flush());
    EXPECT_FALSE(ini.lastError().empty());
    EXPECT_EQ(ReadFileBytes(path), "[Settings]\nCheckBox_IRM=1\n");
    EXPECT_EQ(FolderListing(dir.path()), "grantwise.ini");
}

TEST(ProfileFile, UnwritablePlacesAreReported)
{
    TempDir dir;
    // The folder of the settings file is a regular file (root ignores permission bits).
    ASSERT_TRUE(WriteFileBytes(dir.file("plain"), "x"));
    ProfileFile underFile(dir.file("plain") + "/s.ini");
    EXPECT_EQ(underFile.loadState(), ProfileFile::LoadState::Missing);
    ASSERT_TRUE(underFile.writeString("S", "k", "v"));
    EXPECT_FALSE(underFile.flush());
    EXPECT_FALSE(underFile.lastError().empty());

    // A folder stands where the file should be: nothing is read, and it is not replaced.
    std::filesystem::create_directory(dir.file("s.ini"));
    ProfileFile folder(dir.file("s.ini"));
    EXPECT_EQ(folder.loadState(), ProfileFile::LoadState::Unreadable);
    EXPECT_FALSE(folder.readString("S", "k").has_value());
    ASSERT_TRUE(folder.writeString("S", "k", "v"));
    EXPECT_FALSE(folder.flush());
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("s.ini")));
}

TEST(ProfileFile, OnlyRegularFilesUpToTheLimitAreReadAndNoneOfTheOthersIsReplaced)
{
    TempDir dir;
    // A FIFO without a writer would make the reader wait; a device never ends; a file
    // over the limit is refused before it is read. None of them is replaced by a flush.
    const std::string fifo = dir.file("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = dir.file("huge.ini");
    ASSERT_TRUE(WriteFileBytes(huge, ""));
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(ProfileFile::maxBytes + 1)), 0);
    const std::string zero = dir.file("zero.ini");
    const bool device = MakeCharDevice(dir.file("zero"), 1, 5);
    if (device)
        std::filesystem::create_symlink(dir.file("zero"), zero);
    struct Case {
        std::string path;
        std::string error;
    };
    std::vector<Case> cases { { fifo, "not a regular file" }, { huge, "larger than 8388608 bytes" } };
    if (device)
        cases.push_back({ zero, "not a regular file" });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ProfileFile ini(c.path);
        EXPECT_EQ(ini.loadState(), ProfileFile::LoadState::Unreadable);
        EXPECT_EQ(ini.loadError(), c.error);
        ASSERT_TRUE(ini.writeString("Settings", "RadioGroupScope", "2"));
        EXPECT_FALSE(ini.flush());
    }
    EXPECT_TRUE(IsFifo(fifo));
    EXPECT_EQ(std::filesystem::file_size(huge), ProfileFile::maxBytes + 1);
    EXPECT_TRUE(!device || IsCharDevice(dir.file("zero")));
}

namespace {
// A UTF-8 text as UTF-16 with a byte-order mark.
std::string utf16(const std::string& utf8, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : QString::fromStdString(utf8).toStdU16String())
        bytes += bigEndian ? std::string { char(u >> 8), char(u) } : std::string { char(u), char(u >> 8) };
    return bytes;
}
} // namespace

TEST(ProfileFile, Utf16FilesAreReadAndWrittenBackInTheirOwnEncoding)
{
    TempDir dir;
    const std::string path = dir.file("grantwise.ini");
    const std::string before = "; Unicode settings\r\n[Settings]\r\nRadioGroupScope=2\r\n[CheckListBoxQ]\r\n"
                               "0=\\\\FS1\\VOL1\\Müller & Łukasz\r\n";
    for (const bool bigEndian : { false, true }) {
        SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
        ASSERT_TRUE(WriteFileBytes(path, utf16(before, bigEndian)));
        {
            ProfileFile ini(path);
            EXPECT_EQ(ini.loadState(), ProfileFile::LoadState::Loaded);
            EXPECT_FALSE(ini.looksBinary());
            EXPECT_EQ(ini.encoding(), bigEndian ? ProfileFile::Encoding::Utf16BE : ProfileFile::Encoding::Utf16LE);
            EXPECT_EQ(ini.readString("Settings", "RadioGroupScope"), "2");
            EXPECT_EQ(ini.readString("CheckListBoxQ", "0"), "\\\\FS1\\VOL1\\Müller & Łukasz");
            ASSERT_TRUE(ini.writeString("CheckListBoxQ Checked", "\\\\FS1\\VOL1\\Müller & Łukasz", "1"));
            // Bytes that are no UTF-8 have no characters to be written as.
            EXPECT_FALSE(ini.writeString("Settings", "EditPattern", "\xFF.TXT"));
            ASSERT_TRUE(ini.flush());
        }
        EXPECT_EQ(ReadFileBytes(path),
            utf16(before + "\r\n[CheckListBoxQ Checked]\r\n\\\\FS1\\VOL1\\Müller & Łukasz=1\r\n", bigEndian));
    }
    // A UTF-16 file that is not well-formed (a surrogate without its partner) is not
    // read, and not replaced.
    static const char brokenBytes[] = "\xFF\xFE[\0S\0]\0\r\0\n\0\x00\xD8k\0=\0v\0";
    const std::string broken(brokenBytes, sizeof brokenBytes - 1);
    ASSERT_TRUE(WriteFileBytes(path, broken));
    ProfileFile ini(path);
    EXPECT_EQ(ini.loadState(), ProfileFile::LoadState::Unreadable);
    EXPECT_EQ(ini.loadError(), "not well-formed UTF-16 text");
    ASSERT_TRUE(ini.writeString("S", "k", "w"));
    EXPECT_FALSE(ini.flush());
    EXPECT_EQ(ReadFileBytes(path), broken);
}

TEST(ProfileFile, BinaryGarbageIsKeptAroundAnEdit)
{
    TempDir dir;
    const std::string path = dir.file("g.ini");
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    ASSERT_TRUE(WriteFileBytes(path, garbage));
    ProfileFile ini(path);
    EXPECT_EQ(ini.loadState(), ProfileFile::LoadState::Loaded);
    EXPECT_TRUE(ini.looksBinary());
    ASSERT_TRUE(ini.writeString("Settings", "RadioGroupScope", "2"));
    ASSERT_TRUE(ini.flush());
    const std::string after = ReadFileBytes(path);
    EXPECT_EQ(after.substr(0, garbage.size()), garbage);
    EXPECT_EQ(ProfileFile(path).readString("settings", "radiogroupscope"), "2");
}

TEST(ProfileFile, HugeValuesAndLongKeysRoundTrip)
{
    TempDir dir;
    const std::string path = dir.file("big.ini");
    const std::string value(1 << 20, 'v');
    const std::string key = "\\\\SRV\\VOL1\\" + std::string(20000, 'k');
    {
        ProfileFile ini(path);
        ASSERT_TRUE(ini.writeString("Settings", "EditPattern", value));
        ASSERT_TRUE(ini.writeString("CheckListBoxQ Checked", key, "1"));
        ASSERT_TRUE(ini.flush());
    }
    const ProfileFile reread(path);
    EXPECT_EQ(reread.readString("Settings", "EditPattern"), value);
    EXPECT_EQ(reread.readString("CheckListBoxQ Checked", key), "1");
}
