#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

/// The form grantwise-report writes: the window's save forms, the audit forms (CSV, HTML),
/// or the forms of effective rights (who has access at each start path; the rights map of
/// one object). A compare writes txt, csv or html.
enum class ReportFormat { Txt, Trustees, Bat, Xml, Csv, Html, Access, AccessCsv, Effective, EffectiveCsv };

/// What the command line asked for. Unset optionals mean "not given": the settings
/// file (when one is named) or the window's designed default applies.
struct ReportOptions {
    std::vector<std::string> startPaths;
    bool recurse = true;
    std::optional<std::string> settingsFile;
    std::optional<int> scopeIndex; ///< index in the "&Scope" choice: 0 directories, 1 files, 2 both
    std::optional<int> infoIndex; ///< index in the "&Info" choice: 0 trustees, 1 owner, 2 both
    std::optional<bool> irm;
    std::optional<std::string> pattern;
    std::optional<std::string> connection;
    bool longNames = false;
    ReportFormat format = ReportFormat::Txt;
    std::optional<std::string> user; ///< the object of the effective forms
    std::optional<std::string> output;
    std::optional<std::string> compare; ///< --compare OLD: the saved XML file to compare with
    std::optional<std::string> against; ///< --against NEW: compare with this file instead of a scan
    std::optional<std::string> network;
    std::optional<bool> progress;
    bool stats = false;
};

/// Parses the arguments into options. Returns an exit status when the program should end
/// at once: 0 after --help or --version (printed to out), 2 after bad arguments (a
/// message beginning "grantwise-report: " on err). Returns nullopt to go on.
std::optional<int> ParseReportOptions(
    int argc, const char* const* argv, ReportOptions& options, std::ostream& out, std::ostream& err);
