#pragma once

// The window's figures: the scan in the main window on the offscreen platform (its time
// against the headless scan) and the longest time the event loop went without
// processing events during a scan, a by-trustee build, long names and a save.

#include "platform/netware/SimulatedNetWare.h"

#include <string>

namespace bench {

/// Measures and prints the window rows for a window over the library. headlessScanSeconds
/// is the headless scan's median (0: not measured, no ratio).
void MeasureWindow(SimulatedNetWare& library, const std::string& size, int runs, double headlessScanSeconds,
    const std::string& outDir);

} // namespace bench
