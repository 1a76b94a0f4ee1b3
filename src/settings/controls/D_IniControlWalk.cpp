// SaveControls / LoadControls: the walk over a container's children by control kind.

#include "settings/controls/D_IniControls.h"

#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "util/D_Util.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLineEdit>
#include <QMainWindow>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>

#include <algorithm>

namespace {

enum class Kind { None, Edit, Combo, Spin, Radio, TrackBar, CheckBox, CheckList, Grid, Container };

// A grid larger than this read from a file is taken as damage and not applied.
constexpr int maxGridSide = 100000;
constexpr long long maxGridCells = 1000000;

std::string nameOf(const QObject* object)
{
    return object->objectName().toStdString();
}

bool isForm(const QWidget* w)
{
    return qobject_cast<const QMainWindow*>(w) || qobject_cast<const QDialog*>(w);
}

bool isTabPage(const QWidget* w)
{
    const QWidget* stack = w->parentWidget();
    return qobject_cast<const QStackedWidget*>(stack) && qobject_cast<const QTabWidget*>(stack->parentWidget());
}

// The kind of a child control. The specific kinds come first: TRadioGroup is a
// QGroupBox and TCheckListBox and QTableWidget are QFrames, none of them a container.
// A form counts as a container only when it is embedded, not a window of its own.
Kind kindOf(const QWidget* w)
{
    if (qobject_cast<const QLineEdit*>(w))
        return Kind::Edit;
    if (qobject_cast<const QComboBox*>(w))
        return Kind::Combo;
    if (qobject_cast<const QSpinBox*>(w))
        return Kind::Spin;
    if (qobject_cast<const TRadioGroup*>(w))
        return Kind::Radio;
    if (qobject_cast<const QSlider*>(w))
        return Kind::TrackBar;
    if (qobject_cast<const QCheckBox*>(w))
        return Kind::CheckBox;
    if (qobject_cast<const TCheckListBox*>(w))
        return Kind::CheckList;
    if (qobject_cast<const QTableWidget*>(w))
        return Kind::Grid;
    const QMetaObject* meta = w->metaObject();
    if (meta == &QWidget::staticMetaObject || meta == &QFrame::staticMetaObject || isTabPage(w)
        || (isForm(w) && !w->isWindow()))
        return Kind::Container;
    return Kind::None;
}

QList<QWidget*> childWidgets(QWidget* container)
{
    QList<QWidget*> out;
    for (QObject* child : container->children())
        if (child->isWidgetType())
            out.append(static_cast<QWidget*>(child));
    return out;
}

std::string gridCellKey(int col, int row)
{
    return Format("Cell.%d.%d", col, row);
}

QString cellText(const QTableWidget* grid, int row, int col)
{
    const QTableWidgetItem* item = grid->item(row, col);
    return item ? item->text() : QString();
}

void saveGrid(ProfileFile& ini, const std::string& section, QTableWidget* grid)
{
    IniEraseSection(ini, section);
    IniWriteInt(ini, section, "RowCount", grid->rowCount());
    IniWriteInt(ini, section, "ColCount", grid->columnCount());
    // A Qt table keeps its headers outside the cells: it has no fixed rows or columns.
    IniWriteInt(ini, section, "FixedRows", 0);
    IniWriteInt(ini, section, "FixedCols", 0);
    for (int c = 0; c < grid->columnCount(); ++c)
        for (int r = 0; r < grid->rowCount(); ++r)
            IniWriteStr(ini, section, gridCellKey(c, r), cellText(grid, r, c).toStdString());
}

void loadGrid(const ProfileFile& ini, const std::string& section, QTableWidget* grid)
{
    const int rows = IniReadInt(ini, section, "RowCount", grid->rowCount());
    const int cols = IniReadInt(ini, section, "ColCount", grid->columnCount());
    IniReadInt(ini, section, "FixedRows", 0); // read for completeness; nothing to apply (see saveGrid)
    IniReadInt(ini, section, "FixedCols", 0);
    if (rows >= 0 && cols >= 0 && rows <= maxGridSide && cols <= maxGridSide
        && static_cast<long long>(rows) * cols <= maxGridCells) {
        grid->setRowCount(rows);
        grid->setColumnCount(cols);
    }
    for (int c = 0; c < grid->columnCount(); ++c)
        for (int r = 0; r < grid->rowCount(); ++r) {
            const QString current = cellText(grid, r, c);
            const QString text
                = QString::fromStdString(IniReadStr(ini, section, gridCellKey(c, r), current.toStdString()));
            if (text == current)
                continue;
            if (QTableWidgetItem* item = grid->item(r, c))
                item->setText(text);
            else
                grid->setItem(r, c, new QTableWidgetItem(text));
        }
}

void saveChild(ProfileFile& ini, const std::string& section, QWidget* w, IniRefusals& refusals)
{
    const std::string name = nameOf(w);
    switch (kindOf(w)) {
    case Kind::Edit:
        IniWriteStr(ini, section, name, static_cast<QLineEdit*>(w)->text().toStdString());
        break;
    case Kind::Combo: {
        auto* box = static_cast<QComboBox*>(w);
        if (box->isEditable())
            SaveHistory(ini, "History " + name, box);
        else
            IniWriteStr(ini, section, name, box->currentText().toStdString());
        break;
    }
    case Kind::Spin:
        IniWriteInt(ini, section, name, static_cast<QSpinBox*>(w)->value());
        break;
    case Kind::Radio:
        IniWriteInt(ini, section, name, static_cast<TRadioGroup*>(w)->itemIndex());
        break;
    case Kind::TrackBar:
        IniWriteInt(ini, section, name, static_cast<QSlider*>(w)->value());
        break;
    case Kind::CheckBox:
        IniWriteBool(ini, section, name, static_cast<QCheckBox*>(w)->isChecked());
        break;
    case Kind::CheckList: {
        auto* list = static_cast<TCheckListBox*>(w);
        for (int i = 0; i < list->count(); ++i) {
            try {
                IniWriteBool(ini, section + " " + name, list->itemText(i).toStdString(), list->checked(i));
            } catch (const IniWriteError& error) {
                refusals.emplace_back(error.what());
            }
        }
        break;
    }
    case Kind::Grid:
        saveGrid(ini, section + " " + name, static_cast<QTableWidget*>(w));
        break;
    case Kind::Container: {
        IniRefusals inner = SaveControls(ini, section, w);
        refusals.insert(refusals.end(), inner.begin(), inner.end());
        break;
    }
    case Kind::None:
        break;
    }
}

void loadChild(const ProfileFile& ini, const std::string& section, QWidget* w)
{
    const std::string name = nameOf(w);
    switch (kindOf(w)) {
    case Kind::Edit: {
        auto* edit = static_cast<QLineEdit*>(w);
        edit->setText(QString::fromStdString(IniReadStr(ini, section, name, edit->text().toStdString())));
        break;
    }
    case Kind::Combo: {
        auto* box = static_cast<QComboBox*>(w);
        const std::string text = IniReadStr(ini, section, name, box->currentText().toStdString());
        if (box->isEditable())
            LoadHistoryDef(ini, "History " + name, box, text);
        else
            box->setCurrentIndex(box->findText(QString::fromStdString(text), Qt::MatchFixedString));
        break;
    }
    case Kind::Spin: {
        auto* spin = static_cast<QSpinBox*>(w);
        spin->setValue(IniReadInt(ini, section, name, spin->value()));
        break;
    }
    case Kind::Radio: {
        auto* group = static_cast<TRadioGroup*>(w);
        group->setItemIndex(IniReadChoiceIndex(ini, section, name, group->count(), group->itemIndex()));
        break;
    }
    case Kind::TrackBar: {
        auto* slider = static_cast<QSlider*>(w);
        slider->setValue(IniReadInt(ini, section, name, slider->value()));
        break;
    }
    case Kind::CheckBox: {
        auto* box = static_cast<QCheckBox*>(w);
        box->setChecked(IniReadBool(ini, section, name, box->isChecked()));
        break;
    }
    case Kind::CheckList: {
        auto* list = static_cast<TCheckListBox*>(w);
        for (int i = 0; i < list->count(); ++i)
            list->setChecked(
                i, IniReadBool(ini, section + " " + name, list->itemText(i).toStdString(), list->checked(i)));
        break;
    }
    case Kind::Grid:
        loadGrid(ini, section + " " + name, static_cast<QTableWidget*>(w));
        break;
    case Kind::Container:
        LoadControls(ini, section, w);
        break;
    case Kind::None:
        break;
    }
}

} // namespace

IniRefusals SaveControls(ProfileFile& ini, const std::string& section, QWidget* container)
{
    IniRefusals refusals;
    std::string sec = section;
    if (isForm(container)) {
        sec = section + " " + nameOf(container);
        SaveBounds(ini, sec, container);
    }
    for (QWidget* child : childWidgets(container)) {
        try {
            saveChild(ini, sec, child, refusals);
        } catch (const std::exception& error) {
            // This control is not stored; the others still are.
            refusals.emplace_back(error.what());
        }
    }
    return refusals;
}

void LoadControls(const ProfileFile& ini, const std::string& section, QWidget* container)
{
    std::string sec = section;
    if (isForm(container)) {
        sec = section + " " + nameOf(container);
        LoadBounds(ini, sec, container);
    }
    // Reading a control cannot fail (a missing or unusable value keeps its state), so
    // there is no per-control guard as for saving.
    for (QWidget* child : childWidgets(container))
        loadChild(ini, sec, child);
}
