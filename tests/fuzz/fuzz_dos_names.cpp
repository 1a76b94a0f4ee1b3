// Fuzzes the DOS name rules of the simulated server.
//   - DosWildcardMatch agrees with a plain recursive matcher ("*" any run, "?" one
//     character, ASCII case ignored, a name without "." also tried with one added);
//   - names generated for a directory of arbitrary long names are valid 8.3 names,
//     upper case, unique in the directory, and a long name that is a valid 8.3 name
//     keeps it; the same holds for a directory loaded from a description, where the
//     names also have to be found again by both their names.
// Input: the first line is "pattern<TAB>name" for the matcher; the other lines are the
// long names of one directory.
#include "platform/netware/DosNames.h"
#include "platform/netware/NetworkReader.h"
#include "util/D_Util.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

char fold(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The reference matcher: straightforward recursion with memo, over the folded name.
bool matches(const std::string& p, const std::string& n, size_t i, size_t j, std::vector<signed char>& memo)
{
    signed char& m = memo[i * (n.size() + 1) + j];
    if (m >= 0)
        return m;
    bool r;
    if (i == p.size())
        r = j == n.size();
    else if (p[i] == '*')
        r = matches(p, n, i + 1, j, memo) || (j < n.size() && matches(p, n, i, j + 1, memo));
    else
        r = j < n.size() && (p[i] == '?' || p[i] == n[j]) && matches(p, n, i + 1, j + 1, memo);
    m = r ? 1 : 0;
    return r;
}

bool referenceMatch(const std::string& upperPattern, const std::string& name)
{
    std::string folded;
    for (char c : name)
        folded += fold(c);
    const auto match = [&](const std::string& n) {
        std::vector<signed char> memo((upperPattern.size() + 1) * (n.size() + 1), -1);
        return matches(upperPattern, n, 0, 0, memo);
    };
    return match(folded) || (folded.find('.') == std::string::npos && match(folded + "."));
}

void checkGeneratedNames(const std::vector<std::string>& longNames)
{
    std::set<std::string> taken;
    for (const std::string& name : longNames) {
        std::string dos;
        if (IsValidDosName(name))
            dos = UpperAscii(name);
        else
            dos = GenerateDosName(name, [&](const std::string& candidate) { return taken.count(candidate) > 0; });
        if (taken.count(dos))
            continue; // a valid 8.3 long name that clashes: the loader rejects that directory
        if (!IsValidDosName(dos) || UpperAscii(dos) != dos)
            abort();
        taken.insert(dos);
    }
}

// The same directory through the loader: names it cannot hold are made harmless first.
void checkLoadedNames(const std::vector<std::string>& longNames)
{
    using json = nlohmann::json;
    json entries = json::array();
    std::set<std::string> used;
    for (const std::string& raw : longNames) {
        // Bytes from 0x80 up become their Latin-1 characters (valid UTF-8, still not
        // allowed in DOS names), so that distinct names stay distinct.
        std::string name;
        for (char c : raw) {
            const unsigned char b = static_cast<unsigned char>(c);
            if (b >= 0x80) {
                name += static_cast<char>(0xC0 | (b >> 6));
                name += static_cast<char>(0x80 | (b & 0x3F));
            } else if (b < 0x20 || std::string_view("\\/:*?").find(c) != std::string_view::npos) {
                name += '_';
            } else {
                name += c;
            }
        }
        if (name.empty() || name.size() > 255 || name == "." || name == ".." || !used.insert(UpperAscii(name)).second)
            continue;
        entries.push_back({ { "file", name } });
    }
    const json doc = {
        { "grantwise-network", 1 }, { "trees", { { { "name", "T" } } } },
        { "servers",
            { { { "name", "S" }, { "tree", "T" }, { "volumes", { { { "name", "V" }, { "entries", entries } } } } } } }
    };
    // Every name is allowed and distinct, so the directory must load.
    const std::unique_ptr<Network> net = ReadNetwork(doc.dump(), "dos.json");
    const uint32_t rootIndex = net->servers[0].volumes[0].root;
    const NetEntry& root = net->entries[rootIndex];
    std::set<std::string> seen;
    for (uint32_t i = 0; i < root.childCount; ++i) {
        const uint32_t index = root.firstChild + i;
        const NetEntry& child = net->entries[index];
        const std::string dos(Network::dosName(child));
        if (!IsValidDosName(dos) || UpperAscii(dos) != dos || !seen.insert(dos).second)
            abort();
        if (net->findChild(rootIndex, dos) != index || net->findChild(rootIndex, net->longName(child)) != index)
            abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    for (size_t from = 0; from <= input.size();) {
        const size_t nl = std::min(input.find('\n', from), input.size());
        lines.push_back(input.substr(from, nl - from));
        from = nl + 1;
    }

    const std::string& first = lines.front();
    const size_t tab = first.find('\t');
    const std::string pattern = UpperAscii(first.substr(0, tab));
    const std::string name = tab == std::string::npos ? first : first.substr(tab + 1);
    if (pattern.size() <= 64 && name.size() <= 64 && DosWildcardMatch(pattern, name) != referenceMatch(pattern, name))
        abort();

    const std::vector<std::string> longNames(lines.begin() + 1, lines.end());
    checkGeneratedNames(longNames);
    checkLoadedNames(longNames);
    return 0;
}
