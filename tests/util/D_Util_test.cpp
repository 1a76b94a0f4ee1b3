#include "util/CaseFold.h"
#include "util/D_Util.h"

#include <gtest/gtest.h>

TEST(D_Util, ChoosingAndConverting)
{
    EXPECT_EQ(IfThenStr(true, "R", " "), "R");
    EXPECT_EQ(IfThenStr(false, "R", " "), " ");
    EXPECT_EQ(BoolToText(true), "TRUE");
    EXPECT_EQ(BoolToText(false), "FALSE");
    EXPECT_EQ(SwapLong(0x78563412u), 0x12345678u);
    EXPECT_EQ(SwapLong(0x01000080u), 0x80000001u);
    EXPECT_EQ(Quoted("a b"), "\"a b\"");
    EXPECT_EQ(Quoted(""), "\"\"");
    std::string decimal = "n=";
    for (const uint64_t number : { uint64_t(0), uint64_t(9), uint64_t(10), UINT64_MAX }) {
        AppendDecimal(decimal, number);
        decimal += ',';
    }
    EXPECT_EQ(decimal, "n=0,9,10,18446744073709551615,");
    // The shared start of two texts, across and inside eight-byte words.
    EXPECT_EQ(SharedPrefixLength("FS1\\VOL1:DATA\\PLANS", "FS1\\VOL1:DATA\\PLAZA"), 17u);
    EXPECT_EQ(SharedPrefixLength("abc", "abcdef"), 3u);
    EXPECT_EQ(SharedPrefixLength("", "x"), 0u);
}

TEST(D_Util, PositionsAreOneBasedAndFoldAsciiOnly)
{
    EXPECT_EQ(PosText("cn=", "xCN=y"), 2);
    EXPECT_EQ(PosText("b", "abc"), 2);
    EXPECT_EQ(PosText("x", "abc"), 0);
    EXPECT_EQ(PosText("", "abc"), 0);
    EXPECT_EQ(PosCase("cn=", "xCN=y", true), 0);
    EXPECT_EQ(PosCase("CN=", "xCN=y", true), 2);
    // Only a-z fold; bytes above 127 compare as they are.
    EXPECT_EQ(PosText("\xC3\xA4", "\xC3\x84"), 0);
    EXPECT_TRUE(SameText("Vol1", "VOL1"));
    EXPECT_FALSE(SameText("Vol1", "VOL2"));
}

TEST(CaseFold, NamesCompareWithUnicodeCaseFolding)
{
    EXPECT_EQ(FoldName("M\xC3\x9CLLER & \xC5\x81ukasz"), "m\xC3\xBCller & \xC5\x82ukasz"); // MÜLLER & Łukasz
    // SameName is FoldName equality: outside the Basic Multilingual Plane too, the Kelvin
    // sign is a "k", "ß" is not "ss" (one character to one), and bytes outside
    // well-formed sequences (cut off, overlong, an encoded surrogate) stand for themselves.
    const char* const names[] = { "DATA", "data", "\xC3\x84rger", "\xC3\xA4RGER", "\xE2\x84\xAA", "K", "\xC3\x9F", "ss",
        "\xC3", "\xC3\xA4", "\xC1\x81", "a", "\xED\xA0\x80", "\xF0\x90\x90\x80", "\xF0\x90\x90\xA8", "" };
    for (const char* a : names)
        for (const char* b : names)
            EXPECT_EQ(SameName(a, b), FoldName(a) == FoldName(b)) << a << " / " << b;
    EXPECT_TRUE(SameName("\xE2\x84\xAA", "K") && SameName("\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"));
    EXPECT_FALSE(SameName("\xC3\x9F", "ss") || SameName("\xC1\x81", "a") || SameName("\xC3", "\xC3\xA4"));
    EXPECT_EQ(FoldName("\xED\xA0\x80"), "\xED\xA0\x80");
}

TEST(D_Util, ReplaceTextFirstAndAll)
{
    EXPECT_EQ(ReplaceText("a&b&c", "&", "&amp;", true, true), "a&amp;b&amp;c");
    EXPECT_EQ(ReplaceText("a&b&c", "&", "&amp;", true, false), "a&amp;b&c");
    EXPECT_EQ(ReplaceText("abc", "b", "b", true, true), "abc");
    EXPECT_EQ(ReplaceText("abc", "", "x", true, true), "abc");
    EXPECT_EQ(ReplaceText("CN=Admin", "cn=", "", false, false), "Admin");
    EXPECT_EQ(ReplaceText("CN=Admin", "cn=", "", true, false), "CN=Admin");
    // Old text equal to new is compared exactly, whatever the case flag says.
    EXPECT_EQ(ReplaceText("aXa", "x", "X", false, true), "aXa");
    EXPECT_EQ(ReplaceText("aaa", "a", "aa", true, true), "aaaaaa");
    EXPECT_EQ(ReplaceText("abab", "ab", "", true, true), "");
}

TEST(D_Util, ReplaceAllLeavesAMarkerTextAloneAndEnds)
{
    EXPECT_EQ(ReplaceText("x#PlChOlDeR#&", "&", "and", true, true), "x#PlChOlDeR#and");
    EXPECT_EQ(ReplaceText("#PlChOlDeR#", "Ch", "ch", true, true), "#PlchOlDeR#");
    EXPECT_EQ(ReplaceText("no match #PlChOlDeR#", "&", "x", true, true), "no match #PlChOlDeR#");
    EXPECT_EQ(ReplaceText("#PlChOlDeR#", "#", "##", true, true), "##PlChOlDeR##");
}

