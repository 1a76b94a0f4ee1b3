#pragma once

// D_NW: the NetWare access layer above the client library: the library of the current
// context of services (NWLib(), services/Services.h; NWClientLibrary.h).
// Client start-up and connections, context values and error texts; path resolution;
// the directory walk; trustees, owner names and rights letters; object names.
// Operations return the library's completion code (0 = success) and deliver results
// through output arguments that the caller owns; failures are codes, not exceptions,
// with one exception: a trustee block whose count exceeds 20 (TrusteeBlockRangeError).

#include "netware/NWClientLibrary.h"
#include "netware/NameCache.h"
#include "services/Services.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// ---- Client start-up, connections and error reporting -------------------------

/// Brings the client of the current context up once: initialise (377); the default
/// connection reference (111), or else the first reference a scan (113) yields; opens it
/// (102) into the context's StartupConn. Failures are shown with ReportNWError ("Could
/// not initialize NetWare Client", or "NWCCScanConnRefs/NWCCOpenConnByRef") and returned.
/// Once StartupConn is set (not 0xFFFF), returns 0 at once without calling the library.
uint16_t InitNWClient();

/// One item of the connection list: the server name shown and the reference behind it.
struct NWConnectionItem {
    std::string serverName;
    uint32_t reference = 0;
};

/// Appends one item per connection reference the library scans, in the library's order,
/// skipping references whose server name cannot be read (or is empty); the first
/// non-zero scan code ends the list. Pending messages are let through after every scan
/// step.
void ListConnections(std::vector<NWConnectionItem>& list);

/// Text item of an open connection (114) with the 255-byte buffer. text is "" on failure.
uint16_t GetConnInfoStr(uint32_t connHandle, uint16_t item, std::string& text);

/// Text item of a connection reference (115). text is "" on failure.
uint16_t GetConnRefInfoStr(uint32_t connRef, uint16_t item, std::string& text);

/// The tree name of an open connection (item 4), passed through TrimTreeName on success.
uint16_t GetConnTreeName(uint32_t connHandle, std::string& text);

/// The server name of a connection reference (item 7).
uint16_t GetConnRefServerName(uint32_t connRef, std::string& text);

/// The first 32 characters of text (UTF-8 characters, never a cut sequence) with
/// trailing "_" removed.
std::string TrimTreeName(const std::string& text);

/// A context value (1003) read into a 256-byte buffer, with its first "CN=" (exact case)
/// removed; "" when the read fails.
void GetContextInfoStr(uint32_t context, uint32_t key, std::string& text);

/// GetContextInfoStr for key 11 (tree name).
void GetContextTreeName(uint32_t context, std::string& text);

/// Points the context at a tree and a name context: the tree (key 11) is written only
/// when treeName is not empty and differs, ignoring case, from the context's tree; a
/// failure there is returned at once. Then the name context (key 3) is written without
/// one leading "." and that code returned.
uint32_t SetDSContext(uint32_t context, const std::string& treeName, const std::string& nameContext);

/// Reads the context flags (key 1), ORs bits in for '+', ANDs them out for '-', leaves
/// them for any other character, and writes them back. Codes are not looked at.
void SetContextFlag(uint32_t context, char operation, uint32_t bits);

/// "0x" and at least four upper-case hex digits of code, followed by " (text)" when the
/// error-text library loads (it is asked afresh each time); the text may be empty.
std::string NWErrorText(uint32_t code);

/// Nothing for 0; otherwise an error box "<operation> returned error <NWErrorText>".
void ReportNWError(uint32_t code, const std::string& operation);

// ---- Path resolution ----------------------------------------------------------

/// Splits path with the library's path splitter. On code 0 server, volume and dirPath
/// are set from the splitter's buffers; otherwise they keep their values. connHandle is
/// written by the library. path may be the same object as any of the outputs.
uint16_t ParseNWPath(
    const std::string& path, uint32_t& connHandle, std::string& server, std::string& volume, std::string& dirPath);

/// out := path; when the splitter accepts it, out := "\\server\volume\dirPath" (ending
/// in "\" for an empty directory path). Returns the splitter's code, which most callers
/// ignore; long names use it to leave a rejected line as it is. path may be out.
uint16_t PathToUNC(const std::string& path, std::string& out);

// ---- Directory walk -----------------------------------------------------------

