#include "platform/PathForms.h"
#include "platform/Shell.h"
#include "platform/netware/NetworkLoader.h"
#include "support/FakeNWClient.h"
#include "support/TestPaths.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ShellTest : public ::testing::Test {
protected:
    std::unique_ptr<SimulatedNetWare> network = LoadNetwork(TestDataPath("walk.json"));
    TestServices services { *network };
};

TEST_F(ShellTest, NetworkShortNamesReplaceEveryComponentBelowTheVolume)
{
    std::string out = "untouched";
    EXPECT_TRUE(ShellShortPathName("\\\\FS1\\VOL1\\docs\\Plans 2002\\Deep", out));
    EXPECT_EQ(out, "\\\\FS1\\VOL1\\DOCS\\PLANS2~1\\DEEP");
    EXPECT_TRUE(ShellShortPathName("\\\\FS1\\VOL1\\DOCS\\Quarterly Report.docx", out));
    EXPECT_EQ(out, "\\\\FS1\\VOL1\\DOCS\\QUARTE~1.DOC");
    EXPECT_TRUE(ShellShortPathName("\\\\FS1\\VOL1\\", out));
    EXPECT_EQ(out, "\\\\FS1\\VOL1\\");
    EXPECT_TRUE(ShellShortPathName("\\\\FS3\\DATA\\Shared Files", out));
    EXPECT_EQ(out, "\\\\FS3\\DATA\\SHARED~1");

    out = "untouched";
    EXPECT_FALSE(ShellShortPathName("\\\\FS1\\VOL1\\DOCS\\Missing", out));
    EXPECT_FALSE(ShellShortPathName("\\\\FS1\\VOL9", out));
    EXPECT_FALSE(ShellShortPathName("\\\\NOSERVER\\VOL1", out));
    EXPECT_FALSE(ShellShortPathName("\\\\FS1\\VOL1\\ROOT.TXT\\X", out));
    EXPECT_EQ(out, "untouched");
}

TEST_F(ShellTest, NetworkDisplayNamesAreLongNames)
{
    std::string name;
    EXPECT_TRUE(ShellDisplayName("\\\\FS1\\VOL1\\DOCS\\PLANS2~1", name));
    EXPECT_EQ(name, "Plans 2002");
    EXPECT_TRUE(ShellDisplayName("\\\\fs1\\vol1", name));
    EXPECT_EQ(name, "VOL1");
    EXPECT_TRUE(ShellDisplayName("\\\\fs1", name));
    EXPECT_EQ(name, "FS1");
    name = "kept";
    EXPECT_FALSE(ShellDisplayName("\\\\FS1\\VOL1\\NOPE", name));
    EXPECT_EQ(name, "kept");
}

TEST_F(ShellTest, NetworkFoldersAreVolumesThenSubdirectoriesInServerOrder)
{
    auto volumes = ShellListFolders("\\\\FS1\\");
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_EQ(volumes[0].displayName, "VOL1");
    EXPECT_EQ(volumes[0].path, "\\\\FS1\\VOL1");
    auto folders = ShellListFolders("\\\\FS1\\VOL1\\DOCS");
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0].displayName, "Plans 2002");
    EXPECT_EQ(folders[0].path, "\\\\FS1\\VOL1\\DOCS\\Plans 2002");
    EXPECT_EQ(folders[1].displayName, "Archive");
    EXPECT_TRUE(ShellListFolders("\\\\FS1\\VOL1\\ROOT.TXT").empty());
    EXPECT_TRUE(ShellListFolders("\\\\FS9\\").empty());
}

TEST_F(ShellTest, WithoutANetworkNetworkPathsDoNotExist)
{
    services.context().clientLibrary = nullptr;
    std::string out;
    EXPECT_FALSE(ShellShortPathName("\\\\FS1\\VOL1", out));
    EXPECT_TRUE(ShellListFolders("\\\\FS1\\").empty());
}

// Over another client library the network paths are answered through its entries alone:
// the connection by server name, volume names by number, the name-space calls.
class ShellOverFakeLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        fake.serverHandles = { { "FS1", 7 } };
        fake.connServerNames = { { 7, "FS1" } };
        fake.volumeNames[7] = { "SYS", "", "DATA" }; // no volume 1 (not mounted)
        FakeNWClient::Directory data;
        data.children = { { "REPORTS", true, 0, "Reports 2002" }, { "README.TXT", false, 0, "Read me.txt" },
            { "ARCHIVE", true, 0 } };
        fake.directories["DATA:"] = data;
        FakeNWClient::Directory reports;
        reports.children = { { "Q1", true, 0, "First Quarter" } };
        fake.directories["DATA:Reports 2002"] = reports;
        fake.directories["DATA:REPORTS"] = reports;
    }

    static std::vector<std::string> folders(const std::string& path)
    {
        std::vector<std::string> out;
        for (const ShellFolder& folder : ShellListFolders(path))
            out.push_back(folder.displayName + " = " + folder.path);
        return out;
    }

    FakeNWClient fake;
    TestServices services { fake };
};

