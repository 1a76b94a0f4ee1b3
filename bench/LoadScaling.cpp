#include "LoadScaling.h"

#include "BenchTable.h"

#include "platform/netware/NetworkLoader.h"
#include "settings/SavedScanSettings.h"
#include "util/D_Util.h"

#include <QDir>

#include <functional>
#include <stdexcept>
#include <unistd.h>

namespace bench {

namespace {

// One figure: the median seconds of load(size) and of load(2 * size), and their ratio.
void measurePair(const std::string& figure, size_t size, int runs, const std::function<void(size_t)>& load)
{
    Summary at[2];
    for (int k = 0; k < 2; ++k) {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            const auto start = Clock::now();
            load(size << k);
            times.push_back(SecondsSince(start));
        }
        at[k] = Summarize(times);
    }
    const double ratio = at[0].median > 0 ? at[1].median / at[0].median : 0;
    PrintRow("scale", Format("%s, %zu", figure.c_str(), size), at[0], "s", "");
    PrintRow("scale", Format("%s, %zu", figure.c_str(), size * 2), at[1], "s",
        Format("%.2fx for 2x; ", ratio) + Verdict(ratio <= 3.0, "linear, <= 3x"));
}

void writeText(const std::string& path, const std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(text.data(), 1, text.size(), file) != text.size())
        throw std::runtime_error("cannot write " + path);
    std::fclose(file);
}

void loadOrThrow(const std::string& file)
{
    const auto library = LoadNetwork(file);
    if (!library->loaded())
        throw std::runtime_error(library->loadError());
}

} // namespace

void MeasureLoadScaling(int runs, const std::string& outDir)
{
    QDir().mkpath(QString::fromStdString(outDir));
    const std::string file = outDir + "/scaling.json";

    measurePair("load: generated files in one folder", 100000, runs, [&](size_t n) {
        static size_t written = 0;
        if (written != n) {
            writeText(file,
                Format(R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ], "servers": [ { "name": "FS1",
                "tree": "T", "volumes": [ { "name": "V", "generate": { "directories": 0, "files": %zu } } ] } ] })",
                    n));
            written = n;
        }
        loadOrThrow(file);
    });

    measurePair("load: trees and volumes", 20000, runs, [&](size_t n) {
        static size_t written = 0;
        if (written != n) {
            std::string trees, volumes;
            for (size_t i = 0; i < n; ++i) {
                trees += Format(R"(%s{ "name": "T%06zu" })", i ? ", " : "", i);
                volumes += Format(R"(%s{ "name": "V%06zu" })", i ? ", " : "", i);
            }
            writeText(file,
                R"({ "grantwise-network": 1, "trees": [ )" + trees
                    + R"( ], "servers": [ { "name": "FS1", "tree": "T000000", "volumes": [ )" + volumes + " ] } ] }");
            written = n;
        }
        loadOrThrow(file);
    });

    const std::string ini = outDir + "/scaling.ini";
    measurePair("settings: sections of a queue", 100000, runs, [&](size_t n) {
        static size_t written = 0;
        if (written != n) {
            std::string text;
            for (size_t i = 0; i < n; ++i)
                text += Format("[CheckListBoxQ]\r\n0=\\\\FS1\\VOL1\\D%06zu\r\n", i);
            writeText(ini, text);
            written = n;
        }
        SavedScanSettings saved;
        std::string error;
        if (!ReadSavedScanSettings(ini, saved, error) || saved.queue.size() != n)
            throw std::runtime_error("cannot read " + ini + ": " + error);
    });
    ::unlink(file.c_str());
    ::unlink(ini.c_str());
}

} // namespace bench
