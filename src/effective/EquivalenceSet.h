#pragma once

// The security-equivalence set of an object: itself, the groups it is a member of, the
// objects it is security equal to, the containers above it (nearest first), [Root] and
// [Public], each once, at its first place. Equivalence is not transitive: the lists of
// a group or an equivalent object add nothing, so no list is ever followed further and
// cycles in member-of or security-equals cannot make the set grow or a build loop.
//
// Names here are full typed names from [Root] without a leading dot, as a context with
// the name context [Root] and typed names gives them ('CN=Alice.OU=Sales.O=Corp',
// '[Public]').

#include "effective/EffectiveRules.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace effective {

/// One member of an equivalence set.
struct EquivalentObject {
    std::string typedName;
    std::string displayName; ///< as trustee lines give it ('.Alice.Sales.Corp', '[Public]')
    Relation relation = Relation::Self;
    std::optional<uint32_t> id; ///< none: no object has this name (a container need not be one)
};

using EquivalenceSet = std::vector<EquivalentObject>;

/// The typeless form of a typed name ('CN=Alice.OU=Sales.O=Corp' gives 'Alice.Sales.Corp');
/// special names and typeless parts stay as they are.
std::string TypelessName(std::string_view typedName);

/// The display name of a typed name, as trustee lines write names: typeless with a
/// leading "." ('.Alice.Sales.Corp'); special names unchanged.
std::string DisplayName(std::string_view typedName);

/// True for a name whose leftmost part is typed O= or OU= (ASCII case ignored).
bool IsContainerName(std::string_view typedName) noexcept;

/// The containers above an object in its typed name, nearest first: every suffix after
/// the leftmost part ('OU=Sales.O=Corp', 'O=Corp'); none for a special name.
std::vector<std::string> ContainersAbove(std::string_view typedName);

/// The set of an object from its typed name and its lists, in the set's order, each name
/// once (names compared as the server compares them); IDs are left for the caller.
EquivalenceSet BuildEquivalenceSet(const std::string& typedName, const std::vector<std::string>& memberOf,
    const std::vector<std::string>& securityEquals);

} // namespace effective
