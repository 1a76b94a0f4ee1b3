#pragma once

#include <QListWidget>

/// A list of texts with a check mark each (the work queue). `itemIndex` is the
/// selected row, -1 for none. The settings walk stores the items and their marks.
class TCheckListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TCheckListBox(QWidget* parent = nullptr);

    /// Appends an unchecked item and returns its index.
    int addItem(const QString& text);
    /// Removes the item at index (nothing for an index outside the list).
    void deleteItem(int index);

    QString itemText(int index) const;
    bool checked(int index) const;
    void setChecked(int index, bool on);

    /// The selected row, -1 for none.
    int itemIndex() const { return currentRow(); }
    void setItemIndex(int index) { setCurrentRow(index); }

    /// Index of the first item equal to text ignoring ASCII letter case, -1 if none.
    int indexOfText(const QString& text) const;

Q_SIGNALS:
    /// A double click anywhere in the list (on an item or on empty space).
    void dblClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
