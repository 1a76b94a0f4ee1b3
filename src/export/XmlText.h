#pragma once

#include <string>
#include <string_view>

/// Appends a value of a report line to an XML document that declares the encoding
/// windows-1252: the markup characters are escaped with HtmlEscape, and the UTF-8 text
/// is re-encoded so that every XML 1.0 parser gives back the characters that were
/// stored:
///   - printable ASCII and tab: unchanged;
///   - line feed and carriage return: "&#10;" and "&#13;", so that the element stays on
///     its one line and a parser does not normalise a CR or CR LF into a LF;
///   - other control characters (U+0000..U+001F) and the non-characters U+FFFE and
///     U+FFFF, which XML 1.0 forbids even as references: "?";
///   - characters windows-1252 holds (U+00A0..U+00FF, and the 27 characters of its
///     0x80..0x9F row such as the euro sign): their single windows-1252 byte;
///   - every other character: a decimal character reference ("&#321;" for "Ł"),
///     including U+0080..U+009F, whose bytes mean other characters in windows-1252;
///   - a byte that does not start a well-formed UTF-8 sequence (stray continuation
///     byte, overlong form, encoded surrogate, cut-off sequence, value above
///     U+10FFFF): "&#65533;", the replacement character, once per such byte, so that
///     corrupt input still gives a well-formed document and shows where it was bad.
/// Cannot fail; appends in place without temporaries for plain ASCII values.
void AppendXmlText(std::string& out, std::string_view utf8);

/// The Unicode code point of a windows-1252 byte; the five bytes the code page leaves
/// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) give the C1 control of the same number.
char16_t Windows1252Char(unsigned char byte) noexcept;

/// The windows-1252 byte of a Unicode code point, or -1 when the code page has none
/// (code points below 0x80 map to themselves).
int Windows1252Byte(char32_t codePoint) noexcept;
