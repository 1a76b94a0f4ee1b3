#pragma once

// The NetWare client library as the access layer sees it: one abstract class whose
// methods are the library entries the program uses (calwin32, clxwin32, netwin32 and
// NWERR32's NWstrerror). Completion codes are 16-bit for the calwin32/clxwin32 entries
// and 32-bit for the netwin32 ones; 0 is success everywhere. Handles, references and
// object IDs are 32-bit. Text outputs are NUL-terminated character buffers of the size
// each entry names, exactly as the library fills them.
//
// The layer above (D_NW) reaches the library only through NWLib(), the library of the
// current context of services (services/Services.h); which implementation stands behind
// it (the simulated library, a test's recording fake) is decided by whoever fills that
// context.

#include <cstdint>
#include <string>

// ---- Records the library exchanges -------------------------------------------
// The records keep the library's byte layout, so they are packed: read and write their
// fields by value; never bind a reference or pointer of the field's type to a field
// (it may be misaligned).

#pragma pack(push, 1)

/// The 36-byte entry a file search match (calwin32 213) fills.
struct NWSearchEntry {
    uint16_t nextSequence; ///< bytes 0-1: the sequence to pass to the next search call
    uint8_t reserved1[2]; ///< bytes 2-3
    char shortName[16]; ///< bytes 4-19: the entry's short (8.3) name, NUL-terminated
    uint8_t rightsMask; ///< byte 20: the 8-bit field reported as rights mask
    uint8_t reserved2; ///< byte 21
    uint32_t dateTime; ///< bytes 22-25: date and time (a directory record carries it)
    uint8_t reserved3[2]; ///< bytes 26-27
    uint32_t ownerID; ///< bytes 28-31: owner object ID (a directory record carries it)
    uint8_t reserved4[4]; ///< bytes 32-35
};
static_assert(sizeof(NWSearchEntry) == 36, "the search entry is 36 bytes");

/// One trustee of a trustee block: object ID and 16-bit rights mask.
struct NWTrusteeEntry {
    uint32_t objectID;
    uint16_t rights;
    uint8_t unused[2];
};
static_assert(sizeof(NWTrusteeEntry) == 8, "a trustee entry is 8 bytes");

/// The trustee entries of one block of the trustee scan (calwin32 378). The count of
/// valid entries is the entry's separate 16-bit output; a well-behaved library never
/// reports more than NWTrusteeBlock::capacity.
struct NWTrusteeBlock {
    static constexpr int capacity = 20;
    NWTrusteeEntry entries[capacity];
};

/// The position of a name-space entry scan (calwin32 NWScanNSEntryInfo's search
/// sequence): every byte 0xFF to start; the library advances it with each entry.
struct NWSearchSequence {
    uint8_t volNumber;
    uint32_t dirNumber;
    uint32_t searchDirNumber;
};
static_assert(sizeof(NWSearchSequence) == 9, "the search sequence is 9 bytes");

/// What the name-space entry calls report about one entry: the part of the library's
/// entry information the program reads. The name is the entry's name in the name space
/// asked for; its buffer holds a name of 255 characters in UTF-8 (up to 4 bytes each)
/// with its NUL, where the library's own record, made for one-byte code pages, has 256.
struct NWEntryInfo {
    uint32_t attributes; ///< nw::attrDirectory for a directory
    uint16_t nameLength; ///< bytes of entryName before its NUL
    char entryName[1024];
};

#pragma pack(pop)

// ---- Constants the program passes and reads ----------------------------------

