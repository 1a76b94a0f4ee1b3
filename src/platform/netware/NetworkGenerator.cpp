#include "platform/netware/NetworkGenerator.h"

#include "platform/netware/DosNames.h"
#include "util/CaseFold.h"
#include "util/D_Util.h"

#include <array>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

// SplitMix64: small, fast and the same on every platform (the standard distributions
// are not), which is what makes a generated network the same everywhere.
class Random {
public:
    explicit Random(uint64_t seed)
        : m_state(seed)
    {
    }
    uint64_t next() noexcept
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    /// A number from 0 to n - 1 (n > 0).
    uint32_t below(uint32_t n) noexcept { return static_cast<uint32_t>((next() >> 32) * n >> 32); }
    /// True with probability p.
    bool chance(double p) noexcept { return static_cast<double>(next() >> 11) * 0x1.0p-53 < p; }

private:
    uint64_t m_state;
};

constexpr std::array<std::string_view, 24> directoryWords { "Projects", "Archive", "Budget", "Client Files",
    "Contracts", "Designs", "Drafts", "Finance", "HR Records", "Invoices", "Legal", "Marketing", "Meeting Notes",
    "Plans", "Proposals", "Reports", "Research", "Sales Data", "Shared", "Templates", "Training", "Home", "Vendors",
    "Work in Progress" };
constexpr std::array<std::string_view, 16> fileWords { "Budget", "Minutes", "Quarterly Report", "Project Plan", "Notes",
    "Invoice", "Contract", "Presentation", "Schedule", "Summary", "Letter", "Memo", "Inventory", "Price List",
    "Org Chart", "Timesheet" };
constexpr std::array<std::string_view, 10> extensions { "doc", "xls", "txt", "pdf", "ppt", "docx", "xlsx", "mdb", "zip",
    "jpg" };
constexpr std::string_view initials = "ABCDEFGHJKLMNPRSTVWZ";
constexpr std::array<std::string_view, 30> surnames { "Smith", "Miller", "Jones", "Brown", "Taylor", "Wilson", "Davies",
    "Evans", "Thomas", "Roberts", "Walker", "Wright", "Baker", "Hughes", "Green", "Hall", "Wood", "Clarke", "Turner",
    "Hill", "Moore", "Cooper", "Ward", "King", "Parker", "Fischer", "Weber", "Becker", "Lang", "Wolf" };
constexpr std::array<std::string_view, 8> departments { "Sales", "Finance", "Research", "Legal", "Support", "Marketing",
    "Production", "Admin" };
constexpr std::array<std::string_view, 5> roles { "Staff", "Managers", "Admins", "Readers", "Editors" };
// Trustee rights as administrators tend to grant them.
constexpr std::array<uint16_t, 8> trusteeRights { 0x41 /*RF*/, 0x41, 0x43 /*RWF*/, 0xDB /*RWCEFM*/, 0xFB /*RWCEAFM*/,
    0x1FF /*all, S*/, 0x40 /*F*/, 0x5B /*RWCEF*/ };
// Inherited rights masks that filter something (a mask with every bit of 0xFB filters nothing).
constexpr std::array<uint8_t, 7> filteringMasks { 0x41 /*RF*/, 0x43 /*RWF*/, 0x5B /*RWCEF*/, 0xDB /*RWCEFM*/,
    0x40 /*F*/, 0x00 /*none*/, 0x7B /*RWCEAF*/ };
constexpr uint32_t firstUnknownID = 0x00DE0001;
constexpr uint32_t unknownIDCount = 16;

// Appends the first `count` letters of a word, blanks left out.
void appendLettersOf(std::string& out, std::string_view word, size_t count)
{
    for (char c : word) {
        if (count == 0)
            break;
        if (c != ' ') {
            out += c;
            --count;
        }
    }
}

// The names of the directory being named, compared as the network compares them
// (SameName): an open-addressing table of views into names that stay where they are
// while the directory is named (its long names and the DOS names in its entries). It
// neither folds nor copies a name, which a set of folded strings did for every name of
// a generated volume.
//
// Every name the generator makes is ASCII (its words, numbers, extensions and the DOS
// aliases of them), and for ASCII texts SameName is equality after mapping A-Z to a-z.
// So the table hashes and compares with that mapping, eight bytes at a time, instead of
// decoding characters for Unicode case folding.
class DirectoryNames {
public:
    /// Empties the set for a directory of at most `expected` names.
    void reset(size_t expected)
    {
        size_t capacity = 16;
        while (capacity < expected * 2)
            capacity *= 2;
        if (capacity != m_slots.size()) {
            m_slots.assign(capacity, std::string_view());
        } else {
            for (uint32_t at : m_used)
                m_slots[at] = std::string_view();
        }
        m_used.clear();
        m_mask = capacity - 1;
    }

