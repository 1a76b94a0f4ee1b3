#pragma once

#include <string>
#include <string_view>

class ReportList;

// The three save forms of the results, built completely in memory as the bytes of the
// file: every line followed by CR LF (the last one too), no byte-order mark, nothing
// before or after; no lines give an empty result (a 0-byte file). They read the lists
// and change neither. Building never fails (short of memory). They let pending messages
// through every few thousand lines (ProcessPendingMessages), so the window stays
// responsive while a large result is saved; OperationCancelled thrown from there passes
// on and nothing is returned.

/// The save forms of the results.
enum class SaveForm { Text, Batch, Xml };

/// The file-name extension of a form, lower case, without the dot: "txt", "bat", "xml".
std::string_view SaveFormExtension(SaveForm form) noexcept;

/// The text form: the text of every line of `lines` (the by-path results or the rows of
/// the list by trustee, whichever list was shown), in order and byte for byte as
/// stored, separator lines included as empty lines.
std::string BuildTextForm(const ReportList& lines);

/// The batch form of the by-path results: one RIGHTS or REM line per trustee, owner and
/// IRM line, in result order, nothing else:
///   trustee 'RIGHTS <path> <rights> /Name="<name>"', IRM 'RIGHTS <path> <rights> /f'
///   (rights "-ALL" when the mask holds no letter), owner 'REM Owner [<path>] <name>',
/// where <path> is the last path line before it. The RIGHTS path (and the rights field,
/// should it ever hold such a character) is enclosed in double quotes when it holds a
/// blank or one of & | < > ^ ( ) , ; = (an empty path, before any path line, is
/// written as "" so that the rights do not take its place), and every "%" of every
/// line is doubled, so the
/// command interpreter runs each line as it reads (see BatchText.h). A trustee or IRM
/// line whose path, rights or name holds a double quote or a control character cannot
/// be written as a command that does what it says; it is written as the remark
/// 'REM Not run, unsafe characters: RIGHTS ...' with each control character shown as
/// "?". Control characters in an owner line are shown as "?" too. Everything else is
/// written byte for byte (UTF-8) as the lines hold it.
std::string BuildBatchForm(const ReportList& results);

/// The XML form of the by-path results: the line
/// '<?xml version="1.0" encoding="windows-1252" standalone="yes"?><document>', then per
/// line of the results its element on one line (settings, trustee, owner, irm), each
/// start path's lines inside a "<grantwise>" element opened by its Base line (an empty
/// Base value closes the open block and opens none), and finally "</document>". Values
/// are escaped and encoded in windows-1252 as AppendXmlText says, so any XML parser
/// reads back the stored names and paths.
std::string BuildXmlForm(const ReportList& results);

/// BuildTextForm(shown) for the text form, else the batch or XML form of `results`
/// (those two always write the by-path results, whichever list is shown).
std::string BuildSaveForm(SaveForm form, const ReportList& shown, const ReportList& results);

/// The parts of a trustee line's value ('.Admin.Corp [RWCEAFM]').
struct TrusteeValue {
    std::string_view name; ///< the text before the LAST " [", trailing blanks removed
    std::string rights; ///< the text after it with every "[", blank and "]" removed
};

/// Splits a trustee value at its last " [", so that a name which itself holds " ["
/// ('ID: [0001A2B3] [RF]') keeps it: name 'ID: [0001A2B3]', rights "RF". Without " ["
/// the whole value is the name and the rights are empty. The name views `value`.
TrusteeValue SplitTrusteeValue(std::string_view value);
