#pragma once

#include <QAbstractItemView>

/// A list box of millions of text lines (the result lists, the Info page): one row per
/// line of the model's first column, every row of the same height, scrolled a line at a
/// time downwards and by pixels sideways to the end of the widest line (the width the
/// model answers for SizeHintRole, which its rows share).
///
/// It keeps nothing per row: a row's place is its number times the row height, and the
/// row under a point is the point's height divided by it. A QListView lays every row out
/// again from the first at each insertion and shows nothing until it reaches the last
/// (a list of 3.4 million lines stayed blank for most of a second after a scan), and a
/// table view's header keeps an item per row and sums their heights again after each
/// insertion (400 MB and most of the window's time at 35 million lines). Here an
/// insertion only moves the scroll bar's end, and rows show as soon as they are inserted.
///
/// Keys act as in a list: Up, Down, Page Up, Page Down, Home and End move the current
/// line; Tab leaves the list.
class TResultList : public QAbstractItemView {
    Q_OBJECT
public:
    explicit TResultList(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;

    /// The height of every row, in pixels.
    int rowHeight() const noexcept { return m_rowHeight; }

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;

private:
    int rows() const;
    /// The first row shown (the vertical scroll bar counts rows).
    int firstRow() const;
    /// Rows the viewport shows whole (at least one).
    int rowsShown() const;
    /// The row at a height in the viewport, not checked against the rows there are.
    int rowAt(int y) const;
    /// Sets the row height from the font (its line height and a little room).
    void fitRowHeight();
    /// Takes the widest line's width from the model and sets the scroll ranges.
    void fitContents();

    int m_rowHeight = 16;
    int m_contentWidth = 0;
};
