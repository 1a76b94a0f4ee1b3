#include "platform/netware/DosNames.h"

#include <algorithm>
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
    // The leading part and the extension, upper-cased, as "STEM" and ".EXT".
    char stem[6];
    size_t stemLength = 0;
    for (size_t i = 0; i < base.size() && stemLength < sizeof stem; ++i)
        if (IsDosNameChar(base[i]))
            stem[stemLength++] = upper(base[i]);
    char suffix[4];
    size_t suffixLength = 0;
    for (size_t i = 0; i < ext.size() && suffixLength < sizeof suffix; ++i)
        if (IsDosNameChar(ext[i])) {
            if (suffixLength == 0)
                suffix[suffixLength++] = '.';
            suffix[suffixLength++] = upper(ext[i]);
        }
    // Every number below the remembered one gave a name that was taken, and still is.
    int* next = nullptr;
    if (numbers) {
        std::string key(stem, stemLength);
        key.append(suffix, suffixLength);
        next = &numbers->try_emplace(std::move(key), 1).first->second;
    }
    std::string candidate;
    for (int number = next ? *next : 1; number <= 999999; ++number) {
        char tail[8];
        size_t tailLength = 0;
        for (int rest = number; rest != 0; rest /= 10)
            tail[tailLength++] = static_cast<char>('0' + rest % 10);
        tail[tailLength++] = '~';
        const size_t keep = std::min(stemLength, 8 - tailLength);
        candidate.assign(stem, keep);
        while (tailLength != 0)
            candidate += tail[--tailLength];
        candidate.append(suffix, suffixLength);
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
