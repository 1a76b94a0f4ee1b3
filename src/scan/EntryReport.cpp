#include "scan/EntryReport.h"

#include "scan/LineKinds.h"
#include "services/PendingMessages.h"
#include "util/D_Util.h"

#include <stdexcept>
#include <string>

namespace {
constexpr uint8_t directoryBit = 0x10;
constexpr uint8_t unrestrictedMask = 0xFB;
} // namespace

void EntryReport::ReportEntry(const std::string& path, const WalkEntry& entry)
{
    const WalkEntry copy = entry;
    ++m_entries;
    m_entryType = (copy.Kind & directoryBit) ? PathEntryType::Directory : PathEntryType::File;
    m_controls.showStatus(path);

    m_trustees.clear();
    GetTrusteeList(m_session.DSContext, m_session.ConnHandle, path, m_trustees);
    for (const TrusteeItem& trustee : m_trustees)
        m_controls.appendInfoLine(trustee.name);

    if (m_controls.scopeIndex() != 1 && m_controls.irmChecked() && (copy.Kind & directoryBit))
        AddIrmLine(path, copy);
    const int info = m_controls.infoIndex();
    if (info == 0 || info == 2)
        AddTrusteeLines(path);
    if (info == 1 || info == 2)
        AddOwnerLine(path, copy);
    ProcessPendingMessages();
}

void EntryReport::AddReportLine(const std::string& path, int32_t code, uint32_t name, uint16_t rights)
{
    if (!m_session.PathLineDone) {
        m_line.assign(m_session.ServerName);
        m_line += '\\';
        m_line += path;
        m_results.appendPathLine(m_line, m_entryType);
    }
    m_session.PathLineDone = true;
    switch (code) {
    case lkTrustee:
        m_results.appendTrustee(name, rights);
        break;
    case lkOwner:
        m_results.appendOwner(name);
        break;
    case lkIrm:
        m_results.appendIrm(static_cast<uint8_t>(rights));
        break;
    default:
        throw std::invalid_argument("not a detail line's kind code: " + std::to_string(code));
    }
}

void EntryReport::AddIrmLine(const std::string& path, const WalkEntry& entry)
{
    m_session.PathLineDone = false;
    const uint8_t mask = entry.Entry.rightsMask;
    if ((mask & unrestrictedMask) == unrestrictedMask)
        return;
    AddReportLine(path, lkIrm, NameTable::noName, mask);
}

void EntryReport::AddTrusteeLines(const std::string& path)
{
    m_session.PathLineDone = false;
    TrusteeList trustees;
    GetTrusteeList(m_session.DSContext, m_session.ConnHandle, path, trustees);
    for (const TrusteeItem& trustee : trustees)
        AddReportLine(path, lkTrustee, m_results.names().intern(trustee.name), trustee.rights);
}

void EntryReport::AddOwnerLine(const std::string& path, const WalkEntry& entry)
{
    m_session.PathLineDone = false;
    const uint32_t delivered = entry.Entry.ownerID;
    const uint32_t id = (entry.Kind & directoryBit) ? SwapLong(delivered) : 0;
    std::string name;
    if (id != 0) {
        if (GetObjectNameCached(m_session.DSContext, m_session.ConnHandle, id, name, m_session.Names) != 0)
            GetObjectNameCached(m_session.DSContext, m_session.ConnHandle, delivered, name, m_session.Names);
    }
    AddReportLine(path, lkOwner, name.empty() ? NameTable::noName : m_results.names().intern(FormatDSName(name)), 0);
}
