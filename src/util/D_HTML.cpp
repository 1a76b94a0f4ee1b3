#include "util/D_HTML.h"

#include "util/D_Util.h"

std::string HtmlEscape(std::string_view text)
{
    std::string out(text);
    // The ampersand goes first so that the entities brought in afterwards are not
    // escaped a second time. The apostrophe becomes &apos;, the XML entity for it.
    ReplaceInPlace(out, "&", "&amp;", true, true);
    ReplaceInPlace(out, "<", "&lt;", true, true);
    ReplaceInPlace(out, ">", "&gt;", true, true);
    ReplaceInPlace(out, "'", "&apos;", true, true);
    ReplaceInPlace(out, "\"", "&quot;", true, true);
    return out;
}
