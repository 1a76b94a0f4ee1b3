#pragma once

#include "scan/ReportList.h"

/// Rewrites every path line (kind 15) of the by-path results into the network form with
/// long names: PathToUNC, then the long form of ConvertPathName. A line the path
/// splitter rejects keeps its text exactly (the long form alone would still rewrite
/// 'FS1\VOL1:R&D' as 'FS1\VOL1:\R&D'); components the shell does not know stay as
/// they are. Only kind-15 lines change; the count, order and codes of the lines stay.
/// Pending messages are let through after every path line. Returns the number of path
/// lines the splitter accepted and that were rewritten.
size_t GetLongNames(ReportList& results);
