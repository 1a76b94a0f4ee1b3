#pragma once

#include <string>
#include <string_view>

// The OEM code page of batch files. cmd.exe reads a batch file byte by byte in the
// console's code page, and NetWare's client utilities turn the names they are given into
// Unicode through a table per code page (437, 850, ...), so a batch file in UTF-8 names
// other objects than it shows. A batch file that holds a character beyond ASCII is
// therefore written in code page 850 (Multilingual Latin 1, the OEM code page of most of
// Western Europe) and starts with a line that switches the console to it; see README.md,
// "The batch form".

/// The code page number, as the CHCP line and the remarks name it.
inline constexpr int batchCodePage = 850;

/// Appends utf8 in code page 850. Returns false, and leaves out as it was, when a
/// character has no byte in the code page or the text is not well-formed UTF-8.
bool AppendOemText(std::string& out, std::string_view utf8);

/// Appends utf8 in code page 850 for a remark, where nothing may be lost silently: a
/// character without a byte is written as NetWare's utilities show such a character,
/// its Unicode value in four (or more) hexadecimal digits in brackets ("Ł" is "[0141]");
/// a byte that is not well-formed UTF-8 is written as "?".
void AppendOemRemark(std::string& out, std::string_view utf8);

/// The code page 850 byte of a Unicode code point, or -1 when the code page has none
/// (code points below 0x80 are their own byte).
int OemByte(char32_t codePoint) noexcept;
