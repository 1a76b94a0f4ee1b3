#include "platform/netware/DosNames.h"

#include <cstring>
#include <string>

namespace {

char upper(char c) noexcept
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isValidPart(std::string_view part, size_t maxLength) noexcept
{
    if (part.empty() || part.size() > maxLength)
        return false;
    for (char c : part)
        if (!IsDosNameChar(c))
            return false;
    return true;
}

// Iterative glob with single-star backtracking: linear in practice, no recursion.
bool globMatches(std::string_view pattern, std::string_view name, bool addDot) noexcept
{
    const size_t nameLength = name.size() + (addDot ? 1 : 0);
    auto at = [&](size_t i) { return i < name.size() ? upper(name[i]) : '.'; };
    size_t p = 0, n = 0;
    size_t starP = std::string_view::npos, starN = 0;
    while (n < nameLength) {
        // A "*" of the pattern is always a wildcard, also where the name holds a "*".
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == at(n))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

bool IsDosNameChar(char c) noexcept
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    return c != '\0' && std::strchr("!#$%&'()-@^_`{}~", c) != nullptr;
}

bool IsValidDosName(std::string_view name) noexcept
{
    const size_t dot = name.find('.');
    if (dot == std::string_view::npos)
        return isValidPart(name, 8);
    return isValidPart(name.substr(0, dot), 8) && isValidPart(name.substr(dot + 1), 3);
}

std::string GenerateDosName(
    std::string_view longName, const std::function<bool(const std::string&)>& taken, DosNameNumbers* numbers)
{
    std::string_view base = longName;
    std::string_view ext;
    const size_t dot = longName.rfind('.');
    if (dot != std::string_view::npos && dot > 0) {
        base = longName.substr(0, dot);
        ext = longName.substr(dot + 1);
    }
    std::string stem;
    for (char c : base)
        if (IsDosNameChar(c) && stem.size() < 6)
            stem += upper(c);
    std::string suffix;
    for (char c : ext)
        if (IsDosNameChar(c) && suffix.size() < 3)
            suffix += upper(c);
    if (!suffix.empty())
        suffix.insert(suffix.begin(), '.');
    // Every number below the remembered one gave a name that was taken, and still is.
    int* next = numbers ? &numbers->try_emplace(stem + suffix, 1).first->second : nullptr;
    for (int number = next ? *next : 1; number <= 999999; ++number) {
        const std::string tail = "~" + std::to_string(number);
        const size_t keep = std::min(stem.size(), 8 - tail.size());
        std::string candidate = stem.substr(0, keep) + tail + suffix;
        if (!taken(candidate)) {
            if (next)
                *next = number + 1;
            return candidate;
        }
    }
    if (next)
        *next = 1000000;
    return std::string();
}

bool DosWildcardMatch(std::string_view upperPattern, std::string_view name) noexcept
{
    if (upperPattern == "*.*" || upperPattern == "*")
        return true;
    if (globMatches(upperPattern, name, false))
        return true;
    return name.find('.') == std::string_view::npos && globMatches(upperPattern, name, true);
}
