#pragma once

#include <QListWidget>

/// A list of texts with a check mark each (the work queue). `itemIndex` is the
/// selected row, -1 for none. The settings walk stores the items and their marks.
///
/// Like the list box the program was designed with, the selection is the row the user
/// picked and nothing else: removing an item leaves no row selected (Qt would make the
/// next row current and show it selected), and a double click outside every item
/// selects none before `dblClick` is emitted, so a handler that acts on the selected
/// row does nothing then.
class TCheckListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TCheckListBox(QWidget* parent = nullptr);

    /// Appends an unchecked item and returns its index.
    int addItem(const QString& text);
    /// Removes the item at index (nothing for an index outside the list); afterwards no
    /// item is selected.
    void deleteItem(int index);

    QString itemText(int index) const;
    bool checked(int index) const;
    void setChecked(int index, bool on);

    /// The selected row, -1 for none.
    int itemIndex() const;
    /// Selects the row (an index outside the list selects none).
    void setItemIndex(int index);

    /// Index of the first item equal to text without regard to case (Unicode case folding,
    /// so '\\FS1\DATA\MÜLLER' finds '\\fs1\data\müller'), -1 if none.
    int indexOfText(const QString& text) const;

Q_SIGNALS:
    /// A double click anywhere in the list (on an item or on empty space).
    void dblClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
