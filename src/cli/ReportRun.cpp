#include "cli/ReportRun.h"

#include "export/AuditForms.h"
#include "export/AuditReport.h"
#include "export/EffectiveForms.h"
#include "export/ReportExport.h"
#include "export/ReportFile.h"
#include "netware/D_NW.h"
#include "platform/netware/NetworkLoader.h"
#include "scan/ClientSession.h"
#include "scan/LongNames.h"
#include "scan/ScanRun.h"
#include "scan/TrusteeList.h"
#include "services/ErrorBox.h"
#include "services/PendingMessages.h"
#include "settings/SavedScanSettings.h"
#include "util/CaseFold.h"
#include "util/D_Util.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <ostream>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The scan choices as plain values; the entries shown are counted and the last path kept
// for the progress line.
class ReportControls : public PlainScanControls {
public:
    bool keepStatus = false;
    std::string status;
    uint64_t entries = 0;
    void showStatus(std::string_view text) override
    {
        ++entries;
        if (keepStatus)
            status.assign(text);
    }
};

// A progress line on standard error, refreshed a few times a second.
class ProgressLine {
public:
    ProgressLine(std::ostream& err, const ReportControls& controls, const ReportList& results)
        : m_err(err)
        , m_controls(controls)
        , m_results(results)
    {
    }
    void tick()
    {
        if ((++m_calls & 63) != 0)
            return;
        const auto now = Clock::now();
        if (now - m_last < std::chrono::milliseconds(250))
            return;
        m_last = now;
        const double seconds = secondsSince(m_start);
        std::string path = m_controls.status;
        if (path.size() > 60)
            path = "..." + path.substr(path.size() - 57);
        const uint64_t entries = m_controls.entries;
        m_err << "\rgrantwise-report: " << entries << " entries, " << m_results.count() << " lines, "
              << static_cast<uint64_t>(seconds > 0 ? entries / seconds : 0) << " entries/s  " << path << "\x1b[K"
              << std::flush;
        m_shown = true;
    }
    void finish()
    {
        if (m_shown)
            m_err << "\r\x1b[K" << std::flush;
    }

private:
    std::ostream& m_err;
    const ReportControls& m_controls;
    const ReportList& m_results;
    uint64_t m_calls = 0;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_last = Clock::now();
    bool m_shown = false;
};

// Adds a start path as a double click in the folder tree does: a path already queued
// (without regard to case, Unicode case folding) keeps its place and gets the given
// check mark.
void queuePath(std::vector<QueueEntry>& queue, const std::string& path, bool recurse)
{
    for (QueueEntry& entry : queue) {
        if (SameName(entry.path, path)) {
            entry.recurse = recurse;
            return;
        }
    }
    queue.push_back({ path, recurse });
}

long peakResidentKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Writes the output, made a piece at a time, to the output file (replaced only once
// complete) or to out; 0, or 2 with the message on err when it cannot be written.
int writeOutput(const ReportOptions& options, const ReportPieces& pieces, std::ostream& out, std::ostream& err)
{
    if (options.output) {
        const ReportFileResult written = WriteReportFilePieces(*options.output, pieces);
        if (!written.ok) {
            err << ReportWriteErrorText(*options.output, written.error) << "\n";
            return 2;
        }
        return 0;
    }
    std::string piece;
    while (out && pieces(piece))
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    out.flush();
    if (!out) {
        err << "grantwise-report: cannot write to standard output\n";
        return 2;
    }
    return 0;
}

// writeOutput of bytes made whole, in parts (each moved into its piece, not copied).
int writeOutput(const ReportOptions& options, std::vector<std::string> parts, std::ostream& out, std::ostream& err)
{
    return writeOutput(
        options,
        [&parts, next = size_t(0)](std::string& piece) mutable {
            if (next == parts.size())
                return false;
            piece.swap(parts[next++]);
            return true;
        },
        out, err);
}

// Bytes made whole as the one part of an output.
std::vector<std::string> oneWhole(std::string bytes)
{
    std::vector<std::string> parts;
    parts.push_back(std::move(bytes));
    return parts;
}

// The lines of bytes held in parts (their line ends).
size_t lineCount(const std::vector<std::string>& parts)
{
    size_t lines = 0;
    for (const std::string& part : parts)
        lines += static_cast<size_t>(std::count(part.begin(), part.end(), '\n'));
    return lines;
}

// The progress line's view of an effective-rights walk.
class EffectiveProgressLine : public effective::EffectiveProgress {
public:
    explicit EffectiveProgressLine(ReportControls& controls)
        : m_controls(controls)
    {
    }
    void examined(const std::string& path) override { m_controls.showStatus(path); }
    bool cancelRequested() override { return false; }

private:
    ReportControls& m_controls;
};

// The forms of effective rights: who has access at each start path, or the rights map
// of --user; exit status as for a scan, 2 for an unknown --user.
int runEffective(const ReportOptions& options, const ScanSession& session, const std::vector<QueueEntry>& queue,
    ReportControls& controls, double loadSeconds, std::ostream& out, std::ostream& err)
{
    const auto queryStart = Clock::now();
    uint64_t examined = queue.size();
    std::vector<effective::StartPath> starts;
    for (const QueueEntry& entry : queue)
        starts.push_back({ entry.path, entry.recurse });
    std::string bytes;
    std::vector<std::pair<std::string, uint32_t>> unreadable;
    const bool rightsMap = options.format == ReportFormat::Effective || options.format == ReportFormat::EffectiveCsv;
    if (rightsMap) {
        effective::WalkChoices choices;
        choices.scopeFlag = *ScopeFlagForIndex(controls.scope);
        choices.pattern = controls.pattern;
        EffectiveProgressLine progress(controls);
        effective::RightsMapReport report;
        try {
            report = effective::RunRightsMap(starts, session.ConnHandle, *options.user, choices,
                options.format == ReportFormat::Effective, &progress);
        } catch (const effective::UnknownObjectError& e) {
            err << "grantwise-report: " << e.what() << "\n";
            return 2;
        }
        bytes = BuildRightsMapForm(report, options.format == ReportFormat::EffectiveCsv);
        unreadable = effective::UnreadablePaths(report);
        examined = report.entriesExamined;
    } else {
        const effective::AccessReport report = effective::RunWhoHasAccess(starts, session.ConnHandle);
        bytes = BuildAccessForm(report, options.format == ReportFormat::AccessCsv);
        unreadable = effective::UnreadablePaths(report);
    }
    const double querySeconds = secondsSince(queryStart);
    const auto writeStart = Clock::now();
    const auto linesWritten = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    if (const int status = writeOutput(options, oneWhole(std::move(bytes)), out, err))
        return status;
    for (const auto& [path, code] : unreadable)
        err << "grantwise-report: cannot read " << path << ": " << NWErrorText(code) << "\n";
    if (options.stats)
        err << Format("grantwise-report: %llu entries examined, %zu lines written, load %.3f s, scan %.3f s, "
                      "write %.3f s, peak memory %ld KiB",
            static_cast<unsigned long long>(examined), linesWritten, loadSeconds, querySeconds,
            secondsSince(writeStart), peakResidentKiB())
            << "\n";
    return unreadable.empty() ? 0 : 1;
}

// The bytes of a compare in the form asked for.
std::string compareBytes(
    const ReportOptions& options, const CompareResult& result, const std::string& newerName, const std::string& time)
{
    switch (options.format) {
    case ReportFormat::Csv:
        return BuildCompareCsv(result);
    case ReportFormat::Html:
        return BuildCompareHtml(result, *options.compare, newerName, time);
    default:
        return BuildCompareText(result);
    }
}

// --compare OLD --against NEW: two saved files, no network. 0 nothing differs, 3 something
// does, 2 for a file that is not Grantwise XML or an output that cannot be written.
int runCompareFiles(const ReportOptions& options, std::ostream& out, std::ostream& err)
{
    const std::string time = RunTimeText();
    CompareResult result;
    try {
        const auto [older, newer] = ReadSavedXmlPair(*options.compare, *options.against);
        result = CompareReports(older, newer);
    } catch (const SavedXmlError& e) {
        err << "grantwise-report: " << e.what() << "\n";
        return 2;
    }
    if (const int status
        = writeOutput(options, oneWhole(compareBytes(options, result, *options.against, time)), out, err))
        return status;
    return result.same() ? 0 : 3;
}

} // namespace

