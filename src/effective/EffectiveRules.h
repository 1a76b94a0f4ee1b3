#pragma once

// The rules of effective rights, on plain data: how an object's rights flow down from the
// volume root to an entry (an assignment replaces what is inherited; an inherited rights
// mask filters what is inherited, never S), how the rights of an object's equivalents add
// up, and where each right an object holds at an entry came from.
//
// Rights are file-system rights masks: R 0x01, W 0x02, C 0x08, E 0x10, A 0x20, F 0x40,
// M 0x80, S 0x100. Only these eight bits count; every function here drops the others.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace effective {

constexpr uint16_t allRights = 0x1FB; ///< the eight lettered rights
constexpr uint16_t supervisor = 0x100; ///< S

/// The lettered bits of a mask (0x04 and the bits above S dropped).
constexpr uint16_t LetteredRights(uint32_t mask) noexcept
{
    return static_cast<uint16_t>(mask & allRights);
}

/// r(O, E) below a parent where O has no assignment: what the mask lets through of the
/// parent's rights, and S whatever the mask says. An IRM is a byte, so it cannot hold S.
constexpr uint16_t InheritedRights(uint16_t parentRights, uint8_t irm) noexcept
{
    return static_cast<uint16_t>((parentRights & irm & allRights) | (parentRights & supervisor));
}

/// The effective rights of a union of rights: all eight when it holds S.
constexpr uint16_t EffectiveRights(uint16_t unionRights) noexcept
{
    return (unionRights & supervisor) ? allRights : LetteredRights(unionRights);
}

/// Rights written as trustee rights are: the letters held, in order, in brackets
/// ("[RWCEAFMS]", "[]" for none).
std::string BracketRights(uint16_t rights);
/// The letters held without brackets ("RWCEAFMS", "" for none), as the CSV forms write them.
std::string RightsLetters(uint16_t rights);

/// Why an object is in an equivalence set, in the order the set lists them.
enum class Relation : uint8_t { Self, MemberOf, SecurityEqualTo, Container, EveryAuthenticated, Everyone };

/// The relation in words: "self", "member of", "security equal to", "container",
/// "every authenticated object", "everyone".
std::string_view RelationWords(Relation relation) noexcept;

/// One trustee assignment of an entry: an object ID and its rights mask as the server
/// delivers it.
struct Assignment {
    uint32_t id = 0;
    uint16_t rights = 0;
};

/// One entry on the way from the volume root down to an entry: its inherited rights mask
/// (for a file its rights-mask byte) and its trustee assignments, in server order.
struct ChainLevel {
    uint8_t irm = 0xFF;
    std::vector<Assignment> assignments;
};

/// Whether an object is a trustee of a level, and with which rights: the union of the
/// masks of every assignment it has there (an object listed twice holds both), lettered.
bool AssignedRights(const ChainLevel& level, uint32_t id, uint16_t& rights) noexcept;

/// Where the rights an object holds at the last level of a chain come from.
struct RightsTrace {
    uint16_t rights = 0; ///< r(O, E): lettered, S not expanded
    int sourceLevel = -1; ///< the nearest level at or above E with an assignment; -1: none
    uint16_t sourceRights = 0; ///< the rights assigned there
    struct Removal {
        int level; ///< a level below the source whose mask took rights away
        uint16_t removed; ///< the rights it took away
    };
    std::vector<Removal> removals; ///< from the source down
};

/// r(O, E) for the object `id` at level count - 1 of `levels` (the volume root first),
/// and where it comes from. count 0 gives nothing.
RightsTrace TraceRights(const std::vector<ChainLevel>& levels, size_t count, uint32_t id);

/// One line of an explanation: an object of the set with non-empty r(O, E), how it is
/// related, where the assignment that reaches E was made and with which rights, and
/// every mask on the way that took rights away.
struct ExplanationItem {
    Relation relation = Relation::Self;
    std::string name; ///< the object's display name
    uint16_t rights = 0; ///< r(O, E)
    std::string sourcePath; ///< the entry whose assignment reaches E (long names)
    uint16_t sourceRights = 0; ///< the rights assigned there
    struct Removal {
        std::string path; ///< the entry whose mask took rights away
        uint16_t removed = 0;
    };
    std::vector<Removal> removals;
};

/// The explanation line of a trace, with the paths of the levels (longPaths[i] for
/// level i) put in.
ExplanationItem Explain(
    Relation relation, const std::string& name, const RightsTrace& trace, const std::vector<std::string>& longPaths);

} // namespace effective
