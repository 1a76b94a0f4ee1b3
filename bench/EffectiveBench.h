#pragma once

// The figures of effective rights: the rights map of one user over a whole volume,
// against the headless scan of the same tree, and "who has access" at one path of a
// tree of 10,000 users.

#include <string>

class SimulatedNetWare;
struct ScanSession;
struct Services;

namespace bench {

/// Starts the client of `services` (a fresh context) and opens the first connection as the
/// command line does; the session is ready for a scan or an effective-rights query.
void StartSession(Services& services, ScanSession& session);

/// The rights map of a generated user over the first volume of library's network
/// (scope both, recursive, every file), with and without the explanations of the text
/// form; budget (for size "1m"): at most 1.5 times scanSeconds, the median of the
/// headless scan (Both/Both/IRM, recursive) of the same tree.
void MeasureRightsMap(SimulatedNetWare& library, const std::string& size, int runs, double scanSeconds);

/// "Who has access" at a directory four levels down in a generated tree of 10,000 users
/// and 60 groups (a description written to outDir and loaded here).
void MeasureWhoHasAccess(int runs, const std::string& outDir);

} // namespace bench