namespace nw {
constexpr uint16_t connInfoTreeName = 4; ///< text item: tree name, "_"-padded to 32
constexpr uint16_t connInfoServerName = 7; ///< text item: server name
constexpr uint32_t ctxFlags = 1; ///< context key: 32-bit flags
constexpr uint32_t ctxNameContext = 3; ///< context key: name context (text)
constexpr uint32_t ctxTreeName = 11; ///< context key: tree name (text)
constexpr uint32_t ctxFlagTypeless = 4; ///< context flag: ID-to-name gives typeless names
constexpr uint16_t textBufferSize = 255; ///< length passed with connection text items
constexpr int nameBufferSize = 256; ///< context, object-name and path buffers
constexpr uint16_t noMoreTrustees = 0x899C; ///< the trustee scan's normal end
constexpr uint32_t noSuchEntry = 0xFFFFFDA7; ///< -601: ID to name found no object
constexpr uint32_t noSuchValue = 0xFFFFFDA6; ///< -602: an attribute has no (further) value
constexpr uint16_t noSuchVolume = 0x8998; ///< volume name: no volume has that number
constexpr uint16_t maxVolumes = 256; ///< a server numbers its volumes from 0 to 255
constexpr uint8_t nameSpaceDos = 0; ///< name space of the DOS (8.3) names
constexpr uint8_t nameSpaceLong = 4; ///< name space of the long names
constexpr uint16_t searchFiles = 0x0000; ///< name-space scan: files only
constexpr uint16_t searchSubdirectories = 0x0010; ///< name-space scan: subdirectories only
constexpr uint16_t searchSubdirectoriesAndFiles = 0x8000; ///< name-space scan: both
constexpr uint32_t attrDirectory = 0x10; ///< entry attribute: a directory

// Directory-services attributes an object is read for, and the base classes the "Object
// Class" attribute names (an object of any other class reads "Unknown").
constexpr const char* attrObjectClass = "Object Class";
constexpr const char* attrGroupMembership = "Group Membership";
constexpr const char* attrSecurityEquals = "Security Equals";
constexpr const char* classUser = "User";
constexpr const char* classGroup = "Group";
constexpr const char* classOrganization = "Organization";
constexpr const char* classOrganizationalUnit = "Organizational Unit";
constexpr const char* classOrganizationalRole = "Organizational Role";
constexpr const char* classUnknown = "Unknown";

/// Whether a name-space scan with these search attributes admits an entry of this kind:
/// directories with searchSubdirectories or searchSubdirectoriesAndFiles, files unless
/// only subdirectories are asked for.
constexpr bool SearchAdmits(uint16_t searchAttributes, bool isDirectory) noexcept
{
    if (searchAttributes & searchSubdirectoriesAndFiles)
        return true;
    return isDirectory == ((searchAttributes & searchSubdirectories) != 0);
}
} // namespace nw

// ---- The library --------------------------------------------------------------

class NWClientLibrary {
public:
    virtual ~NWClientLibrary() = default;

    /// calwin32 377: client initialisation, the first call of all (both arguments null).
    virtual uint16_t initialize(void* reserved1, void* reserved2) = 0;

    /// clxwin32 111: the workstation's default (primary) connection reference.
    virtual uint16_t getPrimaryConnRef(uint32_t& connRef) = 0;

    /// clxwin32 113: the next connection reference. scanIndex is 0 to start and is
    /// advanced by the library; a non-zero code ends the scan.
    virtual uint16_t NWCCScanConnRefs(uint32_t& scanIndex, uint32_t& connRef) = 0;

    /// clxwin32 102: opens the connection a reference names (the program passes 1 and 0).
    virtual uint16_t NWCCOpenConnByRef(uint32_t connRef, uint32_t openState, uint32_t reserved, uint32_t& connHandle)
        = 0;

    /// clxwin32 103: closes a connection; the program ignores the result.
    virtual uint16_t closeConn(uint32_t connHandle) = 0;

    /// clxwin32 114: text item of an open connection into buffer (bufferLength bytes).
    virtual uint16_t getConnInfo(uint32_t connHandle, uint16_t item, uint16_t bufferLength, char* buffer) = 0;

    /// clxwin32 115: text item of a connection reference into buffer (bufferLength bytes).
    virtual uint16_t getConnRefInfo(uint32_t connRef, uint16_t item, uint16_t bufferLength, char* buffer) = 0;

    /// netwin32 1160: creates a directory-services context.
    virtual uint32_t createContext(uint32_t& context) = 0;

    /// netwin32 1003: reads a context value: key 1 into a uint32_t, keys 3 and 11 into a
    /// 256-byte character buffer.
    virtual uint32_t getContextInfo(uint32_t context, uint32_t key, void* value) = 0;

    /// netwin32 1004: writes a context value: key 1 from a uint32_t, keys 3 and 11 from a
    /// NUL-terminated text.
    virtual uint32_t setContextInfo(uint32_t context, uint32_t key, const void* value) = 0;

    /// netwin32 1048: the name of an object ID, into a 256-byte buffer.
    virtual uint32_t mapIDToName(uint32_t context, uint32_t connHandle, uint32_t objectID, char* name) = 0;

    /// calwin32 104: splits a path into server, connection, volume and directory path
    /// (256-byte buffers).
    virtual uint16_t parsePath(
        const char* path, char* serverName, uint32_t& connHandle, char* volumeName, char* dirPath)
        = 0;

    /// calwin32 379: one directory's information. sequence is 9 bytes preset to 0xFF;
    /// name a 256-byte buffer; the owner ID is delivered high-low.
    virtual uint16_t getDirectoryInfo(uint32_t connHandle, uint8_t dirHandle, const char* path, uint8_t* sequence,
        char* name, uint32_t& dateTime, uint32_t& ownerID, uint8_t& rightsMask, void* reserved)
        = 0;

    /// calwin32 386: starts a file search in the directory a path names.
    virtual uint16_t initFileSearch(uint32_t connHandle, uint8_t dirHandle, const char* path, uint8_t& volumeNumber,
        uint16_t& directoryID, uint16_t& sequence, uint8_t& accessRights, void* reserved)
        = 0;

