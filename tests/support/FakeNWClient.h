#pragma once

// A recording fake of the NetWare client library for tests: it records every call in
// order (entry name and the arguments that matter) and answers from plain data a test
// fills in. Codes can be scripted per entry: queued codes are returned by the next calls
// of that entry (a queued 0 means "answer normally"); a fixed code fails every call.
// A test hands it on in its context of services (TestServices).

#include "netware/NWClientLibrary.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

class FakeNWClient : public NWClientLibrary {
public:
    struct Call {
        std::string entry; ///< the method name, e.g. "NWCCScanConnRefs"
        std::string args; ///< the arguments that matter, e.g. "11 CORP" for setContextInfo
    };

    /// One child of a fake directory as the file search (by its short name) and the
    /// name-space calls (by either name) return it.
    struct Child {
        std::string shortName;
        bool isDirectory = false;
        uint8_t rightsMask = 0;
        std::string longName {}; ///< "": the short name
    };

    /// A directory the fake knows, by its exact path ("VOL:DIR").
    struct Directory {
        uint16_t infoCode = 0; ///< code of getDirectoryInfo
        uint16_t searchCode = 0; ///< code of initFileSearch
        uint8_t irm = 0xFF;
        uint32_t ownerID = 0; ///< delivered as given (a test swaps it itself if it wants)
        uint32_t dateTime = 0;
        std::vector<Child> children;
    };

    /// One trustee block; reportedCount < 0 reports the number of entries.
    struct Block {
        std::vector<NWTrusteeEntry> entries;
        int reportedCount = -1;
    };

    /// What the path splitter answers for a path.
    struct Split {
        uint16_t code = 0;
        std::string server, volume, dirPath;
        uint32_t connHandle = 0;
    };

    /// A trustee entry of a block.
    static NWTrusteeEntry trustee(uint32_t id, uint16_t rights) { return NWTrusteeEntry { id, rights, { 0, 0 } }; }

    /// The small volume the scan tests share: on connection 7, FS1\VOL1\R&D (IRM 0x7B,
    /// owner 0x01000001 delivered high-low) holds the file PLAN.TXT and the subdirectory
    /// SUB (owner 0x01000002); \\FS1\VOL1\R&D and \\FS1\VOL1\R&D\SUB split to it.
    /// Names and trustees are each test's own.
    void addSampleVolume();

    // ---- Scripting --------------------------------------------------------------

    /// The next calls of entry return these codes, one per call (0: answer normally).
    void queueCodes(const std::string& entry, std::initializer_list<uint32_t> codes);
    /// Every call of entry fails with code (0 removes the failure).
    void setFixedCode(const std::string& entry, uint32_t code);

    // ---- Data the fake answers from ------------------------------------------------

    uint32_t primaryRef = 0; ///< answered by getPrimaryConnRef
    std::vector<uint32_t> connRefs; ///< scanned by NWCCScanConnRefs; then 0x880F
    std::map<uint32_t, std::string> refServerNames; ///< item 7 of a reference
    std::map<uint32_t, std::string> connTreeNames; ///< item 4 of a handle (as the library pads it)
    std::map<uint32_t, std::string> connServerNames; ///< item 7 of a handle
    uint32_t openedHandle = 0x10; ///< what NWCCOpenConnByRef gives
    uint32_t contextHandle = 0x77; ///< what createContext gives
    uint32_t contextFlags = 0;
    std::string contextNameContext = "[Root]";
    std::string contextTreeName;
    std::map<uint32_t, std::string> objectNames; ///< mapIDToName; missing IDs fail with -601
    std::map<std::string, Split> splits; ///< parsePath by exact path; others fail 0x8836
    std::map<std::string, Directory> directories; ///< by exact path ("VOL1:" a root); others fail 0x899C
    std::map<std::string, uint32_t> serverHandles; ///< openConnByName by exact name; others fail 0x8847
    /// getVolumeName: per handle, the names by volume number ("": no volume of that number).
    std::map<uint32_t, std::vector<std::string>> volumeNames;
    std::map<std::string, std::vector<Block>> trusteeBlocks; ///< by exact path; then 0x899C
    /// A directory-services object of the fake tree, by its name as the context reads it.
    struct Object {
        uint32_t id = 0;
        std::string className = "User"; ///< the value of "Object Class"
        std::vector<std::string> memberOf; ///< "Group Membership"
        std::vector<std::string> securityEquals; ///< "Security Equals"
    };
    /// mapNameToID, readObjectValue and searchObjects answer from these (names compared
    /// without regard to ASCII case); searchObjects in the order of objectOrder.
    std::map<std::string, Object> dsObjects;
    std::vector<std::string> objectOrder;
    /// Adds an object to dsObjects and objectOrder (and its name to objectNames).
    void addObject(const std::string& name, Object object);
    bool errorLibraryPresent = true;
    std::map<uint32_t, std::string> errorTexts;

