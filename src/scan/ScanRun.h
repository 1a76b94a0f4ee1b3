#pragma once

#include "scan/ReportList.h"
#include "scan/ScanControls.h"
#include "scan/ScanSession.h"

#include <cstdint>
#include <array>
#include <optional>
#include <string>
#include <vector>

/// One start path of the work queue: the folder's path as queued and its check mark
/// (recursion into subdirectories).
struct QueueEntry {
    std::string path;
    bool recurse = true;
};

/// A start path the scan could not read: it did not resolve, or its start directory
/// could not be searched. Its report block holds only its settings lines.
struct UnreadableStartPath {
    std::string path;  ///< the queue entry as queued
    uint32_t code = 0; ///< the completion code that failed
};

/// What a scan run leaves besides its report lines.
struct ScanResult {
    std::vector<UnreadableStartPath> unreadable;
    uint64_t entriesExamined = 0;
};

/// The walk's scope flag for an index of the scope choice: "&Directories" (0) gives 1,
/// "&Files" (1) gives 0, "&Both" (2) gives 2; nullopt for any other index (no scan runs).
std::optional<uint8_t> ScopeFlagForIndex(int scopeIndex) noexcept;

/// The value of a choice for its settings line: the item's caption for index 0 or 1,
/// for index 2 the captions of items 0 and 1 joined by " and ", every "&" removed; ""
/// for no selection.
std::string ChoiceValue(int index, const std::array<std::string_view, 3>& items);

/// Runs one scan over the queue and appends its report lines to results (which the
/// caller has emptied): for every entry in order, the settings block (Base, Subdirs,
/// Filter, Info, Scope, separator), the context pointed at the connection's tree, the
/// walk with the per-entry report, and two separators. The choices are read from
/// controls when they are used, so a change during the scan applies from then on.
///
/// Errors raised while one entry is scanned end that entry's report silently and the
/// scan goes on with the next; OperationCancelled ends the whole scan (it propagates).
/// Start paths that did not resolve or whose start directory could not be searched are
/// listed in the result, in queue order.
ScanResult RunScan(ScanSession& session, const std::vector<QueueEntry>& queue, uint8_t scopeFlag,
    ScanControls& controls, ReportList& results);