#pragma pack(push, 1)
/// What the walk hands to its callback: the kind (6 file record, 0x16 directory record)
/// followed by the 36-byte entry block. In a directory record the block carries the
/// directory's inherited rights mask, date-time and owner ID (high-low as delivered) and
/// nothing else; in a file record it is what the file search returned.
struct WalkEntry {
    uint8_t Kind;
    NWSearchEntry Entry;
};
#pragma pack(pop)
static_assert(sizeof(WalkEntry) == 37, "one byte followed by the 36-byte entry block");

constexpr uint8_t walkKindFile = 6;
constexpr uint8_t walkKindDirectory = 0x16;
constexpr uint8_t searchAttrFiles = 6;
constexpr uint8_t searchAttrDirectories = 0x16;

/// The walk's callback: the entry's full path ("VOL:DIR\NAME"), the record (copy it to
/// keep it) and the caller's user data, passed through unchanged. A plain function with
/// this signature converts to it; so does a lambda that captures what it needs. An
/// exception thrown by the callback leaves the walk (the walk catches nothing).
using EntryCallback = std::function<void(const std::string& path, const WalkEntry& entry, void* userData)>;

/// The walk's work area for one directory record or one search pass.
struct FD_Inf {
    uint16_t code = 0;
    uint8_t volumeNumber = 0;
    uint16_t directoryID = 0;
    uint16_t sequence = 0;
    uint8_t accessRights = 0; ///< not used
    std::string text; ///< not used
    std::string fullPath; ///< full path of the current entry
    uint8_t infoSequence[9] = {};
    char dirName[nw::nameBufferSize] = {}; ///< name the directory information returns; not used
    WalkEntry walkEntry = {};
};

/// Told of a search the walk could not start in a directory (its path and the code); the
/// walk goes on without that directory's matches, as always.
using SearchFailureCallback = std::function<void(const std::string& path, uint16_t code)>;

/// The arguments of one WalkDirectory call, which its search passes work on.
struct WalkArgs {
    uint32_t connHandle;
    std::string path; ///< after the trailing separator was removed
    std::string pattern; ///< after "" became "*.*"
    uint8_t scope;
    const EntryCallback& callback;
    void* userData;
    bool recurse;
    const SearchFailureCallback* searchFailed = nullptr;
};

/// Visits the directory at path on connHandle: its own record (scope 1 or 2, when its
/// information can be read), its files matching pattern (scope 0 or 2), then, when
/// recurse is set, every subdirectory in server order, walked completely before the next
/// one. One trailing "\" or "/" of path is removed; an empty pattern is "*.*"; the
/// pattern filters files only. All failures are silent (a caller that must know which
/// directories could not be searched passes searchFailed). Pending messages are let
/// through after every match.
void WalkDirectory(uint32_t connHandle, const std::string& path, const std::string& pattern, uint8_t scope,
    const EntryCallback& callback, void* userData, bool recurse, const SearchFailureCallback* searchFailed = nullptr);

/// One search pass of a walk over walk.path: search attributes 6 hand every matching
/// file to the callback; with recurse, every match is walked with WalkDirectory.
void ScanDirEntries(const WalkArgs& walk, uint8_t searchAttributes, const std::string& pattern, bool recurse);

// ---- Trustees, owner and inherited rights mask --------------------------------

/// One trustee of an entry: the display name (or "ID: [%08X]") and its rights mask.
struct TrusteeItem {
    std::string name;
    uint16_t rights = 0;
};
using TrusteeList = std::vector<TrusteeItem>;

/// Thrown by GetTrusteeList when the library reports more than 20 entries in a block:
/// a range fault that ends the current start path (the scan's per-entry guard catches it).
class TrusteeBlockRangeError : public std::out_of_range {
public:
    explicit TrusteeBlockRangeError(unsigned count);
};

/// Appends the trustees of path, block after block in the library's order: the name of
/// each ID through ObjectIDToName (no cache) in FormatDSName form, or "ID: [%08X]" when
/// it cannot be found. Returns 0 when the scan ended normally (0x899C), otherwise the
/// library's code with the items appended so far left in the list.
/// Throws TrusteeBlockRangeError for a block count above 20.
uint16_t GetTrusteeList(uint32_t context, uint32_t connHandle, const std::string& path, TrusteeList& list);

