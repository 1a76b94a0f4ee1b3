#include "BenchTable.h"

#include <algorithm>
#include <cstdio>

namespace bench {

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

Summary Summarize(std::vector<double> values)
{
    Summary s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.min = values.front();
    s.max = values.back();
    return s;
}

void PrintHeading(int cpus)
{
    std::printf(
        "Grantwise benchmarks: median of the runs with min and max; %d CPU(s), shared, so expect noise.\n", cpus);
    std::printf("Ratios and budget verdicts use the medians.\n\n");
    std::printf("%-5s %-36s %13s %13s %13s  %-9s %s\n", "size", "figure", "median", "min", "max", "unit", "note");
    std::printf("%-5s %-36s %13s %13s %13s  %-9s %s\n", "-----", "------------------------------------",
        "-------------", "-------------", "-------------", "---------", "----");
    std::fflush(stdout);
}

void PrintRow(const std::string& size, const std::string& figure, const Summary& value, const std::string& unit,
    const std::string& note, int decimals)
{
    std::printf("%-5s %-36s %13.*f %13.*f %13.*f  %-9s %s\n", size.c_str(), figure.c_str(), decimals, value.median,
        decimals, value.min, decimals, value.max, unit.c_str(), note.c_str());
    std::fflush(stdout);
}

void PrintMissing(const std::string& size, const std::string& figure, const std::string& why)
{
    std::printf("%-5s %-36s %13s %13s %13s  %-9s %s\n", size.c_str(), figure.c_str(), "-", "-", "-", "-", why.c_str());
    std::fflush(stdout);
}

std::string Verdict(bool met, const std::string& budget)
{
    return std::string(met ? "met" : "MISSED") + " (budget " + budget + ")";
}

} // namespace bench
