#include "effective/EquivalenceSet.h"

#include "netware/D_NW.h"
#include "util/CaseFold.h"
#include "util/D_Util.h"

#include <unordered_set>

namespace effective {

namespace {

bool isSpecial(std::string_view name) noexcept
{
    return !name.empty() && name.front() == '[';
}

} // namespace

std::string TypelessName(std::string_view typedName)
{
    if (isSpecial(typedName))
        return std::string(typedName);
    std::string out;
    size_t pos = 0;
    while (pos <= typedName.size()) {
        size_t end = typedName.find('.', pos);
        if (end == std::string_view::npos)
            end = typedName.size();
        std::string_view part = typedName.substr(pos, end - pos);
        if (const size_t eq = part.find('='); eq != std::string_view::npos)
            part.remove_prefix(eq + 1);
        if (pos > 0)
            out += '.';
        out += part;
        pos = end + 1;
    }
    return out;
}

std::string DisplayName(std::string_view typedName)
{
    return FormatDSName(TypelessName(typedName));
}

bool IsContainerName(std::string_view typedName) noexcept
{
    const size_t eq = typedName.find('=');
    const size_t dot = typedName.find('.');
    if (eq == std::string_view::npos || (dot != std::string_view::npos && dot < eq))
        return false;
    const std::string_view type = typedName.substr(0, eq);
    return SameText(type, "O") || SameText(type, "OU");
}

std::vector<std::string> ContainersAbove(std::string_view typedName)
{
    std::vector<std::string> out;
    if (isSpecial(typedName))
        return out;
    for (size_t dot = typedName.find('.'); dot != std::string_view::npos; dot = typedName.find('.', dot + 1))
        if (dot + 1 < typedName.size())
            out.emplace_back(typedName.substr(dot + 1));
    return out;
}

EquivalenceSet BuildEquivalenceSet(const std::string& typedName, const std::vector<std::string>& memberOf,
    const std::vector<std::string>& securityEquals)
{
    EquivalenceSet set;
    std::unordered_set<std::string> seen;
    const auto add = [&](const std::string& name, Relation relation) {
        if (seen.insert(FoldName(name)).second)
            set.push_back({ name, DisplayName(name), relation, std::nullopt });
    };
    add(typedName, Relation::Self);
    for (const std::string& name : memberOf)
        add(name, Relation::MemberOf);
    for (const std::string& name : securityEquals)
        add(name, Relation::SecurityEqualTo);
    for (const std::string& name : ContainersAbove(typedName))
        add(name, Relation::Container);
    add("[Root]", Relation::EveryAuthenticated);
    add("[Public]", Relation::Everyone);
    return set;
}

} // namespace effective
