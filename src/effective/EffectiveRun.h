#pragma once

// The two effective-rights questions over a queue of start paths, as the command line
// and the window ask them: "who has access" at each start path, and the rights map of
// one object under the start paths. Start paths are read as a scan reads them (any form
// the path splitter accepts, long or short names); the paths of the answers always have
// long names.

#include "effective/AccessQuery.h"
#include "effective/RightsMap.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace effective {

/// One start path: as queued, and whether the walk goes into subdirectories.
struct StartPath {
    std::string path;
    bool recurse = true;
};

/// The answer of "who has access" at one start path.
struct AccessEntry {
    std::string path; ///< network path with long names (as queued when it could not be read)
    uint32_t code = 0; ///< non-zero: the start path could not be read (this code failed)
    std::vector<AccessRow> rows;
};

struct AccessReport {
    std::vector<AccessEntry> entries; ///< one per start path, in queue order
};

/// "Who has access" at every start path (a directory or a file; nothing below it is
/// walked). connHandle serves paths in the 'VOLUME:dir' form. Returns the entries; a
/// start path that cannot be read, or whose tree cannot be read, has its code. Throws
/// OperationCancelled when progress asks to stop.
AccessReport RunWhoHasAccess(
    const std::vector<StartPath>& queue, uint32_t connHandle, EffectiveProgress* progress = nullptr);

/// The name --user gave is no object of a tree the query reads.
class UnknownObjectError : public std::runtime_error {
public:
    UnknownObjectError(const std::string& name, const std::string& treeName);
};

struct RightsMapReport {
    std::string user; ///< the object's display name ('.Alice.Sales.Corp')
    std::vector<RightsMapRow> rows; ///< every start path's rows, in queue order
    uint64_t entriesExamined = 0;
};

/// The rights map of the object `user` names (any object: a user, a group, a container
/// by its typed name, a special name; typeless or typed, with or without the leading
/// dot) under every start path, walked with the scan's scope and pattern. A start path
/// that cannot be read becomes a row with its code. Throws UnknownObjectError when the
/// tree of a start path that can be read (or, when none can, the tree of connHandle)
/// has no such object; OperationCancelled when progress asks to stop.
RightsMapReport RunRightsMap(const std::vector<StartPath>& queue, uint32_t connHandle, const std::string& user,
    const WalkChoices& choices, bool explain, EffectiveProgress* progress = nullptr);

/// The display names of the users of the tree of a connection, in the tree's order, for
/// completing a name; empty when the tree cannot be read.
std::vector<std::string> TreeUserNames(uint32_t connHandle);

/// The start paths and entries of a report that could not be read, as (path, code).
std::vector<std::pair<std::string, uint32_t>> UnreadablePaths(const AccessReport& report);
std::vector<std::pair<std::string, uint32_t>> UnreadablePaths(const RightsMapReport& report);

} // namespace effective
