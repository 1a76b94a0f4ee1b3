#include "scan/EntryReport.h"

#include "scan/LineKinds.h"
#include "util/D_Util.h"
#include "services/PendingMessages.h"

namespace {
constexpr uint8_t kDirectoryBit = 0x10;
constexpr uint8_t kUnrestrictedMask = 0xFB;
} // namespace

void EntryReport::ReportEntry(const std::string& path, const WalkEntry& entry)
{
    const WalkEntry copy = entry;
    ++m_entries;
    m_controls.showStatus(path);

    m_trustees.clear();
    GetTrusteeList(m_session.DSContext, m_session.ConnHandle, path, m_trustees);
    for (const TrusteeItem& trustee : m_trustees)
        m_controls.appendInfoLine(trustee.name);

    if (m_controls.scopeIndex() != 1 && m_controls.irmChecked() && (copy.Kind & kDirectoryBit))
        AddIrmLine(path, copy);
    const int info = m_controls.infoIndex();
    if (info == 0 || info == 2)
        AddTrusteeLines(path);
    if (info == 1 || info == 2)
        AddOwnerLine(path, copy);
    ProcessPendingMessages();
}

void EntryReport::AddReportLine(const std::string& path, std::string_view text, int32_t code)
{
    if (!m_session.PathLineDone) {
        m_line.assign(m_session.ServerName);
        m_line += '\\';
        m_line += path;
        m_results.append(m_line, lkPath);
    }
    m_session.PathLineDone = true;
    m_results.append(text, code);
}

void EntryReport::AddIrmLine(const std::string& path, const WalkEntry& entry)
{
    m_session.PathLineDone = false;
    const uint8_t mask = entry.Entry.rightsMask;
    if ((mask & kUnrestrictedMask) == kUnrestrictedMask)
        return;
    RightsToBracketStr(mask, 0, m_rights);
    std::string text(FindLineKind(lkIrm)->label);
    text += m_rights;
    AddReportLine(path, text, lkIrm);
}

void EntryReport::AddTrusteeLines(const std::string& path)
{
    m_session.PathLineDone = false;
    TrusteeList trustees;
    GetTrusteeList(m_session.DSContext, m_session.ConnHandle, path, trustees);
    const std::string_view label = FindLineKind(lkTrustee)->label;
    std::string text;
    for (const TrusteeItem& trustee : trustees) {
        RightsToStr(trustee.rights, 0, "", m_rights, "[%s]");
        text.assign(label);
        text += trustee.name;
        text += ' ';
        text += m_rights;
        AddReportLine(path, text, lkTrustee);
    }
}

void EntryReport::AddOwnerLine(const std::string& path, const WalkEntry& entry)
{
    m_session.PathLineDone = false;
    const uint32_t delivered = entry.Entry.ownerID;
    const uint32_t id = (entry.Kind & kDirectoryBit) ? SwapLong(delivered) : 0;
    std::string name;
    if (id != 0) {
        if (GetObjectNameCached(m_session.DSContext, m_session.ConnHandle, id, name, m_session.Names) != 0)
            GetObjectNameCached(m_session.DSContext, m_session.ConnHandle, delivered, name, m_session.Names);
    }
    std::string text(FindLineKind(lkOwner)->label);
    text += name.empty() ? std::string("(n/a)") : FormatDSName(name);
    AddReportLine(path, text, lkOwner);
}