    bool contains(std::string_view name) const
    {
        for (size_t at = hash(name) & m_mask; m_slots[at].data() != nullptr; at = (at + 1) & m_mask)
            if (same(m_slots[at], name))
                return true;
        return false;
    }

    /// Adds name (kept as a view: it must stay in place until the next reset); at most
    /// `expected` names per reset, for each directory names every child once or twice.
    void insert(std::string_view name)
    {
        size_t at = hash(name) & m_mask;
        while (m_slots[at].data() != nullptr) {
            if (same(m_slots[at], name))
                return;
            at = (at + 1) & m_mask;
        }
        m_slots[at] = name.data() ? name : std::string_view("", 0);
        m_used.push_back(static_cast<uint32_t>(at));
    }

private:
    // Up to eight bytes from at, A-Z mapped to a-z (the rest unchanged), zero-padded.
    static uint64_t lowerWord(const char* at, size_t length) noexcept
    {
        uint64_t word = 0;
        std::memcpy(&word, at, length < 8 ? length : 8);
        // Bytes from 'A' (0x41) to 'Z' (0x5A) gain 0x20; bytes from 0x80 do not occur.
        const uint64_t ones = 0x0101010101010101ull;
        const uint64_t aboveA = (word + ones * (0x80 - 'A')) & ones * 0x80;
        const uint64_t aboveZ = (word + ones * (0x80 - 'Z' - 1)) & ones * 0x80;
        return word | ((aboveA & ~aboveZ) >> 2);
    }
    static uint64_t hash(std::string_view name) noexcept
    {
        uint64_t h = name.size() * 0x9E3779B97F4A7C15ull;
        for (size_t at = 0; at < name.size(); at += 8) {
            h ^= lowerWord(name.data() + at, name.size() - at);
            h *= 0xBF58476D1CE4E5B9ull;
            h ^= h >> 31;
        }
        return h;
    }
    static bool same(std::string_view a, std::string_view b) noexcept
    {
        if (a.size() != b.size())
            return false;
        for (size_t at = 0; at < a.size(); at += 8)
            if (lowerWord(a.data() + at, a.size() - at) != lowerWord(b.data() + at, b.size() - at))
                return false;
        return true;
    }

    std::vector<std::string_view> m_slots; // data() == nullptr: a free slot
    std::vector<uint32_t> m_used; // the slots taken since the last reset
    size_t m_mask = 0;
};

class Generator {
public:
    Generator(Network& net, uint32_t tree, const GenerateOptions& options, size_t maxDosPath)
        : m_net(net)
        , m_options(options)
        , m_random(options.seed)
        , m_maxDosPath(maxDosPath)
    {
        makeObjects(tree);
    }

    void fill(uint32_t dir, size_t dosPathLength)
    {
        const uint64_t count = GeneratedEntryCount(m_options);
        const uint64_t total = count > UINT64_MAX - m_net.entries.size() ? UINT64_MAX : m_net.entries.size() + count;
        if (total > maxNetworkEntries)
            throw GenerateFailure("",
                Format("the generated subtree would hold %llu entries, the description %llu in all; at most %llu",
                    static_cast<unsigned long long>(count), static_cast<unsigned long long>(total),
                    static_cast<unsigned long long>(maxNetworkEntries)));
        m_net.entries.reserve(m_net.entries.size() + count);
        m_net.trustees.reserve(m_net.trustees.size() + static_cast<size_t>(count * m_options.trustees * 2.2));
        fillDirectory(dir, dosPathLength, 0);
    }

private:
    // Users, groups, [Public] and the unknown IDs trustees and owners are drawn from.
    void makeObjects(uint32_t treeIndex)
    {
        NetTree& tree = m_net.trees[treeIndex];
        // An object made here gets its class; one that exists already keeps its own.
        const auto object = [&](const std::string& text, NetObjectClass objectClass, std::vector<uint32_t>& made) {
            DsName name;
            ParseDsName(text, name); // the reader has checked the context; the rest is made here
            const size_t before = tree.objects.size();
            const uint32_t index = tree.objectFor(name);
            if (tree.objects.size() > before) {
                tree.objects[index].objectClass = objectClass;
                made.push_back(index);
            }
            return tree.objects[index].id;
        };
        std::vector<uint32_t> madeUsers, madeGroups, madeOther;
        std::vector<uint32_t> userIndexes;
        for (uint32_t k = 0; k < m_options.users; ++k) {
            std::string name(1, initials[k % initials.size()]);
            name += surnames[(k / initials.size()) % surnames.size()];
            if (const uint32_t round = k / static_cast<uint32_t>(initials.size() * surnames.size()))
                name += std::to_string(round + 1);
            m_users.push_back(
                object(name + "." + std::string(departments[k % departments.size()]) + "." + m_options.context,
                    NetObjectClass::User, madeUsers));
            userIndexes.push_back(tree.byID.at(m_users.back()));
        }
        std::vector<uint32_t> groupIndexes;
        for (uint32_t g = 0; g < m_options.groups; ++g) {
            std::string name(departments[g % departments.size()]);
            name += ' ';
            name += roles[(g / departments.size()) % roles.size()];
            if (const uint32_t round = g / static_cast<uint32_t>(departments.size() * roles.size()))
                name += " " + std::to_string(round + 1);
            m_groups.push_back(
                object("CN=" + name + ".OU=Groups.O=" + m_options.context, NetObjectClass::Group, madeGroups));
            groupIndexes.push_back(tree.byID.at(m_groups.back()));
        }
        // Memberships of the users made here (drawn without the random sequence, so the
        // entries stay those of the same options without memberships): a user of
        // department k mod 8 belongs to that department's staff group (group k mod 8,
        // when it was made), and every fourth user also to group k mod groups.
        const std::unordered_set<uint32_t> fresh(madeUsers.begin(), madeUsers.end());
        for (uint32_t k = 0; k < m_options.users; ++k) {
            NetObject& user = tree.objects[userIndexes[k]];
            if (!fresh.count(userIndexes[k]) || user.memberOfCount != 0 || groupIndexes.empty())
                continue;
            user.listBegin = static_cast<uint32_t>(tree.listItems.size());
            const uint32_t staff = k % static_cast<uint32_t>(departments.size());
            if (staff < groupIndexes.size()) {
                tree.listItems.push_back(groupIndexes[staff]);
                ++user.memberOfCount;
            }
            const uint32_t second = k % static_cast<uint32_t>(groupIndexes.size());
            if (k % 4 == 0 && second != staff) {
                tree.listItems.push_back(groupIndexes[second]);
                ++user.memberOfCount;
            }
        }
        m_public = object("[Public]", NetObjectClass::Other, madeOther);
        for (uint32_t id = firstUnknownID; m_unknown.size() < unknownIDCount; ++id)
            if (!tree.findID(id))
                m_unknown.push_back(id);
    }

