#pragma once

// The stress check of one directory of 200,000 files whose long names all need a
// generated DOS name. It belongs here rather than in the tests: it takes seconds, and it
// is about scale. What it checks still fails the run.

namespace bench {

/// Loads a description whose one directory holds "Report 000001" .. "Report 200000" (each
/// needing its own number after the "~"), scans that directory for files, and prints the
/// load and the scan as rows. Checks, and throws std::runtime_error naming the first that
/// fails: every alias valid and unique, the first REPORT~1 and the last R~200000; the
/// files scan examines every file once and finds no trustee; the directories scan finds
/// the directory's own trustee; a pattern matching the last alias examines one file.
/// runs: how often the load and the files scan are timed (0: 3).
void MeasureLargeDirectory(int runs);

} // namespace bench
