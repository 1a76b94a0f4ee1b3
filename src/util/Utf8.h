#pragma once

// UTF-8, the encoding of every text of the program on this platform: decoding one
// character, and counting and cutting texts by characters rather than bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/// Decodes the UTF-8 sequence that starts at text[at]. Returns its length in bytes and
/// sets codePoint, or 0 when the bytes there are not a well-formed sequence (RFC 3629:
/// no overlong forms, no surrogates, nothing above U+10FFFF, not cut off).
size_t DecodeUtf8(std::string_view text, size_t at, uint32_t& codePoint) noexcept;

/// True when the whole text is well-formed UTF-8 (DecodeUtf8 accepts every sequence).
bool IsValidUtf8(std::string_view text) noexcept;

/// The number of characters of a UTF-8 text: every byte that does not continue a
/// sequence (0x80..0xBF) counts as one, so a malformed byte counts as a character too.
size_t Utf8Length(std::string_view text) noexcept;

/// The first `characters` characters of text (all of it when it has fewer), never
/// ending inside a sequence.
std::string_view Utf8Prefix(std::string_view text, size_t characters) noexcept;

/// Appends the UTF-8 sequence of a code point (at most U+10FFFF; a surrogate is encoded
/// as it is, so the caller passes only characters).
void AppendUtf8(std::string& out, char32_t codePoint);
