#include "netware/NWClientLibrary.h"

namespace {

constexpr uint16_t requesterFailure = 0x88FF;

// Stands in when no library was installed: every call fails, as a workstation without a
// NetWare client would.
class AbsentLibrary final : public NWClientLibrary {
public:
    uint16_t initialize(void*, void*) override { return requesterFailure; }
    uint16_t getPrimaryConnRef(uint32_t&) override { return requesterFailure; }
    uint16_t NWCCScanConnRefs(uint32_t&, uint32_t&) override { return requesterFailure; }
    uint16_t NWCCOpenConnByRef(uint32_t, uint32_t, uint32_t, uint32_t&) override { return requesterFailure; }
    uint16_t closeConn(uint32_t) override { return requesterFailure; }
    uint16_t getConnInfo(uint32_t, uint16_t, uint16_t, char*) override { return requesterFailure; }
    uint16_t getConnRefInfo(uint32_t, uint16_t, uint16_t, char*) override { return requesterFailure; }
    uint32_t createContext(uint32_t&) override { return requesterFailure; }
    uint32_t getContextInfo(uint32_t, uint32_t, void*) override { return requesterFailure; }
    uint32_t setContextInfo(uint32_t, uint32_t, const void*) override { return requesterFailure; }
    uint32_t mapIDToName(uint32_t, uint32_t, uint32_t, char*) override { return requesterFailure; }
    uint16_t parsePath(const char*, char*, uint32_t&, char*, char*) override { return requesterFailure; }
    uint16_t getDirectoryInfo(
        uint32_t, uint8_t, const char*, uint8_t*, char*, uint32_t&, uint32_t&, uint8_t&, void*) override
    {
        return requesterFailure;
    }
    uint16_t initFileSearch(uint32_t, uint8_t, const char*, uint8_t&, uint16_t&, uint16_t&, uint8_t&, void*) override
    {
        return requesterFailure;
    }
    uint16_t continueFileSearch(
        uint32_t, uint8_t, uint16_t, uint16_t, uint8_t, const char*, NWSearchEntry&, uint32_t) override
    {
        return requesterFailure;
    }
    uint16_t scanTrustees(uint32_t, uint8_t, const char*, uint32_t&, uint16_t&, NWTrusteeBlock&, void*) override
    {
        return requesterFailure;
    }
    uint16_t openConnByName(const char*, uint32_t&) override { return requesterFailure; }
    uint16_t getVolumeName(uint32_t, uint16_t, char*) override { return requesterFailure; }
    uint16_t getNSEntryInfo(uint32_t, uint8_t, const char*, uint8_t, uint8_t, NWEntryInfo&) override
    {
        return requesterFailure;
    }
    uint16_t scanNSEntryInfo(
        uint32_t, uint8_t, const char*, uint8_t, uint16_t, NWSearchSequence&, const char*, NWEntryInfo&) override
    {
        return requesterFailure;
    }
    uint32_t mapNameToID(uint32_t, uint32_t, const char*, uint32_t&) override { return requesterFailure; }
    uint32_t readObjectValue(uint32_t, const char*, const char*, uint32_t&, char*) override { return requesterFailure; }
    uint32_t searchObjects(uint32_t, const char*, uint32_t&, char*, uint32_t&) override { return requesterFailure; }
    bool loadErrorLibrary() override { return true; }
    std::string NWstrerror(uint32_t code) override
    {
        return code == requesterFailure ? "No NetWare client library is installed" : "";
    }
};

} // namespace

NWClientLibrary& AbsentNWClientLibrary()
{
    static AbsentLibrary absent;
    return absent;
}
