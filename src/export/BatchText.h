#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Writing values into the lines of the batch form so that the command interpreter runs
// exactly the command a line shows and nothing else. The interpreter (cmd.exe):
//   1. expands "%" everywhere, inside double quotes and in REM lines too (a REM line
//      holding "%~" even stops the batch file): every "%" is written as "%%";
//   2. ends a line at LF, drops every CR and reads Ctrl-Z as an end of line, so a
//      control character in a value could split a line into a second command or
//      silently change it;
//   3. outside double quotes treats & | < > ^ as operators and blank ( ) , ; = as word
//      breaks; inside double quotes all of these are plain text, but a double quote
//      cannot be written inside a quoted word at all;
//   4. does not look at operators after REM.
// Hence a RIGHTS argument that holds a double quote or a control character cannot be
// written faithfully; the export turns such a line into a remark (see
// IsBatchWritable). "!" is left as it is: it is special only when delayed expansion is
// switched on, which a batch file does not have by default.

/// True when the text can stand in a RIGHTS command: it holds no double quote and no
/// control character (bytes 0x00..0x1F).
bool IsBatchWritable(std::string_view text) noexcept;

/// True when a RIGHTS argument must be enclosed in double quotes: it holds a blank or
/// one of & | < > ^ ( ) , ; =.
bool BatchWordNeedsQuotes(std::string_view text) noexcept;

/// Appends text with every "%" doubled; nothing else changes.
void AppendBatchText(std::string& out, std::string_view text);

/// Appends a RIGHTS argument: as it is (with "%" doubled) unless BatchWordNeedsQuotes,
/// then between double quotes. Inside quotes trailing backslashes are doubled, since a
/// program that splits its command line by the usual C run-time rules would read
/// '\"' as a quote character and not as the end of the word. The text must be
/// IsBatchWritable.
void AppendBatchWord(std::string& out, std::string_view text);

/// Appends the inside of an already quoted field ('/Name="..."'): "%" doubled and
/// trailing backslashes doubled, for the reason given at AppendBatchWord. The text
/// must be IsBatchWritable.
void AppendBatchQuotedText(std::string& out, std::string_view text);

/// Appends text for a REM line: "%" doubled and every control character (0x00..0x1F)
/// written as "?", so that the remark stays one line.
void AppendBatchRemText(std::string& out, std::string_view text);

// The same operations for a text whose BatchByteClasses are known already, so that each
// value of a line is looked at once however many of them apply (the batch form runs over
// millions of values). `classes` must be BatchByteClasses(text).

/// What the bytes of text hold, all in one pass: a summary that the overloads below
/// take instead of looking at the bytes again. Its bits: a byte that cannot stand in a
/// RIGHTS argument (batchUnwritable), one that needs double quotes around a word
/// (batchNeedsQuotes), one a remark changes (batchRemarkSpecial), a "%" (batchPercent),
/// a byte beyond ASCII, which the batch form's code page must hold (batchNonAscii).
/// A text without batchNeedsQuotes and batchPercent is its own word; one without
/// batchRemarkSpecial its own remark text.
inline constexpr uint8_t batchUnwritable = 1;
inline constexpr uint8_t batchNeedsQuotes = 2;
inline constexpr uint8_t batchRemarkSpecial = 4;
inline constexpr uint8_t batchPercent = 8;
inline constexpr uint8_t batchNonAscii = 16;
uint8_t BatchByteClasses(std::string_view text) noexcept;
/// IsBatchWritable for a text of these classes.
bool IsBatchWritable(uint8_t classes) noexcept;
void AppendBatchText(std::string& out, std::string_view text, uint8_t classes);
void AppendBatchQuotedText(std::string& out, std::string_view text, uint8_t classes);
void AppendBatchWord(std::string& out, std::string_view text, uint8_t classes);
/// AppendBatchRemText for a text of these classes.
void AppendBatchRemText(std::string& out, std::string_view text, uint8_t classes);
