#include "platform/netware/DosNames.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::string generate(const std::string& name, std::set<std::string> taken = {})
{
    return GenerateDosName(name, [&](const std::string& candidate) { return taken.count(candidate) > 0; });
}

TEST(DosNames, Validity)
{
    EXPECT_TRUE(IsValidDosName("README.TXT"));
    EXPECT_TRUE(IsValidDosName("r&d"));
    EXPECT_TRUE(IsValidDosName("A~1.{}"));
    EXPECT_FALSE(IsValidDosName("Plans 2002"));
    EXPECT_FALSE(IsValidDosName("NINECHARS"));
    EXPECT_FALSE(IsValidDosName("A.TEXT"));
    EXPECT_FALSE(IsValidDosName("A.B.C"));
    EXPECT_FALSE(IsValidDosName(".PROFILE"));
    EXPECT_FALSE(IsValidDosName("A."));
    EXPECT_FALSE(IsValidDosName(""));
    EXPECT_FALSE(IsValidDosName("A+B"));
}

TEST(DosNames, GenerationKeepsAllowedCharactersAndNumbersUniquely)
{
    EXPECT_EQ(generate("Plans 2002"), "PLANS2~1");
    EXPECT_EQ(generate("Quarterly Report.docx"), "QUARTE~1.DOC");
    EXPECT_EQ(generate("Quarterly Report.docx", { "QUARTE~1.DOC" }), "QUARTE~2.DOC");
    EXPECT_EQ(generate("a.b.tar.gz"), "ABTAR~1.GZ"); // the extension follows the last dot
    EXPECT_EQ(generate("Über Plan+.x y z"), "BERPLA~1.XYZ");
    EXPECT_EQ(generate(".profile"), "PROFIL~1");
    std::set<std::string> taken;
    for (int i = 1; i <= 9; ++i)
        taken.insert("REPORT~" + std::to_string(i));
    EXPECT_EQ(generate("Report files", taken), "REPOR~10"); // fewer characters for two digits
}

TEST(DosNames, RememberedNumbersGiveTheSameNamesAsProbingFromOne)
{
    // A directory where explicit names hold some numbers already, filled one alias
    // after another: with the remembered numbers every alias is still the smallest free.
    std::set<std::string> plain = { "REPORT~2", "REPORT~3", "REPOR~10", "R~100000", "NOTES-~1.TXT" };
    std::set<std::string> remembered = plain;
    DosNameNumbers numbers;
    for (int i = 0; i < 120; ++i) {
        const std::string name
            = (i % 3 == 2) ? "Notes-list " + std::to_string(i) + ".txt" : "Report " + std::to_string(i);
        const std::string a = GenerateDosName(name, [&](const std::string& c) { return plain.count(c) > 0; });
        const std::string b = GenerateDosName(
            name, [&](const std::string& c) { return remembered.count(c) > 0; }, &numbers);
        ASSERT_EQ(a, b) << name;
        plain.insert(a);
        remembered.insert(b);
    }
    EXPECT_EQ(numbers.at("REPORT"), 84); // 80 Report names; 2, 3 and 10 were held
    EXPECT_EQ(numbers.at("NOTES-.TXT"), 42); // 40 notes; 1 was held
}

TEST(DosNames, Wildcards)
{
    EXPECT_TRUE(DosWildcardMatch("*.*", "ANYTHING"));
    EXPECT_TRUE(DosWildcardMatch("*.TXT", "a.txt"));
    EXPECT_FALSE(DosWildcardMatch("*.TXT", "A.TXTX"));
    EXPECT_TRUE(DosWildcardMatch("A?C", "abc"));
    EXPECT_FALSE(DosWildcardMatch("A?C", "AC"));
    EXPECT_TRUE(DosWildcardMatch("*A*B*", "XXAYYBZZ"));
    EXPECT_FALSE(DosWildcardMatch("*A*B*", "XXBYYAZZ"));
    EXPECT_TRUE(DosWildcardMatch("README.*", "README"));
    EXPECT_TRUE(DosWildcardMatch("*.", "README"));
    EXPECT_FALSE(DosWildcardMatch("*.", "README.TXT"));
    EXPECT_FALSE(DosWildcardMatch("", "A"));
    // Found by fuzzing: a "*" of the pattern stayed a wildcard only where the name did
    // not hold a "*" itself.
    EXPECT_TRUE(DosWildcardMatch("*.TXT", "*X.TXT"));
    EXPECT_TRUE(DosWildcardMatch("A*", "A*B"));
    EXPECT_TRUE(DosWildcardMatch("*?", "**"));
}

} // namespace
