#pragma once

#include "effective/EffectiveRun.h"

#include <string>

// The four forms of effective rights, built in memory as the bytes of the file; the
// command line and the window write the same bytes.
//
// Text forms (UTF-8, CR LF after every line, no byte-order mark): one block per entry,
// separated by an empty line. A block starts with the entry's path; then, indented by
// five blanks, one line per object with its name and effective rights in brackets
// ('     .Alice.Sales.Corp [RWCEF]'), each followed, indented by ten, by its explanation:
// one line per object of its equivalence set with rights there, giving the relation,
// the object, its rights there, where the assignment that reaches the entry was made
// with which rights, and each mask on the way that took rights away:
//   '          member of .Staff.Sales.Corp [RF]: assigned [RWCEF] at \\FS1\VOL1\Sales;
//    the mask of \\FS1\VOL1\Sales\Archive removed [WCE]'
// An entry that could not be read holds one line '     cannot be read: ' and the
// error text of its code.
//
// CSV forms (CsvText): header 'path,user,rights', one row per object line of the text
// form (the user column holds the display name, 'ID: [%08X]' for an orphaned ID; the
// rights column the letters without brackets); entries that could not be read give no
// rows.

/// "access" (csv false) or "access-csv": who has access at every start path; users, then
/// orphaned IDs ('     ID: [0002B7E1] [RF] (orphaned ID)' in the text form).
std::string BuildAccessForm(const effective::AccessReport& report, bool csv);

/// "effective" (csv false) or "effective-csv": the rights map of one object, one block
/// (one row) per listed entry.
std::string BuildRightsMapForm(const effective::RightsMapReport& report, bool csv);

/// The explanation lines of one object line, without indent and line ends (the window
/// shows them as they stand).
std::vector<std::string> ExplanationLines(const std::vector<effective::ExplanationItem>& explanation);
