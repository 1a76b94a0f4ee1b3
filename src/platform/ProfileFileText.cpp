#include "platform/ProfileFileText.h"

#include "util/CaseFold.h"

#include <string_view>

namespace {

constexpr std::string_view bom = "\xEF\xBB\xBF";

bool isBlank(char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view s) noexcept
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Section and key names compare without regard to case, as names and paths do
// everywhere (Unicode case folding): the keys of the queue's check marks are paths.
std::string folded(std::string_view s)
{
    return FoldName(s);
}

bool holdsLineBreakOrNul(std::string_view s) noexcept
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A section header: "[" first (after blanks) and a "]" further on; the name lies
// between the "[" and the last "]".
bool parseHeader(std::string_view line, std::string& name)
{
    size_t open = 0;
    while (open < line.size() && isBlank(line[open]))
        ++open;
    if (open >= line.size() || line[open] != '[')
        return false;
    const size_t close = line.rfind(']');
    if (close == std::string_view::npos || close < open)
        return false;
    name = std::string(trimmed(line.substr(open + 1, close - open - 1)));
    return true;
}

// Position of the closing quote of a quoted key starting at open: the first '"' after
// it that is followed by blanks and "="; npos when there is none.
size_t quotedKeyEnd(std::string_view line, size_t open) noexcept
{
    for (size_t i = open + 1; i < line.size(); ++i) {
        if (line[i] != '"')
            continue;
        size_t j = i + 1;
        while (j < line.size() && isBlank(line[j]))
            ++j;
        if (j < line.size() && line[j] == '=')
            return i;
    }
    return std::string_view::npos;
}

// An entry line: the key (quoted or plain) and the raw value text after its "=".
bool parseEntry(std::string_view line, std::string& key, std::string_view& rawValue)
{
    size_t start = 0;
    while (start < line.size() && isBlank(line[start]))
        ++start;
    if (start >= line.size() || line[start] == ';' || line[start] == '#' || line[start] == '[')
        return false;
    if (line[start] == '"') {
        const size_t close = quotedKeyEnd(line, start);
        if (close != std::string_view::npos) {
            key = std::string(line.substr(start + 1, close - start - 1));
            rawValue = line.substr(line.find('=', close) + 1);
            return true;
        }
    }
    const size_t eq = line.find('=', start);
    if (eq == std::string_view::npos)
        return false;
    const std::string_view plainKey = trimmed(line.substr(start, eq - start));
    if (plainKey.empty())
        return false;
    key = std::string(plainKey);
    rawValue = line.substr(eq + 1);
    return true;
}

std::string decodeValue(std::string_view raw)
{
    std::string_view v = trimmed(raw);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

bool keyNeedsQuotes(std::string_view key) noexcept
{
    if (key.empty() || isBlank(key.front()) || isBlank(key.back()))
        return true;
    const char first = key.front();
    return first == '[' || first == ';' || first == '#' || first == '"' || key.find('=') != std::string_view::npos;
}

bool encodeEntry(const std::string& key, const std::string& value, std::string& line, std::string& error)
{
    if (holdsLineBreakOrNul(key)) {
        error = "a key cannot hold a line break";
        return false;
    }
    if (holdsLineBreakOrNul(value)) {
        error = "a value cannot hold a line break";
        return false;
    }
    if (keyNeedsQuotes(key)) {
        const std::string quoted = "\"" + key + "\"";
        if (quotedKeyEnd(quoted + "=", 0) != quoted.size() - 1) {
            error = "the key '" + key + "' holds a double quote followed by '='";
            return false;
        }
        line = quoted;
    } else {
        line = key;
    }
    line += '=';
    const bool blankEdge = !value.empty() && (isBlank(value.front()) || isBlank(value.back()));
    line += blankEdge ? "\"" + value + "\"" : value;
    return true;
}

} // namespace

ProfileFileText::ProfileFileText(const std::string& bytes)
{
    std::string_view rest(bytes);
    if (rest.substr(0, bom.size()) == bom) {
        m_bom = std::string(bom);
        rest.remove_prefix(bom.size());
    }
    m_sections.emplace_back(); // the lines before the first section
    while (!rest.empty()) {
        // A line ends at LF, CR LF or a CR alone (files from systems that end lines so).
        const size_t end = rest.find_first_of("\r\n");
        Line line;
        if (end == std::string_view::npos) {
            line.text = std::string(rest);
            rest = {};
        } else {
            line.text = std::string(rest.substr(0, end));
            const bool crlf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
            line.eol = crlf ? "\r\n" : rest.substr(end, 1);
            rest.remove_prefix(end + (crlf ? 2 : 1));
        }
        std::string name;
        if (parseHeader(line.text, name)) {
            Section section;
            section.hasHeader = true;
            section.foldedName = folded(name);
            m_sections.push_back(std::move(section));
        }
        m_sections.back().lines.push_back(std::move(line));
    }
    rebuildIndex();
}

void ProfileFileText::rebuildIndex()
{
    m_names.clear();
    m_eol = "\n";
    bool eolFound = false;
    for (size_t i = 0; i < m_sections.size(); ++i) {
        Section& section = m_sections[i];
        if (section.erased) {
            m_names[section.foldedName].placeholder = i;
            continue;
        }
        for (const Line& line : section.lines)
            if (!eolFound && !line.eol.empty()) {
                m_eol = line.eol;
                eolFound = true;
            }
        if (!section.hasHeader)
            continue;
        NameIndex& index = m_names[section.foldedName];
        index.sections.push_back(i);
        for (size_t k = 1; k < section.lines.size(); ++k) {
            std::string key;
            std::string_view raw;
            if (parseEntry(section.lines[k].text, key, raw))
                index.keys.emplace(folded(key), std::make_pair(i, k)); // emplace keeps the first occurrence
        }
    }
}

std::string ProfileFileText::toBytes() const
{
    std::string out = m_bom;
    const Line* last = nullptr;
    for (const Section& section : m_sections) {
        if (section.erased)
            continue;
        for (const Line& line : section.lines) {
            // A last line that had no line end gets the file's own once lines follow it.
            if (last)
                out += last->eol.empty() ? m_eol : last->eol;
            out += line.text;
            last = &line;
        }
    }
    if (last)
        out += last->eol;
    return out;
}

const ProfileFileText::NameIndex* ProfileFileText::indexOf(const std::string& foldedName) const
{
    const auto it = m_names.find(foldedName);
    return it == m_names.end() || it->second.sections.empty() ? nullptr : &it->second;
}

bool ProfileFileText::findKey(
    const std::string& foldedName, const std::string& foldedKey, size_t& section, size_t& line) const
{
    const NameIndex* index = indexOf(foldedName);
    if (!index)
        return false;
    const auto it = index->keys.find(foldedKey);
    if (it == index->keys.end())
        return false;
    section = it->second.first;
    line = it->second.second;
    return true;
}

std::optional<std::string> ProfileFileText::value(const std::string& section, const std::string& key) const
{
    size_t sectionIndex = 0;
    size_t line = 0;
    if (!findKey(folded(trimmed(section)), folded(key), sectionIndex, line))
        return std::nullopt;
    std::string parsedKey;
    std::string_view raw;
    parseEntry(m_sections[sectionIndex].lines[line].text, parsedKey, raw);
    return decodeValue(raw);
}

bool ProfileFileText::hasSection(const std::string& section) const
{
    return indexOf(folded(trimmed(section))) != nullptr;
}

std::vector<ProfileFileText::Entry> ProfileFileText::listSection(const std::string& section) const
{
    std::vector<Entry> out;
    const NameIndex* index = indexOf(folded(trimmed(section)));
    if (!index)
        return out;
    for (size_t i : index->sections) {
        const Section& s = m_sections[i];
        for (size_t k = 1; k < s.lines.size(); ++k) {
            std::string key;
            std::string_view raw;
            if (parseEntry(s.lines[k].text, key, raw))
                out.emplace_back(std::move(key), decodeValue(raw));
        }
    }
    return out;
}

bool ProfileFileText::setValue(
    const std::string& section, const std::string& key, const std::string& value, std::string& error)
{
    if (holdsLineBreakOrNul(section)) {
        error = "a section name cannot hold a line break";
        return false;
    }
    std::string text;
    if (!encodeEntry(key, value, text, error))
        return false;

    const std::string name = folded(trimmed(section));
    const std::string foldedKey = folded(key);
    size_t sectionIndex = 0;
    size_t line = 0;
    if (findKey(name, foldedKey, sectionIndex, line)) {
        m_sections[sectionIndex].lines[line].text = std::move(text);
        return true;
    }
    NameIndex& index = m_names[name];
    if (!index.sections.empty()) {
        // Into the first section of that name, after its last non-blank line, so that
        // every indexed key line keeps its place.
        Section& s = m_sections[index.sections.front()];
        size_t at = s.lines.size();
        while (at > 1 && trimmed(s.lines[at - 1].text).empty())
            --at;
        s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), Line { std::move(text), m_eol });
        index.keys.emplace(foldedKey, std::make_pair(index.sections.front(), at));
        return true;
    }
    // A section erased before comes back where it stood (an erase-and-rewrite of an
    // unchanged list then leaves the file as it was), in front of its blank lines.
    const Line header { "[" + std::string(trimmed(section)) + "]", m_eol };
    if (index.placeholder) {
        const size_t at = *index.placeholder;
        index.placeholder.reset();
        Section& s = m_sections[at];
        s.erased = false;
        s.lines.insert(s.lines.begin(), { header, Line { std::move(text), m_eol } });
        index.sections.push_back(at);
        index.keys.emplace(foldedKey, std::make_pair(at, size_t(1)));
        return true;
    }
    // Otherwise a new section at the end of the file, set off by a blank line. (A last
    // line without a line end gets one from toBytes once lines follow it.)
    for (size_t i = m_sections.size(); i-- > 0;) {
        Section& s = m_sections[i];
        if (s.erased || s.lines.empty())
            continue;
        if (!trimmed(s.lines.back().text).empty())
            s.lines.push_back(Line { std::string(), m_eol });
        break;
    }
    Section added;
    added.hasHeader = true;
    added.foldedName = name;
    added.lines.push_back(header);
    added.lines.push_back(Line { std::move(text), m_eol });
    m_sections.push_back(std::move(added));
    index.sections.push_back(m_sections.size() - 1);
    index.keys.emplace(foldedKey, std::make_pair(m_sections.size() - 1, size_t(1)));
    return true;
}

void ProfileFileText::eraseSection(const std::string& section)
{
    // The first copy stays as an invisible place holder with its trailing blank lines,
    // for the section to return to if it is written again; further copies go.
    const std::string name = folded(trimmed(section));
    if (!indexOf(name))
        return;
    bool first = true;
    std::erase_if(m_sections, [&](Section& s) {
        if (!s.hasHeader || s.erased || s.foldedName != name)
            return false;
        if (!first)
            return true;
        first = false;
        size_t blanks = s.lines.size();
        while (blanks > 1 && trimmed(s.lines[blanks - 1].text).empty())
            --blanks;
        s.lines.erase(s.lines.begin(), s.lines.begin() + static_cast<std::ptrdiff_t>(blanks));
        s.erased = true;
        return false;
    });
    rebuildIndex();
}