    // A trustee: an unknown ID, [Public] (1 in 8), a group (3 in 8) or a user (4 in 8).
    uint32_t drawTrustee()
    {
        if (m_random.chance(m_options.unknownIDs))
            return m_unknown[m_random.below(unknownIDCount)];
        const uint32_t pick = m_random.below(8);
        if (pick == 0 || (m_groups.empty() && m_users.empty()))
            return m_public;
        if ((pick <= 3 && !m_groups.empty()) || m_users.empty())
            return m_groups[m_random.below(static_cast<uint32_t>(m_groups.size()))];
        return m_users[m_random.below(static_cast<uint32_t>(m_users.size()))];
    }

    // Owner, trustees and, for a directory, the inherited rights mask of one entry.
    void describe(uint32_t index, bool isDirectory)
    {
        NetEntry& entry = m_net.entries[index];
        if (m_options.owners > 0)
            entry.owner = m_users[m_random.below(m_options.owners)];
        if (isDirectory && m_random.chance(m_options.irm))
            entry.irm = filteringMasks[m_random.below(filteringMasks.size())];
        if (m_random.chance(m_options.trustees)) {
            const uint32_t count = 1 + m_random.below(3);
            entry.trusteeBegin = static_cast<uint32_t>(m_net.trustees.size());
            for (uint32_t t = 0; t < count; ++t) {
                const uint32_t id = drawTrustee();
                bool repeated = false;
                for (uint32_t k = entry.trusteeBegin; k < m_net.trustees.size(); ++k)
                    repeated = repeated || m_net.trustees[k].objectID == id;
                if (!repeated)
                    m_net.trustees.push_back({ id, trusteeRights[m_random.below(trusteeRights.size())] });
            }
            entry.trusteeCount = static_cast<uint16_t>(m_net.trustees.size() - entry.trusteeBegin);
        }
    }

    // A long name, written into name: mostly words and the child's number with blanks and
    // mixed case; one in four a compact name that is a valid 8.3 name already. The
    // trailing number (the child's position) keeps the names of one directory distinct.
    void longName(std::string& name, bool isDirectory, uint32_t position)
    {
        const std::string_view word = isDirectory ? directoryWords[m_random.below(directoryWords.size())]
                                                  : fileWords[m_random.below(fileWords.size())];
        const bool compact = m_random.below(4) == 0;
        name.clear();
        if (compact) {
            appendLettersOf(name, word, 5);
        } else {
            name += word;
            name += ' ';
        }
        AppendDecimal(name, position + 1);
        if (m_random.below(8) == 0) // some names are typed in lower case
            for (char& c : name)
                c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (!isDirectory) {
            name += '.';
            name += extensions[m_random.below(extensions.size())];
        }
    }

