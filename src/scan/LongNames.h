#pragma once

#include "scan/ReportList.h"

/// Rewrites every path line (kind 15) of the by-path results into the network form with
/// long names: PathToUNC, then the long form of ConvertPathName. A line the path
/// splitter rejects keeps its text; components the shell does not know stay as they are.
/// Only kind-15 lines change; the count, order and codes of the lines stay. Pending
/// messages are let through after every converted line. Returns the number of lines
/// converted.
size_t GetLongNames(ReportList& results);
