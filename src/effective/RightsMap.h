#pragma once

// The rights map of one object: its effective rights over a start entry and what the
// scan's walk visits below it, listing the start entry and every entry where the rights
// differ from those of its parent. One walk serves the whole map: the object's rights
// along the way are carried down level by level, so no entry is read twice.

#include "effective/EffectiveProgress.h"
#include "effective/EntryChain.h"
#include "effective/EquivalenceSet.h"

#include <cstdint>
#include <string>
#include <vector>

namespace effective {

/// One listed entry of a rights map.
struct RightsMapRow {
    std::string path; ///< network path with long names
    uint16_t rights = 0; ///< effective rights (all eight when they hold S)
    /// Non-zero: the entry could not be read (this code failed); nothing below it is
    /// listed, since no right there can be known.
    uint32_t code = 0;
    std::vector<ExplanationItem> explanation; ///< filled when asked for
};

/// What the walk visits, as for a scan.
struct WalkChoices {
    uint8_t scopeFlag = 1; ///< the walk's scope: 0 files, 1 directories, 2 both
    std::string pattern = "*.*"; ///< filters files
    bool recurse = true;
};

/// Appends the rights map of the object whose equivalence set is `set` under `start` to
/// rows: the start entry first (always), then, in the walk's order, every entry the
/// choices report whose effective rights differ from its parent's (a file is compared
/// with its directory; with scope files the directories are walked but not listed).
/// Entries that cannot be read become rows with their code. Returns the number of
/// entries examined. Throws OperationCancelled when progress asks to stop.
uint64_t MapRights(const ResolvedEntry& start, const EquivalenceSet& set, const WalkChoices& choices, bool explain,
    EffectiveProgress* progress, std::vector<RightsMapRow>& rows);

} // namespace effective
