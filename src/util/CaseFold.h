#pragma once

// Names and paths compare as a NetWare server compares them: without regard to case, by
// Unicode simple case folding, one character to one character (the folding Qt's
// QChar::toCaseFolded gives: 'Ü' is 'ü', the Kelvin sign is 'k'; 'ß' stays 'ß', it is
// not "ss"). Object names, path components, DOS names, queue paths and settings keys use
// these; the helpers of D_Util that fold only the ASCII letters (SameText, PosText)
// keep their own narrower rule.
//
// Texts are UTF-8. A byte that does not begin a well-formed sequence (a stray
// continuation byte, an overlong form, a surrogate, a cut-off sequence) stands for
// itself and equals only the same byte.

#include <string>
#include <string_view>

/// The text case-folded: every character replaced by its simple case folding (ASCII
/// letters become lower case), bytes outside well-formed sequences kept as they are. Two
/// texts are the same name exactly when their folded forms are equal, so the folded form
/// serves as a key for hash tables.
std::string FoldName(std::string_view text);

/// The folded character at pos, moving pos past it: for a well-formed sequence its code
/// point's simple case folding, for any other byte 0x110000 + the byte (a value no
/// character has). Equal texts under FoldName give equal sequences of these values, so a
/// hash over them serves as a hash of the folded text without building it.
char32_t NextFoldedChar(std::string_view text, size_t& pos) noexcept;

/// True when a and b are equal once both are case-folded (FoldName(a) == FoldName(b)),
/// without building the folded texts.
bool SameName(std::string_view a, std::string_view b) noexcept;
