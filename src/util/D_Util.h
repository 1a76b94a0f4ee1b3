#pragma once

// D_Util: the program's toolbox of small text and path operations, the error box's
// texts and the shell helpers. Strings are byte strings (UTF-8 on this platform) with
// value semantics. Positions are 1-based; 0 means "not found". Case-insensitive
// comparisons fold the ASCII letters a-z only; every other byte compares as is.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// ---- Choosing and converting -------------------------------------------------

/// The first text when flag is set, else the second.
std::string IfThenStr(bool flag, std::string_view ifTrue, std::string_view ifFalse);

/// "TRUE" or "FALSE".
std::string BoolToText(bool flag);

/// The value with its four bytes in reverse order (byte 0 becomes byte 3 ...).
constexpr uint32_t SwapLong(uint32_t value) noexcept
{
    return ((value & 0x000000FFu) << 24) | ((value & 0x0000FF00u) << 8) | ((value & 0x00FF0000u) >> 8)
        | ((value & 0xFF000000u) >> 24);
}

/// The text with one double quote added in front and one at the end.
std::string Quoted(std::string_view text);

/// Copy of s with the ASCII letters a-z turned into A-Z.
std::string UpperAscii(std::string_view s);

/// Appends a number in decimal, without the formatter (for texts made millions of times).
void AppendDecimal(std::string& out, uint64_t number);

/// The length of the part two texts share at their start, compared eight bytes at a time
/// (a walk's paths share most of their length with the path before).
size_t SharedPrefixLength(std::string_view a, std::string_view b) noexcept;

/// True when a and b are equal once ASCII letters are folded.
bool SameText(std::string_view a, std::string_view b) noexcept;

/// Orders texts by their bytes with ASCII letters folded to lower case, then plain
/// (unsigned) byte order, a shorter text before every longer one that begins with it:
/// the order of the list by trustee. Returns < 0, 0 or > 0; texts that differ only in
/// ASCII letter case compare equal.
int CompareTextFoldedAscii(std::string_view a, std::string_view b) noexcept;

// ---- Searching and replacing -------------------------------------------------

/// 1-based position of the first occurrence of sub in s, ignoring ASCII case; 0 if none
/// (also for an empty sub).
int PosText(std::string_view sub, std::string_view s) noexcept;

/// Exact position search when caseSensitive is set, else PosText.
int PosCase(std::string_view sub, std::string_view s, bool caseSensitive) noexcept;

/// s with the first (all clear) or every (all set) occurrence of oldText replaced by
/// newText. An empty oldText, or oldText equal to newText (exactly), leaves s unchanged.
/// Replace-all works in one left-to-right pass and never rescans inserted text, so a
/// newText containing oldText ("&" -> "&amp;") replaces each occurrence exactly once.
std::string ReplaceText(
    std::string_view s, std::string_view oldText, std::string_view newText, bool caseSensitive, bool all);

/// Sets s to ReplaceText of its value.
void ReplaceInPlace(std::string& s, std::string_view oldText, std::string_view newText, bool caseSensitive, bool all);

/// Splits s at the first exact occurrence of sep: head = the text before it, tail = the
/// text after it; without an occurrence head = s and tail = "". head and tail may be the
/// same objects as s.
void SplitAt(const std::string& s, std::string_view sep, std::string& head, std::string& tail);

// ---- Removing and trimming ---------------------------------------------------

/// s with every character that occurs in set deleted, wherever it stands.
std::string RemoveChars(std::string_view s, std::string_view set);

/// s without its trailing characters for as long as the last one occurs in set.
std::string TrimRightChars(std::string_view s, std::string_view set);

/// The last character of s; s must not be empty (callers check first).
char LastChar(std::string_view s) noexcept;

/// s when it begins with prefix, else prefix + s.
std::string EnsurePrefix(std::string_view s, std::string_view prefix);

// ---- Paths and file names ----------------------------------------------------

/// path unchanged when it ends in "\" or "/", else path + "\"; "" gives "\".
std::string AddSlash(std::string_view path);

/// path without its last character when that is "\" or "/" (one character only).
std::string RemoveSlash(std::string_view path);

/// AddSlash(folder) + name.
std::string JoinPath(std::string_view folder, std::string_view name);

/// The file name with its extension replaced (the extension gets a leading "." first).
/// Only the last component (after the last "\", "/" or ":") is looked at for a ".".
std::string ForceExt(std::string_view fileName, std::string_view ext);

// ---- Character buffers for the client library --------------------------------

/// Read-only pointer to the characters of s, NUL-terminated; never null.
const char* StrPtr(const std::string& s) noexcept;

/// When s is shorter than 255 characters and its last character is not NUL, appends one
/// NUL to s itself (its length grows by one; "" becomes a one-character string). Returns
/// a writable pointer to the characters. Strings of 255 characters or more get nothing.
char* NulTerminatedPtr(std::string& s);

// ---- Error box ---------------------------------------------------------------
// ShowMsg and CheckError show the box through the message-box service
// (services/ErrorBox.h); the types and the text are plain data here.

/// Message-box types.
enum MsgType : int { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3 };

/// The text CheckError shows for a non-zero code: "Error %04X: name", the code as at
/// least four upper-case hexadecimal digits (a negative code as its 32-bit two's
/// complement).
std::string CheckErrorText(int32_t code, std::string_view operationName);

/// printf-style formatting into a std::string (for the few fixed formats of the program).
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// ---- Shell and command helpers -----------------------------------------------

/// Index (from 0) of the first entry of list equal to text, exactly or ignoring ASCII
/// case; -1 when none is equal.
int IndexOfText(std::string_view text, const std::vector<std::string>& list, bool caseSensitive);

/// True when IndexOfText finds text.
bool TextInArray(std::string_view text, const std::vector<std::string>& list, bool caseSensitive);

/// The environment variable's value; "" when it is not set.
std::string GetEnvVar(const std::string& name);
