#include "util/D_HTML.h"

#include <gtest/gtest.h>

TEST(D_HTML, EscapesEachCharacterOnce)
{
    EXPECT_EQ(HtmlEscape("R&D <Sales>"), "R&amp;D &lt;Sales&gt;");
    EXPECT_EQ(HtmlEscape("O'Neil"), "O&apos;Neil");
    EXPECT_EQ(HtmlEscape("say \"hi\""), "say &quot;hi&quot;");
    EXPECT_EQ(HtmlEscape("&lt;"), "&amp;lt;");
    EXPECT_EQ(HtmlEscape("&amp;"), "&amp;amp;");
    EXPECT_EQ(HtmlEscape(""), "");
    EXPECT_EQ(HtmlEscape("plain text"), "plain text");
    EXPECT_EQ(HtmlEscape("M\xC3\xBCller\t\x01"), "M\xC3\xBCller\t\x01");
    EXPECT_EQ(HtmlEscape("#PlChOlDeR#&"), "#PlChOlDeR#&amp;");
}
