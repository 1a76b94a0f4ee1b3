#pragma once

#include "export/ReportFile.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ReportList;
struct HtmlRunInfo;

// The three save forms of the results, built completely in memory as the bytes of the
// file: every line followed by CR LF (the last one too), no byte-order mark, nothing
// before or after; no lines give an empty result (a 0-byte file). They read the lists
// and change neither. Building never fails (short of memory). They let pending messages
// through every few thousand lines (ProcessPendingMessages, with the lines of the pass
// done so far and its total, for the progress shown), so the window stays
// responsive while a large result is saved; OperationCancelled thrown from there passes
// on and nothing is returned.

/// The save forms of the results: the window's three, and the audit forms CSV and HTML
/// (AuditForms.h).
enum class SaveForm { Text, Batch, Xml, Csv, Html };

/// The file-name extension of a form, lower case, without the dot: "txt", "bat", "xml",
/// "csv", "html".
std::string_view SaveFormExtension(SaveForm form) noexcept;

/// The text form: the text of every line of `lines` (the by-path results or the rows of
/// the list by trustee, whichever list was shown), in order and byte for byte as
/// stored, separator lines included as empty lines.
///
/// `parts` (here and for the other forms): how many parts the bytes are made in at once,
/// on as many threads (FormParts.h); 0 lets the size of the list and the machine decide.
/// The bytes are the same however many parts.
std::string BuildTextForm(const ReportList& lines, size_t parts = 0);
/// A form's bytes in the parts they were made in (FormParts.h), in order: what a writer
/// that writes the parts one after another needs, without joining them first. Likewise
/// for the other forms below (...InParts).
std::vector<std::string> BuildTextFormInParts(const ReportList& lines, size_t parts = 0);

/// The text form made a piece at a time, for a writer that need not hold it whole: the
/// bytes of BuildTextForm in pieces of whole lines, each about pieceBytes long (a single
/// longer line makes a longer piece). `lines` must outlive the pieces.
ReportPieces TextFormPieces(const ReportList& lines, size_t pieceBytes = size_t(8) << 20);

/// The text form of some lines of `lines` only: the line at each index of `shown`, in
/// that order (the lines a filter shows).
std::string BuildTextForm(const ReportList& lines, const std::vector<size_t>& shown, size_t parts = 0);
std::vector<std::string> BuildTextFormInParts(
    const ReportList& lines, const std::vector<size_t>& shown, size_t parts = 0);

/// Why a RIGHTS line of the batch form is written as a remark that is not run.
enum class BatchNotRun {
    UnsafeCharacters, ///< a double quote or control character in the path, rights or name
    UnknownTrustee, ///< a trustee whose name could not be found ('ID: [0002B7E1]')
    OutsideCodePage, ///< a character code page 850 cannot hold
    TooLong, ///< more than cmd.exe's 8,191 characters
};
/// The reason as the remark and the warning write it: "unsafe characters", "unknown
/// trustee", "characters outside code page 850", "line too long for cmd.exe".
std::string_view BatchNotRunText(BatchNotRun reason) noexcept;

/// What a batch form holds besides commands: the RIGHTS lines written as remarks, by
/// reason (indexed by BatchNotRun), and whether the file starts with the CHCP line.
struct BatchNotes {
    std::array<size_t, 4> notRun {};
    bool codePage = false;
};
/// The warning that counts the remarks ("3 RIGHTS lines are remarks that are not run
/// ('REM Not run, ...'): 2 unknown trustee, 1 line too long for cmd.exe"), or "" when
/// every RIGHTS line is a command.
std::string BatchNotesText(const BatchNotes& notes);

/// The batch form of the by-path results: one RIGHTS or REM line per trustee, owner and
/// IRM line, in result order, nothing else:
///   trustee 'RIGHTS <path> <rights> /Name="<name>"' (rights "N", NetWare's "no rights",
///   when the trustee holds no letter, so the line re-creates the empty assignment
///   instead of asking RIGHTS to show the rights), IRM 'RIGHTS <path> <rights> /f'
///   (rights "-ALL" when the mask holds no letter), owner 'REM Owner [<path>] <name>',
/// where <path> is the last path line before it and <name> the trustee's name as the
/// line holds it (trailing blanks are part of the name and stay inside the quotes). The
/// RIGHTS path (and the rights field, should it ever hold such a character) is enclosed
/// in double quotes when it holds a blank or one of & | < > ^ ( ) , ; = (an empty path,
/// before any path line, is written as "" so that the rights do not take its place),
/// and every "%" of every line is doubled, so the command interpreter runs each line as
/// it reads (see BatchText.h).
///
/// A RIGHTS line that cannot do what it says is written as the remark
/// 'REM Not run, <reason>: RIGHTS ...' (reasons in BatchNotRun, tested in that order;
/// control characters shown as "?") and counted in notes. Control characters in an
/// owner line are shown as "?" too.
///
/// Encoding: a file in ASCII is written as the lines hold it. A file that holds any
/// other character is written in code page 850 (OemCodePage.h) and starts with the line
/// 'CHCP 850 >NUL'; in remarks a character the code page cannot hold is shown as
/// "[XXXX]". No line is longer than 8,191 characters: a remark is cut there and ends in
/// "...".
std::string BuildBatchForm(const ReportList& results, BatchNotes* notes = nullptr, size_t parts = 0);
std::vector<std::string> BuildBatchFormInParts(
    const ReportList& results, BatchNotes* notes = nullptr, size_t parts = 0);

/// The XML form of the by-path results: the line
/// '<?xml version="1.0" encoding="windows-1252" standalone="yes"?><document>', then per
/// line of the results its element on one line (settings, trustee, owner, irm), each
/// start path's lines inside a "<grantwise>" element opened by its Base line (an empty
/// Base value closes the open block and opens none), and finally "</document>". Values
/// are escaped and encoded in windows-1252 as AppendXmlText says, so any XML parser
/// reads back the stored names and paths.
std::string BuildXmlForm(const ReportList& results, size_t parts = 0);
std::vector<std::string> BuildXmlFormInParts(const ReportList& results, size_t parts = 0);

/// The rights of a trustee line (irm false) or an IRM line as the XML form writes them:
/// the letters held, in their order; an IRM that lets nothing through "-ALL". Replaces
/// out. The CSV and compare forms write rights the same way.
void XmlRightsText(uint16_t mask, bool irm, std::string& out);

/// BuildTextForm(shown) for the text form, else the batch, XML, CSV or HTML form of
/// `results` (those always write the by-path results, whichever list is shown). notes,
/// when given, receives the batch form's notes (empty for the other forms); run gives
/// the HTML form its time and count of entries (none: an empty time and 0).
std::string BuildSaveForm(SaveForm form, const ReportList& shown, const ReportList& results,
    BatchNotes* notes = nullptr, const HtmlRunInfo* run = nullptr);
std::vector<std::string> BuildSaveFormInParts(SaveForm form, const ReportList& shown, const ReportList& results,
    BatchNotes* notes = nullptr, const HtmlRunInfo* run = nullptr);
