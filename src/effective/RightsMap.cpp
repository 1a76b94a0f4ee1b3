#include "effective/RightsMap.h"

#include "netware/D_NW.h"
#include "services/PendingMessages.h"

#include <cstring>

namespace effective {

namespace {

constexpr uint32_t requesterFailure = 0x88FF;

// A directory on the way down to the current entry, with the object's rights there.
struct LevelState {
    std::string dosPath;
    std::string longPath; ///< "" until asked for
    std::vector<uint16_t> memberRights; ///< r(member, level) per member of the set
    uint16_t effective = 0;
    uint32_t code = 0; ///< non-zero: unreadable, and so is everything below
};

// The library path of the directory that holds a path the walk hands over
// ('VOL1:\A\B' -> 'VOL1:\A', 'VOL1:\A' and 'VOL1:A' -> 'VOL1:').
std::string_view parentOf(std::string_view path) noexcept
{
    const size_t sep = path.find_last_of("\\:");
    if (sep == std::string_view::npos)
        return {};
    if (path[sep] == ':' || (sep > 0 && path[sep - 1] == ':'))
        return path.substr(0, path.find(':') + 1);
    return path.substr(0, sep);
}

class RightsMapWalk {
public:
    RightsMapWalk(const ResolvedEntry& start, const EquivalenceSet& set, bool listDirectories, bool explain,
        EffectiveProgress* progress, std::vector<RightsMapRow>& rows)
        : m_conn(start.connHandle)
        , m_set(set)
        , m_listDirectories(listDirectories)
        , m_explain(explain)
        , m_progress(progress)
        , m_rows(rows)
    {
        // The chain down to the start entry, with the rights carried down it.
        for (size_t i = 0; i < start.levels.size(); ++i) {
            LevelState& state = slot();
            state.dosPath = start.dosPaths[i];
            state.longPath = start.longPaths[i];
            m_chain[m_depth] = start.levels[i];
            carry();
        }
        m_base = m_depth;
        addRow(m_depth - 1);
    }

    uint64_t examined() const noexcept { return m_examined; }

    void visit(const std::string& path, const WalkEntry& entry)
    {
        ++m_examined;
        if (m_progress) {
            m_progress->examined(path);
            if (m_progress->cancelRequested())
                throw OperationCancelled {};
        }
        if (path == m_states[m_base - 1].dosPath)
            return; // the start entry: listed already
        const bool isDirectory = (entry.Kind & 0x10) != 0;
        if (!enterParentOf(path))
            return;
        const size_t parent = m_depth - 1;
        if (m_states[parent].code != 0) {
            if (isDirectory)
                pushUnknown(path, m_states[parent].code);
            return;
        }
        LevelState& state = slot();
        state.dosPath = path;
        ChainLevel& level = m_chain[m_depth];
        level.irm = entry.Entry.rightsMask;
        level.assignments.clear();
        if (const uint32_t code = ReadAssignments(m_conn, path, level.assignments)) {
            state.code = code;
            ++m_depth;
            addFailure(m_depth - 1);
        } else {
            carry();
            if (m_states[m_depth - 1].effective != m_states[parent].effective && (m_listDirectories || !isDirectory))
                addRow(m_depth - 1);
        }
        if (!isDirectory)
            --m_depth; // a file is a leaf: a level only while its row was made
    }

    // A search the walk could not start: what lies below the directory is unknown.
    void searchFailed(const std::string& path, uint16_t code)
    {
        if (path == m_lastSearchFailure)
            return; // its files and its subdirectories: one row
        m_lastSearchFailure = path;
        if (!enterParentOf(path + "\\*"))
            return;
        RightsMapRow row;
        row.path = longPathOf(m_depth - 1);
        row.code = code;
        m_rows.push_back(std::move(row));
    }

private:
    // Makes the top of the stack the directory that holds path. A directory the walk did
    // not report (its information could not be read) becomes an unreadable level, with
    // a row of its own. False when path does not lie below the start entry.
    bool enterParentOf(const std::string& path)
    {
        const std::string_view parent = parentOf(path);
        while (m_depth > m_base && m_states[m_depth - 1].dosPath != parent)
            --m_depth;
        while (m_states[m_depth - 1].dosPath != parent) {
            const std::string& top = m_states[m_depth - 1].dosPath;
            std::string prefix = top;
            if (top.back() != ':' || (parent.size() > top.size() && parent[top.size()] == '\\'))
                prefix += '\\';
            if (parent.size() <= prefix.size() || parent.substr(0, prefix.size()) != prefix)
                return false;
            const std::string missing(parent.substr(0, parent.find('\\', prefix.size())));
            const uint32_t inherited = m_states[m_depth - 1].code;
            pushUnknown(missing, inherited != 0 ? inherited : directoryCode(missing));
            if (inherited == 0)
                addFailure(m_depth - 1);
        }
        return true;
    }

