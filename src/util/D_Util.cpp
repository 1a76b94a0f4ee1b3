#include "util/D_Util.h"

#include <algorithm>
#include <bit>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

char upperAscii(char c) noexcept
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isSeparator(char c) noexcept
{
    return c == '\\' || c == '/';
}

// Finds sub in s from byte offset `from`; npos when absent.
size_t findFrom(std::string_view s, std::string_view sub, size_t from, bool caseSensitive) noexcept
{
    if (sub.empty() || sub.size() > s.size())
        return std::string_view::npos;
    if (caseSensitive)
        return s.find(sub, from);
    for (size_t i = from; i + sub.size() <= s.size(); ++i) {
        size_t k = 0;
        while (k < sub.size() && upperAscii(s[i + k]) == upperAscii(sub[k]))
            ++k;
        if (k == sub.size())
            return i;
    }
    return std::string_view::npos;
}

} // namespace

std::string IfThenStr(bool flag, std::string_view ifTrue, std::string_view ifFalse)
{
    return std::string(flag ? ifTrue : ifFalse);
}

std::string BoolToText(bool flag)
{
    return flag ? "TRUE" : "FALSE";
}

std::string Quoted(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

std::string UpperAscii(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = upperAscii(c);
    return out;
}

void AppendDecimal(std::string& out, uint64_t number)
{
    char digits[20];
    size_t length = 0;
    do {
        digits[length++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    while (length != 0)
        out += digits[--length];
}

size_t SharedPrefixLength(std::string_view a, std::string_view b) noexcept
{
    const size_t n = std::min(a.size(), b.size());
    size_t at = 0;
    for (; at + 8 <= n; at += 8) {
        uint64_t x = 0;
        uint64_t y = 0;
        std::memcpy(&x, a.data() + at, 8);
        std::memcpy(&y, b.data() + at, 8);
        if (x != y) {
            const uint64_t differ = x ^ y;
            const int bit
                = std::endian::native == std::endian::little ? std::countr_zero(differ) : std::countl_zero(differ);
            return at + static_cast<size_t>(bit / 8);
        }
    }
    while (at < n && a[at] == b[at])
        ++at;
    return at;
}

bool SameText(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i]))
            return false;
    return true;
}

int CompareTextFoldedAscii(std::string_view a, std::string_view b) noexcept
{
    const auto fold = [](char c) -> unsigned char {
        return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : static_cast<unsigned char>(c);
    };
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = fold(a[i]);
        const unsigned char cb = fold(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

int PosText(std::string_view sub, std::string_view s) noexcept
{
    return PosCase(sub, s, false);
}

int PosCase(std::string_view sub, std::string_view s, bool caseSensitive) noexcept
{
    const size_t at = findFrom(s, sub, 0, caseSensitive);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::string ReplaceText(
    std::string_view s, std::string_view oldText, std::string_view newText, bool caseSensitive, bool all)
{
    size_t at = findFrom(s, oldText, 0, caseSensitive);
    if (at == std::string_view::npos || oldText == newText)
        return std::string(s);
    std::string out;
    out.reserve(s.size() + (newText.size() > oldText.size() ? newText.size() - oldText.size() : 0));
    size_t from = 0;
    while (at != std::string_view::npos) {
        out.append(s.substr(from, at - from));
        out.append(newText);
        from = at + oldText.size();
        if (!all)
            break;
        at = findFrom(s, oldText, from, caseSensitive);
    }
    out.append(s.substr(from));
    return out;
}

void ReplaceInPlace(std::string& s, std::string_view oldText, std::string_view newText, bool caseSensitive, bool all)
{
    s = ReplaceText(s, oldText, newText, caseSensitive, all);
}

void SplitAt(const std::string& s, std::string_view sep, std::string& head, std::string& tail)
{
    const size_t at = sep.empty() ? std::string::npos : s.find(sep);
    if (at == std::string::npos) {
        std::string whole = s;
        tail.clear();
        head = std::move(whole);
        return;
    }
    std::string before = s.substr(0, at);
    std::string after = s.substr(at + sep.size());
    head = std::move(before);
    tail = std::move(after);
}

std::string RemoveChars(std::string_view s, std::string_view set)
{
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (set.find(c) == std::string_view::npos)
            out += c;
    return out;
}

std::string TrimRightChars(std::string_view s, std::string_view set)
{
    size_t n = s.size();
    while (n > 0 && set.find(s[n - 1]) != std::string_view::npos)
        --n;
    return std::string(s.substr(0, n));
}

char LastChar(std::string_view s) noexcept
{
    return s.empty() ? '\0' : s.back();
}

std::string EnsurePrefix(std::string_view s, std::string_view prefix)
{
    if (s.substr(0, prefix.size()) == prefix)
        return std::string(s);
    std::string out(prefix);
    out += s;
    return out;
}

std::string AddSlash(std::string_view path)
{
    if (!path.empty() && isSeparator(path.back()))
        return std::string(path);
    std::string out(path);
    out += '\\';
    return out;
}

std::string RemoveSlash(std::string_view path)
{
    if (!path.empty() && isSeparator(path.back()))
        path.remove_suffix(1);
    return std::string(path);
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string out = AddSlash(folder);
    out += name;
    return out;
}

std::string ForceExt(std::string_view fileName, std::string_view ext)
{
    const std::string dotted = EnsurePrefix(ext, ".");
    const size_t lastSep = fileName.find_last_of("\\/:");
    const size_t nameStart = lastSep == std::string_view::npos ? 0 : lastSep + 1;
    const size_t dot = fileName.rfind('.');
    std::string out;
    if (dot != std::string_view::npos && dot >= nameStart)
        out = std::string(fileName.substr(0, dot));
    else
        out = std::string(fileName);
    out += dotted;
    return out;
}

const char* StrPtr(const std::string& s) noexcept
{
    return s.c_str();
}

char* NulTerminatedPtr(std::string& s)
{
    if (s.size() < 255 && (s.empty() || s.back() != '\0'))
        s.push_back('\0');
    return s.data();
}

std::string CheckErrorText(int32_t code, std::string_view operationName)
{
    return Format(
        "Error %04X: %.*s", static_cast<uint32_t>(code), static_cast<int>(operationName.size()), operationName.data());
}

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n));
        std::vsnprintf(out.data(), out.size() + 1, format, args);
    }
    va_end(args);
    return out;
}

int IndexOfText(std::string_view text, const std::vector<std::string>& list, bool caseSensitive)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (caseSensitive ? list[i] == text : SameText(list[i], text))
            return static_cast<int>(i);
    return -1;
}

bool TextInArray(std::string_view text, const std::vector<std::string>& list, bool caseSensitive)
{
    return IndexOfText(text, list, caseSensitive) >= 0;
}

std::string GetEnvVar(const std::string& name)
{
    const char* value = std::getenv(name.c_str());
    return value ? std::string(value) : std::string();
}
