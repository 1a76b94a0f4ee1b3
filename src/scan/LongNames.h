#pragma once

#include "scan/ReportList.h"

/// Rewrites every path line (kind 15) of the by-path results into the network form with
/// long names: PathToUNC of its text, then the long form of ConvertPathName. The long
/// form is kept once per path node (PathTable::setLongForm) and the line shows it from
/// then on (ReportList::showLongForm); the lines of a node after the first take the
/// node's answer. A line the path splitter rejects keeps its text exactly (the long
/// form alone would still rewrite 'FS1\VOL1:R&D' as 'FS1\VOL1:\R&D'); components the
/// shell does not know stay as they are. Only kind-15 lines change; the count, order and
/// codes of the lines stay. A line that shows a long form already is left as it is (the
/// window offers the command once per scan). Pending messages are let through after
/// every path line, with the count of lines gone through. Returns the number of path lines that were rewritten.
size_t GetLongNames(ReportList& results);