    /// calwin32 213: the next match of a file search; a non-zero code ends the search.
    virtual uint16_t continueFileSearch(uint32_t connHandle, uint8_t volumeNumber, uint16_t directoryID,
        uint16_t sequence, uint8_t searchAttributes, const char* pattern, NWSearchEntry& entry, uint32_t flag)
        = 0;

    /// calwin32 378: the next block of an entry's trustees. iterationHandle is 0 to start
    /// and advanced by the library; count is the number of valid block entries as the
    /// library reports it; 0x899C means no more trustees.
    virtual uint16_t scanTrustees(uint32_t connHandle, uint8_t dirHandle, const char* path, uint32_t& iterationHandle,
        uint16_t& count, NWTrusteeBlock& block, void* reserved)
        = 0;

    // The entries below serve the shell stand-in's folder tree and path forms (network
    // folders, their long and DOS names) and the effective-rights engine's paths; the
    // scan does not call them.

    /// clxwin32 NWCCOpenConnByName for a server (bindery) name: the connection to the
    /// server of that name, opened when it is not open yet.
    virtual uint16_t openConnByName(const char* serverName, uint32_t& connHandle) = 0;

    /// calwin32 NWGetVolumeName: the name of the server's volume with this number into a
    /// 256-byte buffer; nw::noSuchVolume when no volume has the number (numbers may have
    /// gaps, so a caller asks for every number below nw::maxVolumes).
    virtual uint16_t getVolumeName(uint32_t connHandle, uint16_t volumeNumber, char* volumeName) = 0;

    /// calwin32 NWGetNSEntryInfo: the entry a path names ("VOL1:DOCS\PLANS"), the path
    /// read in srcNameSpace, reported with its name in dstNameSpace. A volume's root
    /// ("VOL1:") reports the volume's name.
    virtual uint16_t getNSEntryInfo(uint32_t connHandle, uint8_t dirHandle, const char* path, uint8_t srcNameSpace,
        uint8_t dstNameSpace, NWEntryInfo& info)
        = 0;

    /// calwin32 NWScanNSEntryInfo: the next entry, in server order, of the directory a
    /// path names whose name in nameSpace matches pattern (DOS wildcards, ignoring case)
    /// and whose kind searchAttributes admits (nw::searchFiles, nw::searchSubdirectories,
    /// nw::searchSubdirectoriesAndFiles). sequence starts all 0xFF and is advanced by the
    /// library; a non-zero code ends the scan (0x89FF: no more entries).
    virtual uint16_t scanNSEntryInfo(uint32_t connHandle, uint8_t dirHandle, const char* path, uint8_t nameSpace,
        uint16_t searchAttributes, NWSearchSequence& sequence, const char* pattern, NWEntryInfo& info)
        = 0;

    // The entries below read what the directory-services tree knows of its objects, for
    // effective rights; the scan does not call them. Names are given and returned as the
    // context reads them (its tree, its name context, typed or typeless by its flag 4),
    // in 256-byte buffers; an object the tree does not have fails with nw::noSuchEntry.

    /// netwin32 NWDSMapNameToID: the ID of the object a name names. The context's tree
    /// when it names one, else the tree of the connection's server.
    virtual uint32_t mapNameToID(uint32_t context, uint32_t connHandle, const char* objectName, uint32_t& objectID) = 0;

    /// netwin32 NWDSRead narrowed to one attribute of one object, one value per call:
    /// nw::attrObjectClass (one value, the object's base class), nw::attrGroupMembership
    /// (the groups it is a member of) or nw::attrSecurityEquals (the objects it is
    /// security equivalent to), in the order the tree keeps them. iterationHandle is 0 to
    /// start and advanced by the library; nw::noSuchValue ends the values. An unknown
    /// attribute fails with 0x8836.
    virtual uint32_t readObjectValue(
        uint32_t context, const char* objectName, const char* attributeName, uint32_t& iterationHandle, char* value)
        = 0;

    /// netwin32 NWDSSearch narrowed to the objects of one base class (className, e.g.
    /// nw::classUser; "" for every class) in the context's whole tree, one per call, in
    /// the order the tree keeps them: the object's name and ID. iterationHandle is 0 to
    /// start and advanced by the library; nw::noSuchEntry ends the search.
    virtual uint32_t searchObjects(
        uint32_t context, const char* className, uint32_t& iterationHandle, char* objectName, uint32_t& objectID)
        = 0;

    /// Loading NWERR32.DLL and finding its NWstrerror export: true when both succeed.
    /// The program asks afresh for every error text.
    virtual bool loadErrorLibrary() = 0;

    /// NWERR32 NWstrerror: the text of a completion code ("" for a code without text).
    /// Only meaningful when loadErrorLibrary() returned true.
    virtual std::string NWstrerror(uint32_t code) = 0;
};

/// The library that stands in when none is installed: every call fails with 0x88FF, whose
/// error text says that no NetWare client library is installed.
NWClientLibrary& AbsentNWClientLibrary();
