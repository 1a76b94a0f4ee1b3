#include "cli/ReportOptions.h"

#include <CLI/CLI.hpp>

#include <map>
#include <ostream>

namespace {

const std::map<std::string, int> scopes { { "directories", 0 }, { "files", 1 }, { "both", 2 } };
const std::map<std::string, int> infos { { "trustees", 0 }, { "owner", 1 }, { "both", 2 } };
const std::map<std::string, ReportFormat> formats { { "txt", ReportFormat::Txt },
    { "trustees", ReportFormat::Trustees }, { "bat", ReportFormat::Bat }, { "xml", ReportFormat::Xml },
    { "csv", ReportFormat::Csv }, { "html", ReportFormat::Html }, { "access", ReportFormat::Access },
    { "access-csv", ReportFormat::AccessCsv }, { "effective", ReportFormat::Effective },
    { "effective-csv", ReportFormat::EffectiveCsv } };

} // namespace

std::optional<int> ParseReportOptions(
    int argc, const char* const* argv, ReportOptions& options, std::ostream& out, std::ostream& err)
{
    CLI::App app { "Reports who holds which rights where on NetWare volumes: trustee assignments, owners and "
                   "inherited rights masks, as the window's \"Scan for Trustees\" does.",
        "grantwise-report" };
    app.set_version_flag("--version", std::string("grantwise-report ") + GRANTWISE_VERSION);
    app.get_formatter()->column_width(28);

    std::string scope, info, format;
    bool noRecurse = false;
    bool irm = false, noIrm = false, progress = false, noProgress = false;
    std::string pattern, connection, output, network, settings, user;

    app.add_option("START_PATH", options.startPaths,
        "a folder's network path as the folder tree gives it ('\\\\FS1\\VOL1\\R&D'), long or short names; "
        "queued in order, each with recursion; a path already queued (letter case aside) keeps its place");
    app.add_flag("--no-recurse", noRecurse, "queue the START_PATHs without recursion");
    auto* settingsOpt
        = app.add_option("--settings", settings,
                 "take the scope, info, IRM and pattern choices and the work queue from a settings file in the "
                 "window's "
                 "format, read as the window reads it (a stored index beyond the choices selects the last one); "
                 "START_PATHs are queued after its entries")
              ->type_name("FILE");
    auto* scopeOpt = app.add_option("--scope", scope, "the \"Scope\" choice (default directories)")
                         ->check(CLI::IsMember(scopes).description(""))
                         ->type_name("directories|files|both");
    auto* infoOpt = app.add_option("--info", info, "the \"Info\" choice (default trustees)")
                        ->check(CLI::IsMember(infos).description(""))
                        ->type_name("trustees|owner|both");
    auto* irmOpt = app.add_flag("--irm", irm, "show inherited rights masks of directories (default)");
    auto* noIrmOpt = app.add_flag("--no-irm", noIrm, "do not show inherited rights masks");
    irmOpt->excludes(noIrmOpt);
    auto* patternOpt = app.add_option("--pattern", pattern,
        "the search pattern for files, used as typed (default *.*): DOS wildcards on the 8.3 names, * any run, "
        "? one character, a name without a dot matching as if it ended in '.'");
    auto* connectionOpt = app.add_option("--connection", connection,
                                 "the connection to choose, by server name (default the first, as at window start-up)")
                              ->type_name("SERVER");
    app.add_flag("--long-names", options.longNames, "turn short 8.3 names in path lines into long names");
    auto* formatOpt
        = app.add_option("--format", format,
                 "txt: the list by path; trustees: the list by trustee; bat: RIGHTS commands (a line "
                 "that could not do what it shows becomes 'REM Not run, <reason>: ...'); xml (line breaks in values "
                 "as &#10; and &#13;); csv: one row per trustee, owner and IRM line (path,type,detail,name,rights; "
                 "UTF-8 with a "
                 "byte-order mark, values that look like formulas behind an apostrophe); html: one self-contained page "
                 "with the run's time, start paths, counts and both lists (filtering, sorting and paging where scripts "
                 "run; a note at the top above 20,000 rows); with --compare only txt, csv and html; access, "
                 "access-csv: who has effective rights at each START_PATH (a folder or a "
                 "file, nothing below it), every user with the reason for each right, then IDs no object has; "
                 "effective, effective-csv: the rights map of --user over the START_PATHs, walked with the scope "
                 "and pattern (each start path and every entry whose rights differ from its parent's)")
              ->check(CLI::IsMember(formats).description(""))
              ->type_name("txt|trustees|bat|xml|csv|html|access|access-csv|effective|effective-csv");
    auto* compareOpt = app.add_option("--compare", options.compare,
                              "compare instead of report: list what differs between OLD, an XML file saved by "
                              "Grantwise, and this scan (trustees added, removed or with changed rights, owners "
                              "changed, IRMs added, removed or changed; txt, csv 'change,path,detail,name,old,new' or "
                              "html); paths match without regard to case; settings that differ are said first")
                           ->type_name("OLD");
    auto* againstOpt
        = app.add_option("--against", options.against,
                 "with --compare: compare OLD with NEW, another saved XML file, without scanning (no START_PATH "
                 "or scan option)")
              ->type_name("NEW");
    auto* userOpt = app.add_option("--user", user,
                           "the object whose rights the effective forms map: a user, a group, a container by its typed "
                           "name ('OU=Sales.O=Corp') or a special name, typeless or typed ('.Alice.Sales.Corp')")
                        ->type_name("NAME");
    auto* outputOpt
        = app.add_option("-o,--output", output,
                 "write to FILE, replacing it only once the whole output is ready; a FIFO or device is written into "
                 "(default stdout)")
              ->type_name("FILE");
    auto* networkOpt
        = app.add_option("--network", network,
                 "the network description to serve (default $GRANTWISE_NETWORK, else the built-in demo network)")
              ->type_name("FILE");
    auto* progressOpt = app.add_flag("--progress", progress, "a progress line on standard error");
    auto* noProgressOpt = app.add_flag("--no-progress", noProgress, "no progress line");
    progressOpt->excludes(noProgressOpt);
    app.add_flag("--stats", options.stats, "after the run, one line of figures on standard error");
    app.footer(
        "Exit status: 0 the report was written and every start path was read; 1 it was written, but a start "
        "path did not resolve, its directory information could not be read, or a file search could not "
        "start in it where the scan searches (each is named; for the effective-rights forms also any entry "
        "below a start path that could not be read); 2 bad arguments, an unknown --user, an unusable "
        "network description or settings file, a client start-up failure, or an output that cannot be "
        "written, or an OLD or NEW that is not a Grantwise XML file (named with the line and column where reading "
        "stopped); with --compare: 0 nothing differs, 3 something differs (every start path read), 1 start "
        "paths could not be read, 2 as above.");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << "\n";
        return 0;
    } catch (const CLI::ParseError& e) {
        err << "grantwise-report: " << e.what() << "\n";
        return 2;
    }

    options.recurse = !noRecurse;
    if (*settingsOpt)
        options.settingsFile = settings;
    if (*scopeOpt)
        options.scopeIndex = scopes.at(scope);
    if (*infoOpt)
        options.infoIndex = infos.at(info);
    if (*irmOpt)
        options.irm = true;
    if (*noIrmOpt)
        options.irm = false;
    if (*patternOpt)
        options.pattern = pattern;
    if (*connectionOpt)
        options.connection = connection;
    if (*formatOpt)
        options.format = formats.at(format);
    if (*userOpt)
        options.user = user;
    const bool effectiveForm
        = options.format == ReportFormat::Effective || options.format == ReportFormat::EffectiveCsv;
    if (effectiveForm && !options.user) {
        err << "grantwise-report: --format " << format << " needs --user NAME\n";
        return 2;
    }
    if (!effectiveForm && options.user) {
        err << "grantwise-report: --user is only for --format effective and effective-csv\n";
        return 2;
    }
    if (*againstOpt && !*compareOpt) {
        err << "grantwise-report: --against needs --compare OLD\n";
        return 2;
    }
    if (*compareOpt && options.format != ReportFormat::Txt && options.format != ReportFormat::Csv
        && options.format != ReportFormat::Html) {
        err << "grantwise-report: --compare writes --format txt, csv or html, not " << format << "\n";
        return 2;
    }
    if (*againstOpt) {
        for (const CLI::Option* scanOption : { settingsOpt, scopeOpt, infoOpt, irmOpt, noIrmOpt, patternOpt,
                 connectionOpt, app.get_option("--long-names"), app.get_option("--no-recurse"), networkOpt }) {
            if (*scanOption) {
                err << "grantwise-report: --against compares two saved files and scans nothing: "
                    << scanOption->get_name() << " does not go with it\n";
                return 2;
            }
        }
        if (!options.startPaths.empty()) {
            err << "grantwise-report: --against compares two saved files and scans nothing: no START_PATH goes with "
                   "it\n";
            return 2;
        }
    }
    if (*outputOpt)
        options.output = output;
    if (*networkOpt)
        options.network = network;
    if (*progressOpt)
        options.progress = true;
    if (*noProgressOpt)
        options.progress = false;
    return std::nullopt;
}
