#include "scan/ReportFilter.h"

#include "netware/D_NW.h"
#include "util/CaseFold.h"

#include <utility>

namespace {

// Rights bits that make a grant worth a second look: Access Control, Modify, Supervisor.
constexpr uint16_t strongRights = 0x20 | 0x80 | 0x100;

} // namespace

ReportFilter::ReportFilter(ReportFilterSpec criteria)
    : m_spec(std::move(criteria))
    , m_folded(FoldName(m_spec.text))
{
}

void ReportFilter::restart() noexcept
{
    m_examined = 0;
    m_groupLine = SIZE_MAX;
    m_groupShown = false;
    m_groupTextMatches = false;
    m_groupName = UINT32_MAX;
    m_nameMatch.clear();
}

bool ReportFilter::textMatches(std::string_view text) const
{
    if (m_folded.empty())
        return true;
    return FoldName(text).find(m_folded) != std::string::npos;
}

bool ReportFilter::nameMatches(const ReportList& list, uint32_t name)
{
    if (m_folded.empty())
        return true;
    if (name == NameTable::noName)
        return textMatches(list.ownerValue(name));
    if (name >= m_nameMatch.size())
        m_nameMatch.resize(list.names().count(), -1);
    int8_t& known = m_nameMatch[name];
    if (known < 0)
        known = textMatches(list.names().name(name)) ? 1 : 0;
    return known == 1;
}

bool ReportFilter::pathMatches(const ReportList& list, uint32_t node, bool longForm)
{
    if (m_folded.empty())
        return true;
    m_buffer.clear();
    list.appendPathText(node, longForm, m_buffer);
    return textMatches(m_buffer);
}

bool ReportFilter::trusteeConditions(const ReportList& list, uint32_t name, bool isTrustee, uint16_t rights) const
{
    const std::string_view text = name == NameTable::noName ? std::string_view() : list.names().name(name);
    if (m_spec.unresolvedOnly && !IsUnresolvedTrusteeName(text))
        return false;
    if (m_spec.publicOrRootOnly && (!isTrustee || (text != "[Public]" && text != "[Root]")))
        return false;
    if (m_spec.strongRightsOnly && (!isTrustee || (rights & strongRights) == 0))
        return false;
    return true;
}

void ReportFilter::run(const ReportList& list, size_t end, std::vector<uint32_t>& rows)
{
    const bool anyTrusteeCondition = m_spec.unresolvedOnly || m_spec.publicOrRootOnly || m_spec.strongRightsOnly;
    for (; m_examined < end && m_examined < list.count(); ++m_examined) {
        const size_t index = m_examined;
        const ReportLine line = list.line(index);
        bool shown = false;
        switch (line.row) {
        case ReportRow::Separator:
        case ReportRow::Setting:
            // A new start path's block: the lines below stand under no path yet.
            m_groupLine = SIZE_MAX;
            m_groupTextMatches = false;
            break;
        case ReportRow::Path:
            m_groupLine = index;
            m_groupShown = false;
            m_groupTextMatches = pathMatches(list, line.node, line.longForm);
            break;
        case ReportRow::TrusteeHeader:
            m_groupLine = index;
            m_groupShown = false;
            m_groupName = line.name;
            m_groupTextMatches = nameMatches(list, line.name);
            break;
        case ReportRow::Trustee:
        case ReportRow::Owner:
            shown = trusteeConditions(list, line.name, line.row == ReportRow::Trustee, line.rights)
                && (m_groupTextMatches || nameMatches(list, line.name));
            break;
        case ReportRow::Irm:
            shown = !anyTrusteeCondition && m_groupTextMatches;
            break;
        case ReportRow::TrusteeDetail:
            shown = m_groupName != UINT32_MAX && trusteeConditions(list, m_groupName, true, line.rights)
                && (m_groupTextMatches || pathMatches(list, line.node, line.longForm));
            break;
        }
        if (!shown)
            continue;
        if (m_groupLine != SIZE_MAX && !m_groupShown) {
            rows.push_back(static_cast<uint32_t>(m_groupLine));
            m_groupShown = true;
        }
        rows.push_back(static_cast<uint32_t>(index));
    }
}
