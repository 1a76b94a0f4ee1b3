#pragma once

#include "scan/ReportList.h"
#include "scan/ScanControls.h"
#include "scan/ScanSession.h"
#include "services/Services.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

/// One start path of the work queue: the folder's path as queued and its check mark
/// (recursion into subdirectories).
struct QueueEntry {
    std::string path;
    bool recurse = true;
};

/// A start path the scan could not read: it did not resolve, its start directory's
/// information could not be read (in every scope, with or without recursion), or a file
/// search could not start in it where the scan searches (scope files or both, or
/// recursion). Its report block holds what the walk could still read, often only its
/// settings lines.
struct UnreadableStartPath {
    std::string path; ///< the queue entry as queued
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

/// Runs one scan over the queue with the services it is handed (current while it runs:
/// the walk, the per-entry report and their pending-messages calls use them) and appends
/// its report lines to results (which the caller has emptied): for every entry in order,
/// the settings block (Base, Subdirs, Filter, Info, Scope, separator), the context
/// pointed at the connection's tree, the walk with the per-entry report, and two
/// separators. The choices are read from controls when they are used (the window keeps
/// them from changing during a scan).
///
/// Errors raised while one entry is scanned (std::logic_error and std::runtime_error, such
/// as TrusteeBlockRangeError) end that entry's report silently and the scan goes on with
/// the next; OperationCancelled and std::bad_alloc end the whole scan (they propagate).
/// Start paths that could not be read (UnreadableStartPath) are listed in the result,
/// in queue order, each with the first code that failed.
ScanResult RunScan(Services& services, ScanSession& session, const std::vector<QueueEntry>& queue, uint8_t scopeFlag,
    ScanControls& controls, ReportList& results);