    // Why the information of a directory the walk skipped cannot be read.
    uint32_t directoryCode(const std::string& dosPath)
    {
        uint8_t sequence[9];
        std::memset(sequence, 0xFF, sizeof sequence);
        char name[nw::nameBufferSize] = {};
        uint32_t dateTime = 0, ownerID = 0;
        uint8_t irm = 0;
        const uint32_t code
            = NWLib().getDirectoryInfo(m_conn, 0, dosPath.c_str(), sequence, name, dateTime, ownerID, irm, nullptr);
        return code != 0 ? code : requesterFailure;
    }

    // The next level's storage, reused from earlier entries of the same depth.
    LevelState& slot()
    {
        if (m_depth == m_states.size()) {
            m_states.emplace_back();
            m_chain.emplace_back();
        }
        LevelState& state = m_states[m_depth];
        state.longPath.clear();
        state.code = 0;
        return state;
    }

    // Makes the level in the next slot (its chain level filled in) the top, carrying the
    // object's rights down to it from its parent.
    void carry()
    {
        LevelState& state = m_states[m_depth];
        const ChainLevel& level = m_chain[m_depth];
        const LevelState* parent = m_depth > 0 ? &m_states[m_depth - 1] : nullptr;
        state.memberRights.resize(m_set.size());
        uint16_t all = 0;
        for (size_t m = 0; m < m_set.size(); ++m) {
            uint16_t rights = 0;
            if (!m_set[m].id || !AssignedRights(level, *m_set[m].id, rights))
                rights = parent ? InheritedRights(parent->memberRights[m], level.irm) : 0;
            state.memberRights[m] = rights;
            all |= rights;
        }
        state.effective = EffectiveRights(all);
        ++m_depth;
    }

    void pushUnknown(const std::string& dosPath, uint32_t code)
    {
        LevelState& state = slot();
        state.dosPath = dosPath;
        state.code = code;
        m_chain[m_depth] = ChainLevel();
        ++m_depth;
    }

    // The long path of a level, read once (a name the library cannot give stays in its
    // DOS form).
    const std::string& longPathOf(size_t at)
    {
        LevelState& state = m_states[at];
        if (state.longPath.empty()) {
            std::string name;
            if (ReadLongName(m_conn, state.dosPath, name) != 0 || name.empty())
                name = state.dosPath.substr(state.dosPath.find_last_of("\\:") + 1);
            state.longPath = longPathOf(at - 1) + "\\" + name; // the start's levels have theirs
        }
        return state.longPath;
    }

    void addRow(size_t at)
    {
        RightsMapRow row;
        row.path = longPathOf(at);
        row.rights = m_states[at].effective;
        if (m_explain) {
            std::vector<std::string> paths;
            for (size_t i = 0; i <= at; ++i)
                paths.push_back(longPathOf(i));
            for (size_t m = 0; m < m_set.size(); ++m)
                if (m_states[at].memberRights[m] != 0)
                    row.explanation.push_back(Explain(
                        m_set[m].relation, m_set[m].displayName, TraceRights(m_chain, at + 1, *m_set[m].id), paths));
        }
        m_rows.push_back(std::move(row));
    }

    void addFailure(size_t at)
    {
        RightsMapRow row;
        row.path = longPathOf(at);
        row.code = m_states[at].code;
        m_rows.push_back(std::move(row));
    }

    uint32_t m_conn;
    const EquivalenceSet& m_set;
    bool m_listDirectories;
    bool m_explain;
    EffectiveProgress* m_progress;
    std::vector<RightsMapRow>& m_rows;
    std::vector<LevelState> m_states; // [0, m_depth): the way down to the current entry
    std::vector<ChainLevel> m_chain; // the same levels as the rules read them
    size_t m_depth = 0;
    size_t m_base = 0; // levels down to the start entry
    uint64_t m_examined = 0;
    std::string m_lastSearchFailure;
};

} // namespace

uint64_t MapRights(const ResolvedEntry& start, const EquivalenceSet& set, const WalkChoices& choices, bool explain,
    EffectiveProgress* progress, std::vector<RightsMapRow>& rows)
{
    // The rights of a file depend on its directory, so with scope files the directories
    // are walked too (and not listed).
    RightsMapWalk walk(start, set, choices.scopeFlag != 0, explain, progress, rows);
    if (start.isFile)
        return 1;
    const uint8_t walkScope = choices.scopeFlag == 1 ? 1 : 2;
    const EntryCallback callback
        = [&walk](const std::string& path, const WalkEntry& entry, void*) { walk.visit(path, entry); };
    const SearchFailureCallback searchFailed
        = [&walk](const std::string& path, uint16_t code) { walk.searchFailed(path, code); };
    WalkDirectory(start.connHandle, start.dosPaths.back(), choices.pattern, walkScope, callback, nullptr,
        choices.recurse, &searchFailed);
    return walk.examined();
}

} // namespace effective
