#pragma once

#include <QTableView>

/// A list box of millions of text lines (the result lists, the Info page): one row per line of the model's
/// first column, every row of the same fixed height, the column as wide as the model's size
/// hint (which its rows share: the widest line's width) or the view, whichever is wider, so
/// that the list scrolls sideways to the end of its widest line.
///
/// It is a table view without headers or grid because a table places rows of a fixed
/// height without looking at each one: a QListView lays every row out again from the
/// first at each insertion and shows nothing until it has reached the last, which left a
/// list of 3.4 million lines blank for most of a second after a scan. Here the rows show
/// as soon as they are inserted.
///
/// Keys act as in a list: Home and End go to the first and last line; Tab leaves the list.
class TResultList : public QTableView {
    Q_OBJECT
public:
    explicit TResultList(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    /// Sets the row height from the font (its line height and a little room).
    void fitRowHeight();
    /// Makes the column as wide as the model's size hint of its first row or the view.
    void fitColumn();
};
