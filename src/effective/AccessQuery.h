#pragma once

// "Who has access here": for one entry, every user of the tree with non-empty effective
// rights there, each with the explanation of where its rights come from, then every ID
// no object has (a deleted object) whose assignment reaches the entry.

#include "effective/DirectoryObjects.h"
#include "effective/EffectiveProgress.h"
#include "effective/EntryChain.h"

#include <cstdint>
#include <string>
#include <vector>

namespace effective {

/// One row of "who has access": a user, or an orphaned ID.
struct AccessRow {
    std::string name; ///< the user's display name, or 'ID: [%08X]' for an orphaned ID
    uint16_t rights = 0; ///< effective rights (all eight when they hold S)
    bool orphaned = false;
    std::vector<ExplanationItem> explanation; ///< the set's objects with non-empty r(O, E)
};

/// The rows for the entry: users by display name (ASCII letters folded to lower case,
/// then byte order, as the list by trustee sorts), then orphaned IDs in ascending order.
/// Only the trustees on the way from the volume root to the entry can give anyone a
/// right there, so each user's equivalence set is only matched against those. Pending
/// messages are let through, and progress asked whether to stop (OperationCancelled),
/// every few hundred users. Returns 0, or the code of a directory-services read that
/// failed (rows then incomplete).
uint32_t WhoHasAccess(DirectoryObjects& objects, const ResolvedEntry& entry, std::vector<AccessRow>& rows,
    EffectiveProgress* progress = nullptr);

} // namespace effective
