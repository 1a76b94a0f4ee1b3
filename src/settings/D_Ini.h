#pragma once

// D_Ini, widget-free half: the settings file's name, reading and writing single values
// with write-only-when-changed, and the list, check-list, bounds and history forms on
// plain data. The walk over widgets (settings/controls/D_IniControls.h) and the command
// line both build on these.
//
// Every operation here works on an open settings file (a ProfileFile); the caller
// opens it, and flushes it when the work is done. Reading never reports an error: a
// missing file, section or key, or a value that is not a number where one is wanted,
// gives the default. Writing throws IniWriteError when a value cannot be stored.

#include "platform/ProfileFile.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

/// A write or section erase that the settings file cannot carry out.
class IniWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// One item of a string list or check list: its text, the number attached to it (the
/// key it was loaded from, see LoadStrings) and its check mark (check lists only).
struct IniListItem {
    std::string text;
    int object = 0;
    bool checked = false;
};

/// Position and size of a control or window in pixels.
struct IniBounds {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

/// The state of a combo box's history: the list (newest first), the text in its edit
/// part, and whether the box is a drop-down list only (then text is the selected item,
/// itemIndex its position, -1 for none).
struct IniHistory {
    std::vector<std::string> items;
    std::string text;
    bool listOnly = false;
    int itemIndex = -1;
};

/// Most entries a history keeps: each addition first removes the entry at this index.
constexpr int historyMaxIndex = 30;

// ---- The file and single values ------------------------------------------------

/// The settings file name: the program file's folder and base name with the extension
/// "ini"; with nameOnly just the file name ("grantwise.ini"), which the profile-file
/// service places in the user's configuration folder.
std::string IniFileName(bool nameOnly);

/// Parses an integer as the settings file stores it: decimal with an optional sign, or
/// "0x"/"0X" followed by up to eight hexadecimal digits (taken as 32 bits, so 0xFFFFFFFF
/// is -1). Anything else, or a decimal outside the 32-bit range, is no number.
std::optional<int> IniParseInt(const std::string& text);

/// The stored text, or def when the key is missing.
std::string IniReadStr(
    const ProfileFile& ini, const std::string& section, const std::string& key, const std::string& def);
/// The stored integer, or def when the key is missing or holds no number.
int IniReadInt(const ProfileFile& ini, const std::string& section, const std::string& key, int def);
/// The stored flag (any integer other than 0 is true), or def like IniReadInt.
bool IniReadBool(const ProfileFile& ini, const std::string& section, const std::string& key, bool def);

/// The selected index of a choice of `count` items (a radio group) for a stored index,
/// by the rule of the radio group the program was designed with: an index beyond the
/// items selects the last one, a negative index selects none (-1).
int ChoiceIndexFromStored(int stored, int count) noexcept;
/// The selected index of a choice of `count` items as stored under key
/// (ChoiceIndexFromStored), or current when the key is missing or holds no number. The
/// window's control walk and the command line's reader of the window's choices both
/// read the scope and info choices through this, so they agree on every stored value.
int IniReadChoiceIndex(
    const ProfileFile& ini, const std::string& section, const std::string& key, int count, int current);

/// Writes text unless the key is present and its stored text equals text or, put in
/// double quotes, equals it. A missing key is always written. Throws IniWriteError.
void IniWriteStr(ProfileFile& ini, const std::string& section, const std::string& key, const std::string& text);
/// Writes the integer in decimal unless the key holds that number already; a missing key
/// or one holding no number is always written. Throws IniWriteError.
void IniWriteInt(ProfileFile& ini, const std::string& section, const std::string& key, int value);
/// Writes "1" or "0" unless the stored flag is already the same; a missing key or one
/// holding no number is always written. Throws IniWriteError.
void IniWriteBool(ProfileFile& ini, const std::string& section, const std::string& key, bool flag);
/// Erases a whole section (nothing when it is missing).
void IniEraseSection(ProfileFile& ini, const std::string& section);

/// Flushes the file (the end of every file-level operation); throws IniWriteError with
/// the reason when it cannot be written.
void IniFlush(ProfileFile& ini);

/// The values a save could not store, one message each in the order met, as
/// IniWriteError gives it: '<file>: [<section>] <why>'. A value the settings file cannot
/// hold (a key with a double quote followed by "=", a line break) costs that value only:
/// the saves below go on with the next one and report it here.
using IniRefusals = std::vector<std::string>;

/// The text that tells the user which values were not saved (empty refusals: "").
std::string IniRefusalsText(const IniRefusals& refusals);

// ---- Lists -----------------------------------------------------------------------

/// Erases the section, then writes one entry per item with IniWriteStr: key = the
/// item's index in decimal, or with keysFromObjects the item's number; value = its text.
/// A value that cannot be stored is skipped and reported.
IniRefusals SaveStrings(
    ProfileFile& ini, const std::string& section, const std::vector<IniListItem>& list, bool keysFromObjects);
/// Appends one item per entry of the section, in file order: text = the value; with
/// keysToObjects the key's number is attached (0 when the key is no number).
void LoadStrings(
    const ProfileFile& ini, const std::string& section, std::vector<IniListItem>& list, bool keysToObjects);

/// The section holding the check marks of a check list saved under section.
std::string CheckedSection(const std::string& section);

/// withItems: SaveStrings of the texts (keys by index). Then erases section + " Checked"
/// and writes there key = item text, value "1" for every checked item, so texts equal
/// but for letter case share one key. A text that cannot be a key loses its check mark
/// only; the refusals are returned.
IniRefusals SaveCheckList(
    ProfileFile& ini, const std::string& section, const std::vector<IniListItem>& list, bool withItems);
/// withItems: clears the list and loads it with LoadStrings (keys to objects). Then
/// every item's check mark is read from section + " Checked" (default unchecked).
void LoadCheckList(const ProfileFile& ini, const std::string& section, std::vector<IniListItem>& list, bool withItems);

// ---- Bounds ----------------------------------------------------------------------

/// Writes name + ".Top", ".Left", ".Width", ".Height" with IniWriteInt, in this order,
/// under section (an empty section means name). A failing write ends it silently.
void SaveBounds(ProfileFile& ini, const std::string& section, const std::string& name, const IniBounds& bounds);
/// Reads name + ".Width", ".Height", ".Left", ".Top" (default 0) and applies to bounds
/// each value other than 0; a stored 0 leaves that bound as it was.
void LoadBounds(const ProfileFile& ini, const std::string& section, const std::string& name, IniBounds& bounds);

// ---- Combo-box history -------------------------------------------------------------

/// Puts the text at the top of the list unless it is empty or already there (ignoring
/// ASCII case); the entry at historyMaxIndex goes first, so at most 31 stay.
void AddToHistory(IniHistory& history);
/// AddToHistory; then "Current" = the text in double quotes and "0", "1", ... = the
/// entries in double quotes, each with IniWriteStr. The section is not erased first.
void SaveHistory(ProfileFile& ini, const std::string& section, IniHistory& history);
/// Appends the non-empty values of keys "0" to "30" that are not in the list yet. Then a
/// list-only box selects its first entry; any other takes "Current" (empty if missing).
void LoadHistory(const ProfileFile& ini, const std::string& section, IniHistory& history);
/// LoadHistory; an empty text then becomes def; then AddToHistory.
void LoadHistoryDef(const ProfileFile& ini, const std::string& section, IniHistory& history, const std::string& def);
