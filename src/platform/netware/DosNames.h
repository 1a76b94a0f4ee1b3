#pragma once

// DOS (8.3) names as a NetWare server keeps them for the DOS name space: validity,
// generation of a short alias for a long name, and DOS wildcard matching.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

/// The bytes DOS allows in a name, as a table: names are checked a byte at a time, for
/// every name of a volume.
inline constexpr std::array<bool, 256> dosNameChars = [] {
    std::array<bool, 256> table {};
    for (int c = 'A'; c <= 'Z'; ++c)
        table[c] = table[c - 'A' + 'a'] = true;
    for (int c = '0'; c <= '9'; ++c)
        table[c] = true;
    for (const char c : std::string_view("!#$%&'()-@^_`{}~"))
        table[static_cast<unsigned char>(c)] = true;
    return table;
}();

/// True for a character DOS allows in a name: letters, digits and ! # $ % & ' ( ) - @ ^ _
/// ` { } ~ (bytes from 128 up are not allowed).
inline bool IsDosNameChar(char c) noexcept
{
    return dosNameChars[static_cast<unsigned char>(c)];
}

/// True when name is a valid 8.3 name: 1-8 allowed characters, optionally "." and 1-3
/// allowed characters. Case does not matter.
bool IsValidDosName(std::string_view name) noexcept;

/// The generated short alias of a long name that is not a valid 8.3 name: the first six
/// allowed characters of the base (fewer when the number has more digits), upper-cased,
/// "~" and the smallest number from 1 for which taken() is false, then "." and the first
/// three allowed characters of the extension, if there is one. The extension is what
/// follows the last "." (a leading "." does not start one). Returns "" when no number up
/// to 999999 is free. taken() receives the upper-case candidate.
///
/// numbers, when given, remembers per leading part and extension the number to start
/// from, so that a directory of many long names alike (200,000 'Report 000001' ...)
/// costs one probe per name instead of one per number already used: a generator that
/// hands out names one after another passes the same map for the whole directory. It is
/// only right while the set of names taken() reports never shrinks.
using DosNameNumbers = std::unordered_map<std::string, int>;
std::string GenerateDosName(
    std::string_view longName, const std::function<bool(const std::string&)>& taken, DosNameNumbers* numbers = nullptr);

/// DOS wildcard match, ignoring ASCII case: "*" matches any run, "?" exactly one
/// character; a name without "." also matches as if it ended in "." (so "*.*" and "*"
/// match every name, "README" matches "*.*" and "README.*"). upperPattern must already be
/// upper case; name is compared folded.
bool DosWildcardMatch(std::string_view upperPattern, std::string_view name) noexcept;