TEST_F(ShellOverFakeLibrary, FoldersNamesAndShortFormsComeFromTheLibrary)
{
    EXPECT_EQ(folders("\\\\FS1\\"), (std::vector<std::string> { "SYS = \\\\FS1\\SYS", "DATA = \\\\FS1\\DATA" }));
    // A gap in the volume numbers does not end the list; every number is asked once.
    EXPECT_EQ(fake.countOf("getVolumeName"), nw::maxVolumes);
    EXPECT_EQ(folders("\\\\FS1\\DATA"),
        (std::vector<std::string> {
            "Reports 2002 = \\\\FS1\\DATA\\Reports 2002", "ARCHIVE = \\\\FS1\\DATA\\ARCHIVE" }));
    EXPECT_EQ(folders("\\\\FS1\\DATA\\Reports 2002"),
        (std::vector<std::string> { "First Quarter = \\\\FS1\\DATA\\Reports 2002\\First Quarter" }));

    std::string out;
    EXPECT_TRUE(ShellShortPathName("\\\\FS1\\DATA\\Reports 2002\\First Quarter\\", out));
    EXPECT_EQ(out, "\\\\FS1\\DATA\\REPORTS\\Q1\\");
    EXPECT_TRUE(ShellDisplayName("\\\\FS1\\DATA\\README.TXT", out));
    EXPECT_EQ(out, "Read me.txt");
    EXPECT_TRUE(ShellDisplayName("\\\\FS1", out));
    EXPECT_EQ(out, "FS1");
    EXPECT_EQ(
        ConvertPathName("\\\\FS1\\DATA\\REPORTS\\Q1", PathForm::Long), "\\\\FS1\\DATA\\Reports 2002\\First Quarter");
    EXPECT_EQ(ConvertPathName("\\\\FS1\\DATA\\Reports 2002", PathForm::Short), "\\\\FS1\\DATA\\REPORTS");
}

TEST_F(ShellOverFakeLibrary, FailingCallsLeavePathsUnknownAndEndLists)
{
    // A server the library cannot connect to has no folders and no names.
    std::string out = "untouched";
    EXPECT_TRUE(folders("\\\\FS9\\").empty());
    fake.setFixedCode("openConnByName", 0x8801);
    EXPECT_TRUE(folders("\\\\FS1\\DATA").empty());
    EXPECT_FALSE(ShellShortPathName("\\\\FS1\\DATA", out));
    EXPECT_FALSE(ShellDisplayName("\\\\FS1", out));
    EXPECT_EQ(out, "untouched");
    fake.setFixedCode("openConnByName", 0);

    // A failure other than "no such volume" ends the volume list; one during a directory
    // listing ends that listing with the folders found so far.
    fake.clearCalls();
    fake.queueCodes("getVolumeName", { 0, 0x8801 });
    EXPECT_EQ(folders("\\\\FS1\\"), (std::vector<std::string> { "SYS = \\\\FS1\\SYS" }));
    EXPECT_EQ(fake.countOf("getVolumeName"), 2);
    fake.queueCodes("scanNSEntryInfo", { 0, 0x8801 });
    EXPECT_EQ(folders("\\\\FS1\\DATA"), (std::vector<std::string> { "Reports 2002 = \\\\FS1\\DATA\\Reports 2002" }));

    // A name the library cannot give: no short form, no display name, and the long
    // form keeps that component as written.
    fake.queueCodes("getNSEntryInfo", { 0, 0x8801 });
    EXPECT_FALSE(ShellShortPathName("\\\\FS1\\DATA\\REPORTS", out));
    fake.setFixedCode("getNSEntryInfo", 0x8801);
    EXPECT_FALSE(ShellDisplayName("\\\\FS1\\DATA\\REPORTS", out));
    EXPECT_EQ(out, "untouched");
    EXPECT_EQ(ConvertPathName("\\\\FS1\\DATA\\REPORTS\\Q1", PathForm::Long), "\\\\FS1\\DATA\\REPORTS\\Q1");
}

TEST(LocalShell, LocalPathsHaveNoShortFormAndListSortedFolders)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("b folder"));
    std::filesystem::create_directories(dir.file("a folder"));
    WriteFileBytes(dir.file("file.txt"), "x");
    std::string out;
    EXPECT_TRUE(ShellShortPathName(dir.file("a folder"), out));
    EXPECT_EQ(out, dir.file("a folder"));
    EXPECT_FALSE(ShellShortPathName(dir.file("missing"), out));
    EXPECT_TRUE(ShellShortPathName("C:\\", out));
    EXPECT_EQ(out, "C:\\");
    std::string name;
    EXPECT_TRUE(ShellDisplayName(dir.file("file.txt"), name));
    EXPECT_EQ(name, "file.txt");
    const auto folders = ShellListFolders(dir.path());
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0].displayName, "a folder");
    EXPECT_EQ(folders[0].path, dir.file("a folder"));
    EXPECT_EQ(folders[1].displayName, "b folder");
    // "C:\" is the file-system root; its folders keep the backslash form.
    bool foundTmp = false;
    for (const ShellFolder& folder : ShellListFolders("C:\\"))
        foundTmp = foundTmp || folder.path == "C:\\tmp";
    EXPECT_TRUE(foundTmp);
}

} // namespace
