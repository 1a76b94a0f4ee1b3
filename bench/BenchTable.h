#pragma once

// The benchmark's measurements and its one output table. Every figure is measured
// several times and printed as median, min and max, so runs on a busy machine can still
// be compared; the column layout never changes.

#include <chrono>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

/// Seconds since start.
double SecondsSince(Clock::time_point start);

/// Median, min and max of a set of measurements.
struct Summary {
    double median = 0;
    double min = 0;
    double max = 0;
};
Summary Summarize(std::vector<double> values);

/// Prints the table heading (once, before the first row).
void PrintHeading(int cpus);

/// One row: size label, figure, summary (or a single value when min == max == median),
/// unit and a note (budget, ratio, floor). Numbers are printed with `decimals` places.
void PrintRow(const std::string& size, const std::string& figure, const Summary& value, const std::string& unit,
    const std::string& note, int decimals = 3);

/// A row without numbers (a figure that could not be measured, and why).
void PrintMissing(const std::string& size, const std::string& figure, const std::string& why);

/// "met" or "MISSED" for a budget test, with the budget written after it.
std::string Verdict(bool met, const std::string& budget);

} // namespace bench
