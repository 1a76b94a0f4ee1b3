#include "app/widgets/TResultList.h"

#include <QEvent>
#include <QHeaderView>

#include <algorithm>

TResultList::TResultList(QWidget* parent)
    : QTableView(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // One column, as wide as the widest line: sideways by pixels, as a list scrolls.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    fitRowHeight();
}

void TResultList::setModel(QAbstractItemModel* model)
{
    if (QAbstractItemModel* old = this->model())
        disconnect(old, nullptr, this, nullptr);
    QTableView::setModel(model);
    if (!model)
        return;
    // The widest line changes with the lines (a scan adds them, long names rewrite them).
    connect(model, &QAbstractItemModel::rowsInserted, this, &TResultList::fitColumn);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &TResultList::fitColumn);
    connect(model, &QAbstractItemModel::modelReset, this, &TResultList::fitColumn);
    connect(model, &QAbstractItemModel::layoutChanged, this, &TResultList::fitColumn);
    connect(model, &QAbstractItemModel::dataChanged, this, &TResultList::fitColumn);
    fitColumn();
}

QModelIndex TResultList::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    // A table's Home and End stay in the row (Ctrl+Home and Ctrl+End change rows); a
    // list's go to its first and last line.
    if (cursorAction == MoveHome || cursorAction == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(cursorAction, modifiers);
}

void TResultList::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    fitColumn();
}

void TResultList::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitRowHeight();
}

void TResultList::fitRowHeight()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
}

void TResultList::fitColumn()
{
    const QAbstractItemModel* rows = model();
    if (!rows || rows->columnCount() == 0)
        return;
    int width = viewport()->width();
    if (rows->rowCount() > 0)
        width = std::max(width, rows->index(0, 0).data(Qt::SizeHintRole).toSize().width());
    if (horizontalHeader()->sectionSize(0) != width)
        horizontalHeader()->resizeSection(0, width);
}
