#pragma once

#include "netware/D_NW.h"
#include "scan/ReportList.h"
#include "scan/ScanControls.h"
#include "scan/ScanSession.h"

#include <cstdint>
#include <string>

/// The per-entry report: the walk's callback and the three detail groups it writes.
/// It reaches the session, the scan choices and the result list through the references
/// it was made with; the choices are read anew for every entry.
class EntryReport {
public:
    EntryReport(ScanSession& session, ScanControls& controls, ReportList& results)
        : m_session(session)
        , m_controls(controls)
        , m_results(results)
    {
    }

    /// The walk's callback for one entry: shows the path, appends the entry's trustee
    /// names to the information page (for every entry, whatever the Info choice), then
    /// the IRM group (directory records, scope not Files, IRM box checked), the trustee
    /// group (Info Trustees or Both) and the owner group (Info Owner or Both), and lets
    /// pending messages through.
    void ReportEntry(const std::string& path, const WalkEntry& entry);

    /// Appends one detail line, preceded by the path line (server + "\" + path, kind 15,
    /// with the type of the entry being reported) when the current group has none yet.
    /// The detail is a trustee (code 16: name and rights), an owner (17: name, or
    /// NameTable::noName) or an IRM line (18: the mask in `rights`), its name a number of
    /// the results' name table.
    void AddReportLine(const std::string& path, int32_t code, uint32_t name, uint16_t rights);

    /// The IRM group: one line "     IRM: [...]" (the mask) unless the mask lets every
    /// right through (all bits of 0xFB set).
    void AddIrmLine(const std::string& path, const WalkEntry& entry);

    /// The trustee group: one line per trustee, "     Trustee: name [letters]" (the name
    /// and the rights mask).
    void AddTrusteeLines(const std::string& path);

    /// The owner group: "     Owner: .name" or "     Owner: (n/a)" (the written name, or
    /// none). Only directory records carry an owner; its ID is tried byte-reversed first,
    /// then as delivered.
    void AddOwnerLine(const std::string& path, const WalkEntry& entry);

    /// Entries reported so far.
    uint64_t entriesExamined() const noexcept { return m_entries; }

private:
    ScanSession& m_session;
    ScanControls& m_controls;
    ReportList& m_results;
    TrusteeList m_trustees; // reused from entry to entry
    std::string m_line;
    PathEntryType m_entryType = PathEntryType::NotReported; // of the entry being reported
    uint64_t m_entries = 0;
};