/// The trustee entries of path (object ID and rights mask as the library delivers them),
/// block after block in the library's order, appended to list; no names are looked up.
/// Returns 0 when the scan ended normally (0x899C), otherwise the library's code with the
/// entries appended so far left in the list. Throws TrusteeBlockRangeError for a block
/// count above 20.
uint16_t GetTrusteeEntries(uint32_t connHandle, const std::string& path, std::vector<NWTrusteeEntry>& list);

/// True for the name GetTrusteeList gives a trustee whose name could not be found:
/// "ID: [" followed by eight upper-case hexadecimal digits and "]".
bool IsUnresolvedTrusteeName(std::string_view name) noexcept;
/// Appends the name GetTrusteeList gives a trustee whose name could not be found,
/// "ID: [%08X]" of its ID.
void AppendUnresolvedTrusteeName(uint32_t objectID, std::string& out);

/// The letters of mask for kind 0 (file system: R W C E A F M S), 1 (B C D R S I) or 2
/// (C R W S A I); I is written when bit 0x40 is clear. A letter whose bit is missing is
/// replaced by filler; any other kind gives no letters. out = Format(format, letters).
void RightsToStr(uint32_t mask, int kind, const std::string& filler, std::string& out, const char* format);

/// RightsToStr with filler " " and format "[%s]": always one place per letter.
void RightsToBracketStr(uint32_t mask, int kind, std::string& out);

/// The rights bits that have a file-system letter (R W C E A F M S).
constexpr uint32_t fileSystemRightsBits = 0x1FB;

/// Appends the file-system letters of mask (kind 0 of RightsToStr) to out: the letters
/// held, or with a filler other than '\0' one place per letter, the filler in the place
/// of each right not held. What RightsToStr writes inside its brackets, without a
/// temporary text: for readers of millions of lines.
void AppendFileSystemRights(uint32_t mask, std::string& out, char filler = '\0');

/// Empties the cache first when it belongs to another connection (recording the new
/// one). Returns the former index (0-based) of the ID's pair, moving it to the front,
/// or -1 when the ID is not cached.
int NameCacheFind(uint32_t connHandle, uint32_t objectID, NameCache& cache);

/// The name of an object ID through the cache: a hit gives the cached name and 0 without
/// a library call; otherwise ObjectIDToName, and on success (the least recently used
/// pair dropped when the cache is full) the name is cached at the front. A failed lookup
/// returns its code, leaves name untouched and caches nothing. The name is as the
/// library gives it (the caller applies FormatDSName).
uint32_t GetObjectNameCached(
    uint32_t context, uint32_t connHandle, uint32_t objectID, std::string& name, NameCache& cache);

// ---- Object names -------------------------------------------------------------

/// The library's name for an object ID (1048) read from a 256-byte buffer; "" and the
/// code on failure.
uint32_t ObjectIDToName(uint32_t context, uint32_t connHandle, uint32_t objectID, std::string& name);

/// The written form of a name: "." in front unless it is empty, exactly "[Root]", or
/// already begins with "." or "[".
std::string FormatDSName(const std::string& name);
/// Appends FormatDSName(name) to out, without a text of its own in between (a scan
/// writes one for every trustee of every entry).
void AppendDSName(std::string_view name, std::string& out);

/// text without one leading ".".
std::string StripLeadingDot(const std::string& text);

// ---- Directory-services objects -------------------------------------------------

/// The ID of the object a name names, as the context reads the name; the code and ID
/// untouched on failure (nw::noSuchEntry: no object has the name).
uint32_t ObjectNameToID(uint32_t context, uint32_t connHandle, const std::string& name, uint32_t& objectID);

/// Every value of one attribute of an object (nw::attrObjectClass,
/// nw::attrGroupMembership, nw::attrSecurityEquals), in the tree's order, appended to
/// values. Returns 0 when the values ended normally, otherwise the code, with the values
/// read so far left in the list.
uint32_t ReadObjectValues(
    uint32_t context, const std::string& objectName, const char* attributeName, std::vector<std::string>& values);

/// One object a search found: its name as the context gives it, and its ID.
struct DSObjectItem {
    std::string name;
    uint32_t id = 0;
};

/// Every object of a base class (nw::classUser; "" for all) in the context's tree, in the
/// tree's order, appended to objects. Returns 0 when the search ended normally,
/// otherwise the code, with the objects found so far left in the list. Pending messages
/// are let through every few thousand objects.
uint32_t SearchObjects(uint32_t context, const char* className, std::vector<DSObjectItem>& objects);
