#pragma once

#include <string_view>

class ReportList;

/// Orders two rows of the list by trustee the way the sorted list orders them: ASCII
/// letters folded to lower case, then plain (unsigned) byte order (so "[", "]" and "_"
/// come before the letters: 'Trustee: X [R]' before 'Trustee: X [RF]'), a shorter text
/// before every longer one that begins with it. Returns < 0, 0 or > 0. Rows that differ
/// only in ASCII letter case compare equal.
int CompareTrusteeRows(std::string_view a, std::string_view b) noexcept;

/// Builds the list by trustee from the by-path results into `byTrustee`, which refers
/// to the results' paths and names (ReportList::shareTables) and whose rows all have
/// kind code 0 (so the same list model and the text form serve both lists). Does nothing
/// when `byTrustee` already holds a row.
///
/// Every trustee line (kind 16) of `results` gives one collected row, whose text is the
/// line's from the sixth character on ('Trustee: <name> [<rights>]'), with the last
/// path line (kind 15) above it. The rows are put in CompareTrusteeRows order of those
/// texts, rows that compare equal keeping their scan order: the order in which inserting
/// each row into a sorted list after the rows equal to it leaves them. Then every run of
/// consecutive rows of the same trustee name (exactly: letter case counts) gives one
/// header row, 'Trustee: <name> ', followed by one detail row per collected row of the
/// run: five blanks, the text of its path line as it is then (short or long form), " ["
/// and its rights letters and "]". A trustee line above every path line gets an empty
/// path text.
///
/// So the result equals what sorting the row texts into a list one by one and then
/// turning them, from the last up, into header and detail rows (cut at the row's last
/// "[", which is the rights bracket's) gives, in O(n) plus a sort of the distinct rows.
/// Calls ProcessPendingMessages every few thousand lines with how far it is: lines of
/// `results` read, then rows of `byTrustee` made (two passes); when that throws
/// (OperationCancelled), `byTrustee` is left empty. `results` is only read.
void BuildTrusteeList(const ReportList& results, ReportList& byTrustee);