    // ---- What happened -------------------------------------------------------------

    const std::vector<Call>& calls() const { return m_calls; }
    /// The entry names of all calls, in order.
    std::vector<std::string> entries() const;
    /// Number of calls of entry.
    int countOf(const std::string& entry) const;
    void clearCalls() { m_calls.clear(); }

    // ---- The library ------------------------------------------------------------------

    uint16_t initialize(void* reserved1, void* reserved2) override;
    uint16_t getPrimaryConnRef(uint32_t& connRef) override;
    uint16_t NWCCScanConnRefs(uint32_t& scanIndex, uint32_t& connRef) override;
    uint16_t NWCCOpenConnByRef(uint32_t connRef, uint32_t openState, uint32_t reserved, uint32_t& connHandle) override;
    uint16_t closeConn(uint32_t connHandle) override;
    uint16_t getConnInfo(uint32_t connHandle, uint16_t item, uint16_t bufferLength, char* buffer) override;
    uint16_t getConnRefInfo(uint32_t connRef, uint16_t item, uint16_t bufferLength, char* buffer) override;
    uint32_t createContext(uint32_t& context) override;
    uint32_t getContextInfo(uint32_t context, uint32_t key, void* value) override;
    uint32_t setContextInfo(uint32_t context, uint32_t key, const void* value) override;
    uint32_t mapIDToName(uint32_t context, uint32_t connHandle, uint32_t objectID, char* name) override;
    uint16_t parsePath(
        const char* path, char* serverName, uint32_t& connHandle, char* volumeName, char* dirPath) override;
    uint16_t getDirectoryInfo(uint32_t connHandle, uint8_t dirHandle, const char* path, uint8_t* sequence, char* name,
        uint32_t& dateTime, uint32_t& ownerID, uint8_t& rightsMask, void* reserved) override;
    uint16_t initFileSearch(uint32_t connHandle, uint8_t dirHandle, const char* path, uint8_t& volumeNumber,
        uint16_t& directoryID, uint16_t& sequence, uint8_t& accessRights, void* reserved) override;
    uint16_t continueFileSearch(uint32_t connHandle, uint8_t volumeNumber, uint16_t directoryID, uint16_t sequence,
        uint8_t searchAttributes, const char* pattern, NWSearchEntry& entry, uint32_t flag) override;
    uint16_t scanTrustees(uint32_t connHandle, uint8_t dirHandle, const char* path, uint32_t& iterationHandle,
        uint16_t& count, NWTrusteeBlock& block, void* reserved) override;
    uint16_t openConnByName(const char* serverName, uint32_t& connHandle) override;
    uint16_t getVolumeName(uint32_t connHandle, uint16_t volumeNumber, char* volumeName) override;
    uint16_t getNSEntryInfo(uint32_t connHandle, uint8_t dirHandle, const char* path, uint8_t srcNameSpace,
        uint8_t dstNameSpace, NWEntryInfo& info) override;
    uint16_t scanNSEntryInfo(uint32_t connHandle, uint8_t dirHandle, const char* path, uint8_t nameSpace,
        uint16_t searchAttributes, NWSearchSequence& sequence, const char* pattern, NWEntryInfo& info) override;
    uint32_t mapNameToID(uint32_t context, uint32_t connHandle, const char* objectName, uint32_t& objectID) override;
    uint32_t readObjectValue(uint32_t context, const char* objectName, const char* attributeName,
        uint32_t& iterationHandle, char* value) override;
    uint32_t searchObjects(uint32_t context, const char* className, uint32_t& iterationHandle, char* objectName,
        uint32_t& objectID) override;
    bool loadErrorLibrary() override;
    std::string NWstrerror(uint32_t code) override;

private:
    /// The object of a name (ASCII case ignored), or nullptr.
    const Object* findObject(const std::string& name) const;

    /// Records the call and returns the scripted code for it (0: answer normally).
    uint32_t record(const std::string& entry, const std::string& args);

    std::vector<Call> m_calls;
    std::map<std::string, std::deque<uint32_t>> m_queued;
    std::map<std::string, uint32_t> m_fixed;
    std::vector<std::string> m_searchDirs; // directory ID - 1 -> path
};