    void setDosName(uint32_t index, std::string_view dos, size_t parentPathLength, bool atRoot)
    {
        NetEntry& entry = m_net.entries[index];
        entry.dosLength = static_cast<uint8_t>(dos.size());
        std::memcpy(entry.dos, dos.data(), dos.size());
        const size_t pathLength = parentPathLength + (atRoot ? 0 : 1) + dos.size();
        if (pathLength > m_maxDosPath)
            throw GenerateFailure("depth",
                Format("the generated tree reaches a DOS path of %zu characters; NetWare allows at most %zu",
                    pathLength, m_maxDosPath));
    }

    // Lays out the children of `dir` (its subdirectories when below the last level, then
    // its files), names them as the reader names listed entries, and recurses.
    void fillDirectory(uint32_t dir, size_t dosPathLength, uint32_t level)
    {
        const uint32_t directories = level < m_options.depth ? m_options.directories : 0;
        const uint32_t count = directories + m_options.files;
        const uint32_t first = static_cast<uint32_t>(m_net.entries.size());
        const bool atRoot = m_net.entries[dir].parent == NetEntry::none;
        m_net.entries[dir].firstChild = first;
        m_net.entries[dir].childCount = count;
        m_net.entries.resize(first + count);

        m_taken.reset(2 * size_t(count));
        m_numbers.clear();
        if (m_names.size() < count)
            m_names.resize(count);
        m_valid.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            const bool isDirectory = i < directories;
            std::string& name = m_names[i];
            longName(name, isDirectory, isDirectory ? i : i - directories);
            NetEntry& entry = m_net.entries[first + i];
            entry.parent = dir;
            entry.flags = isDirectory ? NetEntry::isDirectory : 0;
            entry.longName = m_net.internName(name);
            entry.longLength = static_cast<uint16_t>(name.size());
            m_taken.insert(name);
            m_valid[i] = IsValidDosName(name);
        }
        // Valid 8.3 names are their own DOS names; the others get aliases that avoid
        // every name of the directory.
        for (uint32_t i = 0; i < count; ++i) {
            if (!m_valid[i])
                continue;
            char upper[12];
            const std::string& name = m_names[i];
            for (size_t k = 0; k < name.size(); ++k)
                upper[k] = (name[k] >= 'a' && name[k] <= 'z') ? static_cast<char>(name[k] - 'a' + 'A') : name[k];
            setDosName(first + i, std::string_view(upper, name.size()), dosPathLength, atRoot);
        }
        for (uint32_t i = 0; i < count; ++i) {
            if (m_valid[i])
                continue;
            // The numbers already used per name base are remembered, as the reader does for
            // listed entries: without that, a directory of many names alike costs one probe
            // per number used before (400,000 files took minutes).
            const std::string dos = GenerateDosName(
                m_names[i], [this](const std::string& candidate) { return m_taken.contains(candidate); }, &m_numbers);
            setDosName(first + i, dos, dosPathLength, atRoot);
            m_taken.insert(Network::dosName(m_net.entries[first + i]));
        }
        for (uint32_t i = 0; i < count; ++i)
            describe(first + i, i < directories);
        for (uint32_t i = 0; i < directories; ++i) {
            const uint32_t child = first + i;
            fillDirectory(child, dosPathLength + (atRoot ? 0 : 1) + m_net.entries[child].dosLength, level + 1);
        }
    }

    Network& m_net;
    const GenerateOptions& m_options;
    Random m_random;
    size_t m_maxDosPath;
    std::vector<uint32_t> m_users;
    std::vector<uint32_t> m_groups;
    std::vector<uint32_t> m_unknown;
    uint32_t m_public = 0;
    DirectoryNames m_taken; // the names of the directory being named
    DosNameNumbers m_numbers; // the next alias number per name base, same directory
    std::vector<std::string> m_names; // the long names of the directory being named; kept for their buffers
    std::vector<char> m_valid; // per name: a valid 8.3 name
};

} // namespace

uint64_t GeneratedEntryCount(const GenerateOptions& options) noexcept
{
    // files + sum over levels 1..depth of directories^level * (1 + files)
    const uint64_t perDirectory = uint64_t(options.files) + 1;
    uint64_t total = options.files;
    uint64_t atLevel = 1;
    for (uint32_t level = 1; level <= options.depth; ++level) {
        if (options.directories == 0)
            break;
        if (atLevel > UINT64_MAX / options.directories)
            return UINT64_MAX;
        atLevel *= options.directories;
        if (atLevel > (UINT64_MAX - total) / perDirectory)
            return UINT64_MAX;
        total += atLevel * perDirectory;
    }
    return total;
}

void GenerateSubtree(
    Network& net, uint32_t tree, uint32_t dir, size_t dosPathLength, const GenerateOptions& options, size_t maxDosPath)
{
    Generator(net, tree, options, maxDosPath).fill(dir, dosPathLength);
}
