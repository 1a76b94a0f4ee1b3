#include "effective/EffectiveRun.h"

#include "netware/D_NW.h"
#include "util/CaseFold.h"

#include <map>
#include <memory>

namespace effective {

namespace {

// One reader per tree, so that a queue over one tree reads its users and groups once.
class TreeReaders {
public:
    DirectoryObjects& forTree(uint32_t connHandle, const std::string& treeName)
    {
        std::unique_ptr<DirectoryObjects>& reader = m_readers[FoldName(treeName)];
        if (!reader)
            reader = std::make_unique<DirectoryObjects>(connHandle, treeName);
        return *reader;
    }

private:
    std::map<std::string, std::unique_ptr<DirectoryObjects>> m_readers;
};

} // namespace

UnknownObjectError::UnknownObjectError(const std::string& name, const std::string& treeName)
    : std::runtime_error("no object named '" + name + "' in the tree " + treeName)
{
}

AccessReport RunWhoHasAccess(const std::vector<StartPath>& queue, uint32_t connHandle, EffectiveProgress* progress)
{
    AccessReport report;
    TreeReaders readers;
    for (const StartPath& start : queue) {
        AccessEntry answer;
        ResolvedEntry entry;
        answer.code = ResolveEntry(start.path, connHandle, entry);
        if (answer.code == 0) {
            answer.path = entry.longPaths.back();
            DirectoryObjects& objects = readers.forTree(entry.connHandle, entry.treeName);
            answer.code = WhoHasAccess(objects, entry, answer.rows, progress);
        } else {
            answer.path = start.path;
        }
        report.entries.push_back(std::move(answer));
    }
    return report;
}

RightsMapReport RunRightsMap(const std::vector<StartPath>& queue, uint32_t connHandle, const std::string& user,
    const WalkChoices& choices, bool explain, EffectiveProgress* progress)
{
    // Every start path first, so that a name no tree knows is refused before any walk.
    struct Start {
        ResolvedEntry entry;
        uint32_t code = 0;
        const EquivalenceSet* set = nullptr;
    };
    std::vector<Start> starts(queue.size());
    for (size_t i = 0; i < queue.size(); ++i)
        starts[i].code = ResolveEntry(queue[i].path, connHandle, starts[i].entry);

    RightsMapReport report;
    TreeReaders readers;
    std::map<std::string, EquivalenceSet> sets; // by folded tree name
    const auto setFor = [&](uint32_t conn, const std::string& treeName) -> const EquivalenceSet& {
        auto it = sets.find(FoldName(treeName));
        if (it != sets.end())
            return it->second;
        DirectoryObjects& objects = readers.forTree(conn, treeName);
        std::string typedName;
        uint32_t code = objects.resolveName(user, typedName);
        if (code == nw::noSuchEntry)
            throw UnknownObjectError(user, treeName);
        EquivalenceSet set;
        if (code == 0)
            code = objects.equivalenceSet(typedName, set);
        if (code != 0)
            throw std::runtime_error("the tree " + treeName + " cannot be read: " + NWErrorText(code));
        if (report.user.empty())
            report.user = DisplayName(typedName);
        return sets.emplace(FoldName(treeName), std::move(set)).first->second;
    };
    bool anyReadable = false;
    for (Start& start : starts)
        if (start.code == 0) {
            start.set = &setFor(start.entry.connHandle, start.entry.treeName);
            anyReadable = true;
        }
    if (!anyReadable) {
        std::string treeName;
        if (GetConnTreeName(connHandle, treeName) == 0)
            setFor(connHandle, treeName);
    }

    for (size_t i = 0; i < starts.size(); ++i) {
        if (starts[i].code != 0) {
            RightsMapRow row;
            row.path = queue[i].path;
            row.code = starts[i].code;
            report.rows.push_back(std::move(row));
            continue;
        }
        WalkChoices walk = choices;
        walk.recurse = queue[i].recurse;
        report.entriesExamined += MapRights(starts[i].entry, *starts[i].set, walk, explain, progress, report.rows);
    }
    return report;
}

std::vector<std::string> TreeUserNames(uint32_t connHandle)
{
    std::vector<std::string> names;
    std::string treeName;
    if (GetConnTreeName(connHandle, treeName) != 0)
        return names;
    DirectoryObjects objects(connHandle, treeName);
    const std::vector<DSObjectItem>* users = nullptr;
    if (objects.users(users) == 0)
        for (const DSObjectItem& user : *users)
            names.push_back(DisplayName(user.name));
    return names;
}

std::vector<std::pair<std::string, uint32_t>> UnreadablePaths(const AccessReport& report)
{
    std::vector<std::pair<std::string, uint32_t>> out;
    for (const AccessEntry& entry : report.entries)
        if (entry.code != 0)
            out.emplace_back(entry.path, entry.code);
    return out;
}

std::vector<std::pair<std::string, uint32_t>> UnreadablePaths(const RightsMapReport& report)
{
    std::vector<std::pair<std::string, uint32_t>> out;
    for (const RightsMapRow& row : report.rows)
        if (row.code != 0)
            out.emplace_back(row.path, row.code);
    return out;
}

} // namespace effective
