#pragma once

#include <string_view>

class ReportList;

/// Orders two rows of the list by trustee the way the sorted list orders them: ASCII
/// letters folded to lower case, then plain (unsigned) byte order (so "[", "]" and "_"
/// come before the letters: 'Trustee: X [R]' before 'Trustee: X [RF]'), a shorter text
/// before every longer one that begins with it. Returns < 0, 0 or > 0. Rows that differ
/// only in ASCII letter case compare equal.
int CompareTrusteeRows(std::string_view a, std::string_view b) noexcept;

/// A collected row ('Trustee: .Admin.Corp [RWCEAFM]') cut at its LAST "[": head is the
/// text before it ('Trustee: .Admin.Corp '), tail the text after it ('RWCEAFM]').
/// Cutting at the last "[" keeps names that hold a "[" whole ('Trustee: [Public] [RF]'
/// gives 'Trustee: [Public] ' and 'RF]'), since the rights bracket always comes last.
/// Without "[" the head is the whole row and the tail is empty. Both view `row`.
struct TrusteeRowParts {
    std::string_view head;
    std::string_view tail;
};
TrusteeRowParts SplitTrusteeRow(std::string_view row) noexcept;

/// Builds the list by trustee from the by-path results into `byTrustee`, whose rows all
/// get code 0 (so the same list model and the text form serve both lists). Does nothing
/// when `byTrustee` already holds a row.
///
/// Every trustee line (kind 16) of `results` gives one collected row, its text from the
/// sixth character on ('Trustee: <name> [<rights>]'), remembered with the last path line
/// (kind 15) above it. The rows are put in CompareTrusteeRows order, rows that compare
/// equal keeping their scan order: that is the order in which inserting each row into
/// a sorted list after the rows equal to it leaves them. Then every run of consecutive
/// rows with exactly the same head (SplitTrusteeRow; letter case counts here) gives one
/// header row, the head, followed by one detail row per collected row of the run:
/// five blanks, the text of its path line, " [" and its tail. A trustee line above
/// every path line gets an empty path text.
///
/// So the result equals what sorting the rows into a list one by one and then turning
/// them, from the last up, into header and detail rows gives, in O(n) plus a sort of
/// the distinct row texts. Calls ProcessPendingMessages every few thousand rows; when
/// that throws (OperationCancelled), `byTrustee` is left empty. Row texts are copied;
/// `results` is only read.
void BuildTrusteeList(const ReportList& results, ReportList& byTrustee);
