#pragma once

#include "scan/ReportList.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

/// What a filtered view of a report list asks of its lines. Every condition that is set
/// must hold; with none set the view is the whole list.
struct ReportFilterSpec {
    /// The line's path or trustee contains this text, without regard to case ("" for any).
    std::string text;
    /// Only trustees (and owners) whose name could not be read ("ID: [...]").
    bool unresolvedOnly = false;
    /// Only the trustees [Public] and [Root].
    bool publicOrRootOnly = false;
    /// Only grants that hold the Supervisor, Access Control or Modify right.
    bool strongRightsOnly = false;

    bool active() const noexcept { return !text.empty() || unresolvedOnly || publicOrRootOnly || strongRightsOnly; }
};

/// A filtered view of a report list (by path or by trustee), built incrementally: `run`
/// examines the lines from where the last call stopped and appends the indexes of the
/// lines the view shows, so a caller can build it in slices while the list still grows.
///
/// A detail line (a trustee, owner or IRM line of the results; a detail row of the list
/// by trustee) is shown when it meets the criteria: its path is the path line it stands under
/// (or, in the list by trustee, its own), its trustee its own name (or the header it
/// stands under). The path line or trustee header a shown line stands under is shown with
/// it, once, just before the first shown line of its group, so every shown line keeps its
/// context. Settings and separator lines are not shown while a filter is set; IRM lines
/// carry no trustee and fail the three trustee conditions.
class ReportFilter {
public:
    explicit ReportFilter(ReportFilterSpec criteria);

    const ReportFilterSpec& criteria() const noexcept { return m_spec; }

    /// Examines lines [examined(), end) of list and appends the shown ones' indexes to rows.
    /// `list` must be the list the earlier calls examined (lines only appended since).
    void run(const ReportList& list, size_t end, std::vector<uint32_t>& rows);
    /// Lines examined so far.
    size_t examined() const noexcept { return m_examined; }
    /// Starts again from the first line (the list was emptied or its texts changed).
    void restart() noexcept;

    /// Does the folded text contain the filter's folded text? (true for an empty filter text)
    bool textMatches(std::string_view text) const;

private:
    bool nameMatches(const ReportList& list, uint32_t name);
    bool pathMatches(const ReportList& list, uint32_t node, bool longForm);
    bool trusteeConditions(const ReportList& list, uint32_t name, bool isTrustee, uint16_t rights) const;

    ReportFilterSpec m_spec;
    std::string m_folded; ///< the filter text case-folded
    size_t m_examined = 0;
    // The group the next lines stand under: its line (path line or trustee header), whether
    // it was shown already, and what it gives its lines.
    size_t m_groupLine = SIZE_MAX;
    bool m_groupShown = false;
    bool m_groupTextMatches = false; ///< results: the path matches; by trustee: the name does
    uint32_t m_groupName = UINT32_MAX; ///< by trustee: the header's name
    std::vector<int8_t> m_nameMatch; ///< per name: -1 not known yet, 0 no, 1 yes
    std::string m_buffer;
};
