#pragma once

// The entry a network path names, read from the volume root down through the client
// library: for every level its path in the library's form, its network path with long
// names, its inherited rights mask (a file: its rights-mask byte) and its trustee
// assignments. This is what the rights of any object at that entry depend on.

#include "effective/EffectiveRules.h"

#include <cstdint>
#include <string>
#include <vector>

namespace effective {

struct ResolvedEntry {
    uint32_t connHandle = 0; ///< the connection to the path's server
    std::string server; ///< as the server is declared
    std::string volume;
    std::string treeName; ///< the directory-services tree of the server
    std::vector<ChainLevel> levels; ///< the volume root first, the entry last
    std::vector<std::string> dosPaths; ///< per level: 'VOL1:', 'VOL1:FINANCE', 'VOL1:FINANCE\PAYROLL'
    std::vector<std::string> longPaths; ///< per level: '\\FS1\VOL1', '\\FS1\VOL1\Finance', ...
    bool isFile = false; ///< the entry is a file (every level above is a directory)
};

/// Reads the entry `path` names: any form the path splitter accepts
/// ('\\SERVER\VOLUME\dir\...', 'SERVER\VOLUME:dir', 'VOLUME:dir' on connHandle), each
/// component by its long or its DOS name. Returns 0, or the first code that failed (the
/// path does not split, a component does not exist, or the information, the trustees or
/// the file search of a level cannot be read); entry is then incomplete.
uint32_t ResolveEntry(const std::string& path, uint32_t connHandle, ResolvedEntry& entry);

/// The trustee assignments of an entry (its path in the library's form), appended.
/// Returns 0, or the code of the trustee scan that failed (a block the library reports
/// with more than 20 entries counts as 0x88FF, a failure of the requester).
uint32_t ReadAssignments(uint32_t connHandle, const std::string& dosPath, std::vector<Assignment>& assignments);

/// The long name of the entry a library path names, through the name-space call; the
/// code on failure.
uint32_t ReadLongName(uint32_t connHandle, const std::string& dosPath, std::string& longName);

} // namespace effective
