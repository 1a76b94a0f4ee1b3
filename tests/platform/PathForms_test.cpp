#include "platform/PathForms.h"
#include "platform/Shell.h"
#include "platform/netware/NetworkLoader.h"
#include "platform/netware/NetworkReader.h"
#include "support/TestServices.h"

#include <gtest/gtest.h>

namespace {

// The long form over a small network, and on texts that name nothing.
TEST(PathForms, LongFormConvertsWhatTheShellKnowsAndKeepsTheRest)
{
    SimulatedNetWare network(ReadNetwork(R"({ "grantwise-network": 1,
      "trees": [ { "name": "T" } ], "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "VOL1",
      "entries": [ { "dir": "Plans 2002", "entries": [ { "file": "Quarterly Report.docx" } ] } ] } ] } ] })",
        "forms.json"));
    TestServices services(network);
    EXPECT_EQ(ConvertPathName("\\\\FS1\\VOL1\\PLANS2~1\\QUARTE~1.DOC", PathForm::Long),
        "\\\\FS1\\VOL1\\Plans 2002\\Quarterly Report.docx");
    EXPECT_EQ(ConvertPathName("\\\\FS1\\VOL1\\PLANS2~1\\GONE", PathForm::Long), "\\\\FS1\\VOL1\\Plans 2002\\GONE");
    EXPECT_EQ(ConvertPathName("\\\\FS1\\VOL1\\Plans 2002", PathForm::Short), "\\\\FS1\\VOL1\\PLANS2~1");
    EXPECT_EQ(ConvertPathName("\\\\FS1\\VOL1\\", PathForm::Long), "\\\\FS1\\VOL1");
    // A path line the splitter rejected: its components stay.
    EXPECT_EQ(ConvertPathName("GONE\\VOL1:R&D", PathForm::Long), "GONE\\VOL1:\\R&D");
    // Found by fuzzing: a bare name, or a path beginning with one, got a "\" put in front
    // ("F\a" became "\F\a"), so the long form of a long form differed from it.
    EXPECT_EQ(ConvertPathName("F", PathForm::Long), "F");
    EXPECT_EQ(ConvertPathName("F\\a\\b", PathForm::Long), "F\\a\\b");
    EXPECT_EQ(ConvertPathName(ConvertPathName("F\\\\\\a", PathForm::Long), PathForm::Long), "F\\a");
}

// Found by fuzzing: in a local path whose components end in separators ('.//'), the
// shell answered with the whole path as the display name of each component, and every
// folder above was converted the same way: the long form of a path of 147 bytes was
// 5,170 bytes long, a second pass longer still (up to the system's path limit at each
// level). Each component may grow by its display name only.
TEST(PathForms, LongFormOfALocalPathGrowsAtMostByItsDisplayNames)
{
    std::string path = ".//";
    for (int i = 0; i < 36; ++i)
        path += "\\.//";
    const std::string longForm = ConvertPathName(path, PathForm::Long);
    EXPECT_LE(longForm.size(), path.size()) << longForm;
    EXPECT_EQ(ConvertPathName(longForm, PathForm::Long), longForm);
    LongPathConverter converter;
    EXPECT_EQ(converter.convert(path), longForm);
    // A trailing separator names the same local folder: its display name is its name.
    std::string name;
    ASSERT_TRUE(ShellDisplayName("C:\\tmp//", name));
    EXPECT_EQ(name, "tmp");
}

// The converter remembers folders; on every path of the demo network, short or long,
// and on paths that name nothing, it gives what the plain conversion gives.
TEST(PathForms, ConverterGivesThePlainLongForm)
{
    const auto network = LoadNetwork("");
    TestServices services(*network);
    std::vector<std::string> paths;
    std::vector<std::string> pending { "\\\\HL-FS1\\", "\\\\HL-FS2\\", "\\\\LAB-FS1\\" };
    while (!pending.empty()) {
        const std::string folder = pending.back();
        pending.pop_back();
        for (const ShellFolder& child : ShellListFolders(folder)) {
            pending.push_back(child.path);
            paths.push_back(child.path);
            paths.push_back(ConvertPathName(child.path, PathForm::Short));
            paths.push_back(child.path + "\\NO SUCH FILE.TXT");
        }
    }
    ASSERT_GT(paths.size(), 100u);
    LongPathConverter converter;
    for (int round = 0; round < 2; ++round)
        for (const std::string& path : paths)
            EXPECT_EQ(converter.convert(path), ConvertPathName(path, PathForm::Long)) << path;
}

// The converter's folder table over several growths: every folder finds its own form,
// folders that differ in case or by a last character are other folders.
TEST(PathForms, FolderFormsFindEveryFolderAddedAndNothingElse)
{
    LongPathConverter::FolderForms forms;
    EXPECT_FALSE(forms.find("\\\\FS1\\VOL1"));
    const auto folder = [](int k) { return "\\\\FS1\\VOL1\\DIR" + std::to_string(k); };
    for (int k = 0; k < 5000; ++k)
        forms.add(folder(k), k % 3 == 0 ? std::string() : "\\\\FS1\\VOL1\\Folder " + std::to_string(k));
    EXPECT_EQ(forms.size(), 5000u);
    for (int k = 0; k < 5000; ++k) {
        const std::optional<std::string_view> form = forms.find(folder(k));
        ASSERT_TRUE(form) << k;
        EXPECT_EQ(*form, k % 3 == 0 ? std::string() : "\\\\FS1\\VOL1\\Folder " + std::to_string(k));
    }
    EXPECT_FALSE(forms.find("\\\\fs1\\VOL1\\DIR7"));
    EXPECT_FALSE(forms.find(folder(5000)));
    forms.clear();
    EXPECT_FALSE(forms.find(folder(1)));
    EXPECT_EQ(forms.size(), 0u);
}

} // namespace