int RunReport(const ReportOptions& options, std::ostream& out, std::ostream& err)
{
    // Messages go to standard error; the client library and the progress line are added
    // below. The context is current for the whole run.
    Services services;
    services.messageBox = [&err](int, const std::string& text) { err << "grantwise-report: " << text << std::endl; };
    const ServicesScope scope(services);

    if (options.against)
        return runCompareFiles(options, out, err);
    const std::string runTime = RunTimeText();
    const auto loadStart = Clock::now();

    // The file to compare with is read first: one that is not Grantwise XML ends the run
    // before any scan.
    std::optional<AuditReport> older;
    if (options.compare) {
        try {
            older = ReadSavedXml(*options.compare);
        } catch (const SavedXmlError& e) {
            err << "grantwise-report: " << e.what() << "\n";
            return 2;
        }
    }

    SavedScanSettings saved;
    if (options.settingsFile) {
        std::string error;
        // A file named on the command line is found from the current folder, also when
        // the name has no folder part (the window's bare name means its configuration
        // folder, which the user then names in full).
        const std::string settingsPath
            = QFileInfo(QString::fromStdString(*options.settingsFile)).absoluteFilePath().toStdString();
        if (!ReadSavedScanSettings(settingsPath, saved, error)) {
            err << "grantwise-report: " << error << "\n";
            return 2;
        }
    }

    // The client library serving the network description; an unusable description makes
    // its initialisation fail with 0x88FF, whose text names the file and the reason.
    const std::unique_ptr<SimulatedNetWare> network = LoadNetwork(options.network.value_or(""));
    services.clientLibrary = network.get();

    ScanSession session;
    std::vector<NWConnectionItem> connections;
    if (const uint32_t code = StartClient(services, session, connections); code != 0) {
        CheckError(static_cast<int32_t>(code), "InitNetWare");
        return 2;
    }

    // The connection chosen as a click on the connection list chooses it.
    const NWConnectionItem* chosen = connections.empty() ? nullptr : &connections.front();
    if (options.connection) {
        chosen = nullptr;
        for (const NWConnectionItem& item : connections)
            if (SameName(item.serverName, *options.connection))
                chosen = &item;
        if (!chosen) {
            err << "grantwise-report: no connection to server " << *options.connection << "\n";
            return 2;
        }
    }
    // A connection that cannot be opened is reported and the run goes on, as in the
    // window: start paths that name their server are resolved by the path splitter.
    if (chosen)
        OpenChosenConnection(services, session, chosen->reference, chosen->serverName);
    SetContextFlag(session.DSContext, '+', nw::ctxFlagTypeless);

    // The settings file's choices as the window restores them (or the window's designed
    // state without one), each overridden by an option given.
    static_assert(ScopeItems.size() == SavedScanSettings::choiceCount && InfoItems.size() == ScopeItems.size());
    ReportControls controls;
    controls.scope = options.scopeIndex.value_or(saved.scope);
    controls.info = options.infoIndex.value_or(saved.info);
    controls.irm = options.irm.value_or(saved.irm);
    controls.pattern = options.pattern.value_or(saved.pattern);
    // A negative stored scope selects no scope choice, and with none the window's scan
    // button runs no scan: there is no report to write. (No info choice still scans, as
    // in the window, with an empty Info line and no trustee or owner lines.)
    const std::optional<uint8_t> scopeFlag = ScopeFlagForIndex(controls.scope);
    if (!scopeFlag) {
        err << "grantwise-report: " << options.settingsFile.value_or("")
            << ": no scope choice is selected (RadioGroupScope is negative), so the window runs no scan; "
               "give --scope\n";
        return 2;
    }

    std::vector<QueueEntry> queue;
    for (const IniListItem& item : saved.queue)
        queue.push_back({ item.text, item.checked });
    for (const std::string& path : options.startPaths)
        queuePath(queue, path, options.recurse);

    const double loadSeconds = secondsSince(loadStart);
    const auto scanStart = Clock::now();

    ReportList results;
    const bool progress = options.progress.value_or(isatty(STDERR_FILENO) != 0);
    controls.keepStatus = progress;
    ProgressLine progressLine(err, controls, results);
    if (progress)
        services.pendingMessages = [&progressLine] { progressLine.tick(); };
    if (options.format == ReportFormat::Access || options.format == ReportFormat::AccessCsv
        || options.format == ReportFormat::Effective || options.format == ReportFormat::EffectiveCsv) {
        const int status = runEffective(options, session, queue, controls, loadSeconds, out, err);
        services.pendingMessages = nullptr;
        progressLine.finish();
        return status;
    }
    ScanResult scan = RunScan(services, session, queue, *scopeFlag, controls, results);
    if (options.longNames)
        GetLongNames(results);
    services.pendingMessages = nullptr;
    progressLine.finish();
    const double scanSeconds = secondsSince(scanStart);

    const auto writeStart = Clock::now();
    std::vector<std::string> parts;
    ReportPieces pieces; // the text forms, made while they are written
    ReportList byTrustee;
    BatchNotes batchNotes;
    size_t linesWritten = results.count();
    std::optional<CompareResult> compared;
    if (older) {
        compared = CompareReports(*older, AuditReportFromResults(results));
        parts = oneWhole(compareBytes(options, *compared, "this scan", runTime));
        linesWritten = compared->rows.size();
    } else {
        switch (options.format) {
        case ReportFormat::Txt:
            pieces = TextFormPieces(results);
            break;
        case ReportFormat::Trustees:
            BuildTrusteeList(results, byTrustee);
            pieces = TextFormPieces(byTrustee);
            linesWritten = byTrustee.count();
            break;
        case ReportFormat::Bat:
            parts = BuildBatchFormInParts(results, &batchNotes);
            linesWritten = lineCount(parts);
            break;
        case ReportFormat::Xml:
            parts = BuildXmlFormInParts(results);
            linesWritten = lineCount(parts);
            break;
        case ReportFormat::Csv:
            parts = BuildCsvFormInParts(results);
            linesWritten = lineCount(parts);
            break;
        case ReportFormat::Html:
            parts = BuildHtmlFormInParts(results, { runTime, scan.entriesExamined });
            break;
        default:
            break; // the effective-rights forms went their own way above
        }
    }
    if (const int status
        = pieces ? writeOutput(options, pieces, out, err) : writeOutput(options, std::move(parts), out, err))
        return status;
    const double writeSeconds = secondsSince(writeStart);
    if (const std::string warning = BatchNotesText(batchNotes); !warning.empty())
        err << "grantwise-report: warning: " << warning << "\n";

    for (const UnreadableStartPath& path : scan.unreadable)
        err << "grantwise-report: cannot read start path " << path.path << ": " << NWErrorText(path.code) << "\n";

    if (options.stats) {
        err << Format("grantwise-report: %llu entries examined, %zu lines written, load %.3f s, scan %.3f s, "
                      "write %.3f s, peak memory %ld KiB",
            static_cast<unsigned long long>(scan.entriesExamined), linesWritten, loadSeconds, scanSeconds, writeSeconds,
            peakResidentKiB())
            << "\n";
    }
    if (!scan.unreadable.empty())
        return 1;
    return compared && !compared->same() ? 3 : 0;
}
