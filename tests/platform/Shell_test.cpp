#include "platform/Shell.h"
#include "platform/netware/NetworkLoader.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { InstallNetwork(TestDataPath("walk.json")); }
    void TearDown() override { InstallSimulatedNetWare(nullptr); }
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
    InstallSimulatedNetWare(nullptr);
    std::string out;
    EXPECT_FALSE(ShellShortPathName("\\\\FS1\\VOL1", out));
    EXPECT_TRUE(ShellListFolders("\\\\FS1\\").empty());
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