TEST(D_Util, SplitAtFirstOccurrence)
{
    std::string head, tail;
    SplitAt("abc", "x", head, tail);
    EXPECT_EQ(head, "abc");
    EXPECT_EQ(tail, "");
    SplitAt("a [b] [c]", " [", head, tail);
    EXPECT_EQ(head, "a");
    EXPECT_EQ(tail, "b] [c]");
    std::string s = "left|right";
    SplitAt(s, "|", s, tail);
    EXPECT_EQ(s, "left");
    EXPECT_EQ(tail, "right");
    s = "left|right";
    SplitAt(s, "|", head, s);
    EXPECT_EQ(head, "left");
    EXPECT_EQ(s, "right");
}

TEST(D_Util, RemovingAndTrimming)
{
    EXPECT_EQ(RemoveChars("[RWCE ]", "[ ]"), "RWCE");
    EXPECT_EQ(RemoveChars("&Both", "&"), "Both");
    EXPECT_EQ(TrimRightChars("TREE___", "_"), "TREE");
    EXPECT_EQ(TrimRightChars("___", "_"), "");
    EXPECT_EQ(TrimRightChars("A_B", "_"), "A_B");
    EXPECT_EQ(LastChar("abc"), 'c');
    EXPECT_EQ(EnsurePrefix("ini", "."), ".ini");
    EXPECT_EQ(EnsurePrefix(".ini", "."), ".ini");
}

TEST(D_Util, PathSeparators)
{
    EXPECT_EQ(AddSlash(""), "\\");
    EXPECT_EQ(AddSlash("C:\\DATA/"), "C:\\DATA/");
    EXPECT_EQ(AddSlash("C:\\DATA"), "C:\\DATA\\");
    EXPECT_EQ(RemoveSlash("C:\\DATA\\\\"), "C:\\DATA\\");
    EXPECT_EQ(RemoveSlash("VOL1:DIR/"), "VOL1:DIR");
    EXPECT_EQ(RemoveSlash(""), "");
    EXPECT_EQ(JoinPath("VOL1:", "DIR"), "VOL1:\\DIR");
    EXPECT_EQ(JoinPath("VOL1:DIR\\", "A.TXT"), "VOL1:DIR\\A.TXT");
}

TEST(D_Util, ForceExtLooksAtTheLastComponentOnly)
{
    EXPECT_EQ(ForceExt("C:\\TOOLS\\REPORT.EXE", "ini"), "C:\\TOOLS\\REPORT.ini");
    EXPECT_EQ(ForceExt("C:\\TOOLS\\REPORT.EXE", ".ini"), "C:\\TOOLS\\REPORT.ini");
    EXPECT_EQ(ForceExt("C:\\A.B\\REPORT", "txt"), "C:\\A.B\\REPORT.txt");
    EXPECT_EQ(ForceExt("/opt/grantwise/bin/grantwise", "txt"), "/opt/grantwise/bin/grantwise.txt");
    EXPECT_EQ(ForceExt("/opt/a.b/grantwise", "ini"), "/opt/a.b/grantwise.ini");
    EXPECT_EQ(ForceExt("A:X.Y.Z", "ini"), "A:X.Y.ini");
}

TEST(D_Util, CharacterBuffers)
{
    std::string empty;
    EXPECT_NE(StrPtr(empty), nullptr);
    EXPECT_STREQ(StrPtr(empty), "");

    std::string tree = "TREE";
    char* p = NulTerminatedPtr(tree);
    EXPECT_EQ(tree.size(), 5u);
    EXPECT_EQ(tree.back(), '\0');
    EXPECT_STREQ(p, "TREE");
    NulTerminatedPtr(tree);
    EXPECT_EQ(tree.size(), 5u);

    NulTerminatedPtr(empty);
    EXPECT_EQ(empty.size(), 1u);

    std::string longText(255, 'x');
    NulTerminatedPtr(longText);
    EXPECT_EQ(longText.size(), 255u);
}

TEST(D_Util, CheckErrorTextFormatsTheCode)
{
    EXPECT_EQ(CheckErrorText(0x8801, "InitNetWare"), "Error 8801: InitNetWare");
    EXPECT_EQ(CheckErrorText(255, "InitNetWare"), "Error 00FF: InitNetWare");
    EXPECT_EQ(CheckErrorText(35, "NWCCOpenConnByRef"), "Error 0023: NWCCOpenConnByRef");
    EXPECT_EQ(CheckErrorText(-1, "InitNetWare"), "Error FFFFFFFF: InitNetWare");
}

TEST(D_Util, ListLookupsAndEnvironment)
{
    const std::vector<std::string> list { "CD", "COPY", "DIR" };
    EXPECT_EQ(IndexOfText("dir", list, false), 2);
    EXPECT_EQ(IndexOfText("dir", list, true), -1);
    EXPECT_EQ(IndexOfText("DIR", list, true), 2);
    EXPECT_FALSE(TextInArray("MD", list, false));
    setenv("GRANTWISE_TEST_VAR", "value 1", 1);
    EXPECT_EQ(GetEnvVar("GRANTWISE_TEST_VAR"), "value 1");
    unsetenv("GRANTWISE_TEST_VAR");
    EXPECT_EQ(GetEnvVar("GRANTWISE_TEST_VAR"), "");
}
