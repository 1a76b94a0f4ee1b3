#pragma once

#include "cli/ReportOptions.h"

#include <iosfwd>

/// Runs grantwise-report with parsed options: starts the client as the window's start-up
/// does (initialise, context, flag 4, the connection chosen as the first connection
/// click would choose it), queues the settings file's entries and the start paths,
/// runs the scan, optionally the long names, and writes one save form to the output
/// file (replaced only once complete) or to out.
///
/// Returns the exit status: 0 when the report was written and every start path was
/// read; 1 when it was written but start paths could not be read (each named on err);
/// 2 for an unusable network description or settings file, a client start-up failure,
/// an unknown connection, or an output file that cannot be written (nothing is then
/// created or changed). Every message on err begins with "grantwise-report: ".
int RunReport(const ReportOptions& options, std::ostream& out, std::ostream& err);
