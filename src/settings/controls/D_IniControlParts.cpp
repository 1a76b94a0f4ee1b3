// The check list, bounds and combo-box history of D_Ini on widgets: each copies the
// widget's state into the plain form of D_Ini.h, runs the operation there, and copies
// the result back.

#include "settings/controls/D_IniControls.h"

#include "app/widgets/TCheckListBox.h"

#include <QComboBox>
#include <QListWidgetItem>
#include <QWidget>

namespace {

// The number LoadStrings attaches to a list item (the key it came from).
constexpr int objectRole = Qt::UserRole;

std::vector<IniListItem> itemsOf(const TCheckListBox* list)
{
    std::vector<IniListItem> items;
    items.reserve(static_cast<size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i)
        items.push_back({ list->itemText(i).toStdString(), list->item(i)->data(objectRole).toInt(), list->checked(i) });
    return items;
}

IniHistory historyOf(const QComboBox* box)
{
    IniHistory history;
    for (int i = 0; i < box->count(); ++i)
        history.items.push_back(box->itemText(i).toStdString());
    history.text = box->currentText().toStdString();
    history.listOnly = !box->isEditable();
    history.itemIndex = box->currentIndex();
    return history;
}

void applyHistory(QComboBox* box, const IniHistory& history)
{
    box->clear();
    for (const std::string& item : history.items)
        box->addItem(QString::fromStdString(item));
    if (history.listOnly) {
        box->setCurrentIndex(history.itemIndex);
        return;
    }
    const QString text = QString::fromStdString(history.text);
    box->setCurrentIndex(box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    box->setEditText(text);
}

} // namespace

IniRefusals SaveCheckList(ProfileFile& ini, const std::string& section, TCheckListBox* list, bool withItems)
{
    return SaveCheckList(ini, section, itemsOf(list), withItems);
}

IniRefusals SaveCheckListItems(ProfileFile& ini, const std::string& section, TCheckListBox* list)
{
    return SaveCheckList(ini, section, list, true);
}

void LoadCheckList(const ProfileFile& ini, const std::string& section, TCheckListBox* list, bool withItems)
{
    std::vector<IniListItem> items = itemsOf(list);
    LoadCheckList(ini, section, items, withItems);
    if (withItems) {
        list->clear();
        for (const IniListItem& item : items)
            list->item(list->addItem(QString::fromStdString(item.text)))->setData(objectRole, item.object);
    }
    for (int i = 0; i < list->count(); ++i)
        list->setChecked(i, items[static_cast<size_t>(i)].checked);
}

void LoadCheckListItems(const ProfileFile& ini, const std::string& section, TCheckListBox* list)
{
    LoadCheckList(ini, section, list, true);
}

IniBounds ControlBounds(const QWidget* control)
{
    return { control->pos().x(), control->pos().y(), control->width(), control->height() };
}

void SaveBounds(ProfileFile& ini, const std::string& section, QWidget* control)
{
    SaveBounds(ini, section, control->objectName().toStdString(), ControlBounds(control));
}

void LoadBounds(const ProfileFile& ini, const std::string& section, QWidget* control)
{
    // A window moved before it is shown tells the window manager that its position was
    // chosen (Qt sets the user-position hint), so no placement mode needs changing.
    const IniBounds before = ControlBounds(control);
    IniBounds bounds = before;
    LoadBounds(ini, section, control->objectName().toStdString(), bounds);
    if (bounds.width != before.width || bounds.height != before.height)
        control->resize(bounds.width, bounds.height);
    if (bounds.left != before.left || bounds.top != before.top)
        control->move(bounds.left, bounds.top);
}

void AddToHistory(QComboBox* box)
{
    IniHistory history = historyOf(box);
    AddToHistory(history);
    applyHistory(box, history);
}

void SaveHistory(ProfileFile& ini, const std::string& section, QComboBox* box)
{
    IniHistory history = historyOf(box);
    SaveHistory(ini, section, history);
    applyHistory(box, history);
}

void LoadHistory(const ProfileFile& ini, const std::string& section, QComboBox* box)
{
    IniHistory history = historyOf(box);
    LoadHistory(ini, section, history);
    applyHistory(box, history);
}

void LoadHistoryDef(const ProfileFile& ini, const std::string& section, QComboBox* box, const std::string& def)
{
    IniHistory history = historyOf(box);
    LoadHistoryDef(ini, section, history, def);
    applyHistory(box, history);
}
