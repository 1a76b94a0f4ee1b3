#pragma once

#include <string>
#include <string_view>

/// Makes a text safe to stand between the tags of the XML report: "&" -> "&amp;",
/// "<" -> "&lt;", ">" -> "&gt;", apostrophe -> "&apos;", double quote -> "&quot;", in
/// this order, each character escaped exactly once. Everything else passes unchanged
/// (bytes above 127 included); existing entities are escaped again ("&amp;" gives
/// "&amp;amp;").
std::string HtmlEscape(std::string_view text);
