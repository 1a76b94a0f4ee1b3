#include "effective/AccessQuery.h"

#include "services/PendingMessages.h"
#include "util/D_Util.h"

#include <algorithm>
#include <set>
#include <unordered_map>

namespace effective {

uint32_t WhoHasAccess(
    DirectoryObjects& objects, const ResolvedEntry& entry, std::vector<AccessRow>& rows, EffectiveProgress* progress)
{
    rows.clear();
    // r(O, E) of every trustee on the way down; everyone else has nothing here.
    std::set<uint32_t> trustees;
    for (const ChainLevel& level : entry.levels)
        for (const Assignment& assignment : level.assignments)
            trustees.insert(assignment.id);
    std::unordered_map<uint32_t, RightsTrace> reaching;
    for (uint32_t id : trustees) {
        RightsTrace trace = TraceRights(entry.levels, entry.levels.size(), id);
        if (trace.rights != 0)
            reaching.emplace(id, std::move(trace));
    }
    if (reaching.empty())
        return 0;

    const std::vector<DSObjectItem>* users = nullptr;
    if (const uint32_t code = objects.users(users))
        return code;
    EquivalenceSet set;
    for (size_t u = 0; u < users->size(); ++u) {
        if ((u + 1) % 256 == 0) {
            ProcessPendingMessages();
            if (progress && progress->cancelRequested())
                throw OperationCancelled {};
        }
        if (const uint32_t code = objects.equivalenceSet((*users)[u].name, set))
            return code;
        AccessRow row;
        uint16_t all = 0;
        for (const EquivalentObject& member : set) {
            if (!member.id)
                continue;
            const auto it = reaching.find(*member.id);
            if (it == reaching.end())
                continue;
            all |= it->second.rights;
            row.explanation.push_back(Explain(member.relation, member.displayName, it->second, entry.longPaths));
        }
        if (all == 0)
            continue;
        row.name = DisplayName((*users)[u].name);
        row.rights = EffectiveRights(all);
        rows.push_back(std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(),
        [](const AccessRow& a, const AccessRow& b) { return CompareTextFoldedAscii(a.name, b.name) < 0; });

    for (uint32_t id : trustees) { // ascending
        const auto it = reaching.find(id);
        if (it == reaching.end())
            continue;
        bool exists = true;
        if (const uint32_t code = objects.hasObject(id, exists))
            return code;
        if (exists)
            continue;
        AccessRow row;
        AppendUnresolvedTrusteeName(id, row.name);
        row.rights = EffectiveRights(it->second.rights);
        row.orphaned = true;
        row.explanation.push_back(Explain(Relation::Self, row.name, it->second, entry.longPaths));
        rows.push_back(std::move(row));
    }
    return 0;
}

} // namespace effective
