#pragma once

#include <string>

namespace bench {

/// The loads that must take time in proportion to their input: each is measured at a
/// size and at twice that size, and the ratio of the medians is printed with the verdict
/// "linear" (at most 3 times the time for twice the input; a quadratic load gives 4):
/// a generated folder of many files (DOS names), a description of many trees and
/// volumes, a settings file of many sections. Temporary files go to outDir.
void MeasureLoadScaling(int runs, const std::string& outDir);

} // namespace bench
