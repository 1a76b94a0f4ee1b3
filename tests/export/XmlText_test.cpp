#include "export/XmlText.h"

#include "support/ExportReadBack.h"

#include <gtest/gtest.h>

namespace {
std::string encode(const std::string& utf8)
{
    std::string out;
    AppendXmlText(out, utf8);
    return out;
}
} // namespace

TEST(XmlText, MarkupIsEscapedAsciiPassesUnchanged)
{
    EXPECT_EQ(encode("R&D <Sales>"), "R&amp;D &lt;Sales&gt;");
    EXPECT_EQ(encode("O'Neil \"Jr\""), "O&apos;Neil &quot;Jr&quot;");
    EXPECT_EQ(encode("&lt;"), "&amp;lt;");
    EXPECT_EQ(encode(""), "");
    EXPECT_EQ(encode("FS1\\VOL1:PLANS\t*.*"), "FS1\\VOL1:PLANS\t*.*");
    std::string out = "keep";
    AppendXmlText(out, "+x");
    EXPECT_EQ(out, "keep+x");
}

TEST(XmlText, CharactersAreEncodedInWindows1252OrAsReferences)
{
    EXPECT_EQ(encode("M\xC3\xBCller"), "M\xFCller"); // U+00FC
    EXPECT_EQ(encode("\xC2\xA0\xC3\xBF"), "\xA0\xFF"); // U+00A0, U+00FF
    EXPECT_EQ(encode("\xE2\x82\xAC"), "\x80"); // euro sign
    EXPECT_EQ(encode("\xC5\xA0\xC5\xB8"), "\x8A\x9F"); // U+0160, U+0178 from the 0x80 row
    EXPECT_EQ(encode("\xC5\x81ukasz"), "&#321;ukasz");
    EXPECT_EQ(encode("\xC2\x81"), "&#129;"); // U+0081: its byte means nothing in windows-1252
    EXPECT_EQ(encode("\xE6\x97\xA5"), "&#26085;");
    EXPECT_EQ(encode("\xF0\x9F\x98\x80"), "&#128512;");
    EXPECT_EQ(Windows1252Byte(U'\u20AC'), 0x80);
    EXPECT_EQ(Windows1252Byte(U'\u0141'), -1);
    EXPECT_EQ(Windows1252Byte(U'\u0085'), -1);
    EXPECT_EQ(Windows1252Byte(U'A'), 'A');
    // Every code point of the 0x80 row round-trips to its byte.
    for (int b = 0x80; b <= 0x9F; ++b) {
        int found = 0;
        for (char32_t cp = 0x100; cp < 0x2200; ++cp)
            if (Windows1252Byte(cp) == b)
                ++found;
        EXPECT_EQ(found, (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) ? 0 : 1) << b;
    }
}

TEST(XmlText, ControlsLineBreaksAndNonCharacters)
{
    EXPECT_EQ(encode("a\x01"
                     "b\x1F"
                     "c"),
        "a?b?c");
    EXPECT_EQ(encode(std::string("nul\0x", 5)), "nul?x");
    EXPECT_EQ(encode("one\r\ntwo\nthree"), "one&#13;&#10;two&#10;three");
    EXPECT_EQ(encode("\xEF\xBF\xBE\xEF\xBF\xBF"), "??"); // U+FFFE, U+FFFF
    EXPECT_EQ(encode("\x7F"), "\x7F");
}

TEST(XmlText, InvalidUtf8GivesReplacementCharacters)
{
    EXPECT_EQ(encode("M\xFCller"), "M&#65533;ller"); // a windows-1252 byte, not UTF-8
    EXPECT_EQ(encode("\x80"), "&#65533;"); // stray continuation byte
    EXPECT_EQ(encode("\xC0\xAF"), "&#65533;&#65533;"); // overlong "/"
    EXPECT_EQ(encode("\xED\xA0\x80"), "&#65533;&#65533;&#65533;"); // encoded surrogate
    EXPECT_EQ(encode("ab\xE2\x82"), "ab&#65533;&#65533;"); // cut off at the end
    EXPECT_EQ(encode("\xF4\x90\x80\x80"), "&#65533;&#65533;&#65533;&#65533;"); // above U+10FFFF
}

TEST(XmlText, EveryByteStringGivesWellFormedXml)
{
    // All single bytes and a sweep of two-byte pairs inside an element parse cleanly.
    std::string doc = "<?xml version=\"1.0\" encoding=\"windows-1252\"?><d>\r\n";
    for (int a = 0; a < 256; ++a) {
        std::string value(1, static_cast<char>(a));
        for (int b = 0; b < 256; b += 7)
            value += std::string { static_cast<char>(a), static_cast<char>(b), 'x' };
        doc += "<v>";
        AppendXmlText(doc, value);
        doc += "</v>\r\n";
    }
    doc += "</d>\r\n";
    std::string error;
    const auto leaves = ParseXml(doc, error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(leaves.size(), 256u);
    // Valid UTF-8 comes back as it went in.
    std::string sample = "Grüße, Łódź, 東京, \xF0\x9F\x98\x80 & <tags> \"q\" 'a' \t \r\n";
    std::string one = "<?xml version=\"1.0\" encoding=\"windows-1252\"?><v>";
    AppendXmlText(one, sample);
    one += "</v>";
    const auto back = ParseXml(one, error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].text, sample);
}
