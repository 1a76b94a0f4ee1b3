#pragma once

// D_Ini, widget half: stores and restores the state of controls in the settings file,
// each under its objectName, by kind:
//
//   QLineEdit                  key = name: the text
//   QComboBox, editable        section "History " + name: the history (SaveHistory)
//   QComboBox, not editable    key = name: the selected text
//   QCheckBox                  key = name: "1"/"0"
//   QSpinBox                   key = name: the value
//   QSlider                    key = name: the position
//   TRadioGroup                key = name: the selected index
//   TCheckListBox              section + " " + name, key = item text: its check mark
//   QTableWidget               section + " " + name: RowCount, ColCount, FixedRows,
//                              FixedCols, Cell.<col>.<row>
//   containers                 the same section, their own children: a widget of the
//                              plain classes QWidget or QFrame (a panel), a tab page of
//                              a QTabWidget, and forms (QMainWindow, QDialog)
//   anything else (buttons, labels, group boxes, tab widgets, ...)  nothing
//
// A container's children are its direct child widgets in creation order. Each child is
// stored inside its own error guard: a failure loses that control only (and a check
// list's items are stored one by one, so there a failure loses one item). Restoring
// cannot fail: a missing or unusable value leaves the control as it is.
// Restoring passes the control's current state as the default, so a missing key leaves
// it as it is.
//
// Bounds are pos() and size(): for a window the frame's top-left corner (what move()
// takes) and the size of its client area (what resize() takes), so a stored window
// comes back exactly where and as large as it was, whatever the window manager's frame.

#include "settings/D_Ini.h"

#include <string>

class QComboBox;
class QWidget;
class TCheckListBox;

// ---- File-level operations: each opens the settings file and closes it again --------

/// Restores the children of container from section. Never reports an error.
void LoadControlsFromFile(const std::string& fileName, const std::string& section, QWidget* container);
/// Restores the items and check marks of list from section (LoadCheckListItems).
/// Never reports an error.
void LoadCheckListFromFile(const std::string& fileName, const std::string& section, TCheckListBox* list);
/// Restores window's position and size from section (LoadBounds). Never reports an error.
void LoadBoundsFromFile(const std::string& fileName, const std::string& section, QWidget* window);

/// Stores the items and check marks of list under section (SaveCheckListItems). A value
/// the file cannot hold is skipped and returned; throws IniWriteError when the file
/// cannot be written, and the file is then left as it was.
IniRefusals SaveCheckListToFile(const std::string& fileName, const std::string& section, TCheckListBox* list);
/// Stores the children of container under section (SaveControls). A control that cannot
/// be stored is skipped and returned; throws IniWriteError when the file cannot be
/// written.
IniRefusals SaveControlsToFile(const std::string& fileName, const std::string& section, QWidget* container);
/// Stores window's position and size under section (SaveBounds). Throws IniWriteError
/// when the file cannot be written.
void SaveBoundsToFile(const std::string& fileName, const std::string& section, QWidget* window);

// ---- Operations on an open settings file ---------------------------------------------

/// Stores every child of container by kind (table above). A form (QMainWindow, QDialog)
/// uses section + " " + its name, and stores its own bounds there first. What a control
/// could not store is returned.
IniRefusals SaveControls(ProfileFile& ini, const std::string& section, QWidget* container);
/// Restores every child of container by kind; a form's bounds first, as SaveControls.
void LoadControls(const ProfileFile& ini, const std::string& section, QWidget* container);

/// Check marks (and with withItems the items, keys by index) of list, see the
/// IniListItem form in D_Ini.h. Values the file cannot hold are skipped and returned.
IniRefusals SaveCheckList(ProfileFile& ini, const std::string& section, TCheckListBox* list, bool withItems);
IniRefusals SaveCheckListItems(ProfileFile& ini, const std::string& section, TCheckListBox* list);
/// With withItems the list is cleared and refilled from section; every item's check
/// mark comes from section + " Checked" (unchecked when missing).
void LoadCheckList(const ProfileFile& ini, const std::string& section, TCheckListBox* list, bool withItems);
void LoadCheckListItems(const ProfileFile& ini, const std::string& section, TCheckListBox* list);

/// The control's bounds as stored (see above).
IniBounds ControlBounds(const QWidget* control);
/// name.Top/.Left/.Width/.Height under section (empty: the control's name); errors are
/// discarded.
void SaveBounds(ProfileFile& ini, const std::string& section, QWidget* control);
/// Applies each stored bound other than 0; a stored 0 or a missing key leaves it.
void LoadBounds(const ProfileFile& ini, const std::string& section, QWidget* control);

/// History of an editable combo box (its own list, newest first, at most 31 entries).
void AddToHistory(QComboBox* box);
void SaveHistory(ProfileFile& ini, const std::string& section, QComboBox* box);
void LoadHistory(const ProfileFile& ini, const std::string& section, QComboBox* box);
void LoadHistoryDef(const ProfileFile& ini, const std::string& section, QComboBox* box, const std::string& def);
