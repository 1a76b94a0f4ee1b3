#include "effective/EffectiveRules.h"

#include "netware/D_NW.h"

namespace effective {

std::string BracketRights(uint16_t rights)
{
    std::string text;
    RightsToStr(LetteredRights(rights), 0, "", text, "[%s]");
    return text;
}

std::string RightsLetters(uint16_t rights)
{
    const std::string bracketed = BracketRights(rights);
    return bracketed.substr(1, bracketed.size() - 2);
}

std::string_view RelationWords(Relation relation) noexcept
{
    switch (relation) {
    case Relation::Self:
        return "self";
    case Relation::MemberOf:
        return "member of";
    case Relation::SecurityEqualTo:
        return "security equal to";
    case Relation::Container:
        return "container";
    case Relation::EveryAuthenticated:
        return "every authenticated object";
    case Relation::Everyone:
        return "everyone";
    }
    return "";
}

bool AssignedRights(const ChainLevel& level, uint32_t id, uint16_t& rights) noexcept
{
    bool present = false;
    uint16_t all = 0;
    for (const Assignment& assignment : level.assignments)
        if (assignment.id == id) {
            present = true;
            all |= assignment.rights;
        }
    rights = LetteredRights(all);
    return present;
}

RightsTrace TraceRights(const std::vector<ChainLevel>& levels, size_t count, uint32_t id)
{
    RightsTrace trace;
    for (size_t i = 0; i < count && i < levels.size(); ++i) {
        uint16_t assigned = 0;
        if (AssignedRights(levels[i], id, assigned)) {
            trace.rights = assigned;
            trace.sourceLevel = static_cast<int>(i);
            trace.sourceRights = assigned;
            trace.removals.clear();
        } else if (i > 0) {
            // The volume root has no parent: its mask takes nothing away.
            const uint16_t passed = InheritedRights(trace.rights, levels[i].irm);
            if (const uint16_t removed = static_cast<uint16_t>(trace.rights & ~passed))
                trace.removals.push_back({ static_cast<int>(i), removed });
            trace.rights = passed;
        }
    }
    return trace;
}

ExplanationItem Explain(
    Relation relation, const std::string& name, const RightsTrace& trace, const std::vector<std::string>& longPaths)
{
    ExplanationItem item;
    item.relation = relation;
    item.name = name;
    item.rights = trace.rights;
    item.sourceRights = trace.sourceRights;
    const auto pathOf = [&](int level) {
        return level >= 0 && static_cast<size_t>(level) < longPaths.size() ? longPaths[static_cast<size_t>(level)]
                                                                           : std::string();
    };
    item.sourcePath = pathOf(trace.sourceLevel);
    for (const RightsTrace::Removal& removal : trace.removals)
        item.removals.push_back({ pathOf(removal.level), removal.removed });
    return item;
}

} // namespace effective
