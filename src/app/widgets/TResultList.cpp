#include "app/widgets/TResultList.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionViewItem>

#include <algorithm>
#include <climits>

TResultList::TResultList(QWidget* parent)
    : QAbstractItemView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setTextElideMode(Qt::ElideNone);
    setTabKeyNavigation(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    fitRowHeight();
}

void TResultList::setModel(QAbstractItemModel* model)
{
    if (QAbstractItemModel* old = this->model())
        disconnect(old, nullptr, this, nullptr);
    QAbstractItemView::setModel(model);
    if (!model)
        return;
    // The rows and the widest line change with the lines (a scan adds them, a filter
    // or a rebuild replaces them, long names rewrite them).
    for (const auto signal : { &QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved })
        connect(model, signal, this, &TResultList::fitContents);
    connect(model, &QAbstractItemModel::modelReset, this, &TResultList::fitContents);
    connect(model, &QAbstractItemModel::layoutChanged, this, &TResultList::fitContents);
    connect(model, &QAbstractItemModel::dataChanged, this, &TResultList::fitContents);
    fitContents();
}

int TResultList::rows() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int TResultList::firstRow() const
{
    return verticalScrollBar()->value();
}

int TResultList::rowsShown() const
{
    return std::max(1, viewport()->height() / m_rowHeight);
}

int TResultList::rowAt(int y) const
{
    return firstRow() + (y >= 0 ? y / m_rowHeight : (y - m_rowHeight + 1) / m_rowHeight);
}

QRect TResultList::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != model() || index.row() >= rows())
        return {};
    const qint64 top = qint64(index.row() - firstRow()) * m_rowHeight;
    // Far away rows are put just outside the viewport (their place would not fit an int).
    const int y = static_cast<int>(std::clamp<qint64>(top, -m_rowHeight, viewport()->height()));
    return { -horizontalOffset(), y, std::max(m_contentWidth, viewport()->width()), m_rowHeight };
}

QModelIndex TResultList::indexAt(const QPoint& point) const
{
    if (!model() || point.y() < 0 || point.x() + horizontalOffset() >= std::max(m_contentWidth, viewport()->width()))
        return {};
    const int row = rowAt(point.y());
    return row < rows() ? model()->index(row, 0, rootIndex()) : QModelIndex();
}

void TResultList::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid() || index.row() >= rows())
        return;
    const int row = index.row();
    const int shown = rowsShown();
    int first = firstRow();
    switch (hint) {
    case EnsureVisible:
        if (row < first)
            first = row;
        else if (row >= first + shown)
            first = row - shown + 1;
        break;
    case PositionAtTop:
        first = row;
        break;
    case PositionAtBottom:
        first = row - shown + 1;
        break;
    case PositionAtCenter:
        first = row - shown / 2;
        break;
    }
    verticalScrollBar()->setValue(first);
}

void TResultList::dataChanged(const QModelIndex&, const QModelIndex&, const QList<int>&)
{
    // Repaint the rows shown. (The base class asks every changed row for its place to
    // find what to repaint: a quarter of a second when long names rewrite 3.4 M lines.)
    viewport()->update();
}

QModelIndex TResultList::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const int count = rows();
    if (count == 0)
        return {};
    const QModelIndex current = currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    int next = row;
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        next = row - 1;
        break;
    case MoveDown:
    case MoveNext:
        next = row + 1;
        break;
    case MovePageUp:
        next = row - rowsShown();
        break;
    case MovePageDown:
        next = row + rowsShown();
        break;
    case MoveHome:
        next = 0;
        break;
    case MoveEnd:
        next = count - 1;
        break;
    case MoveLeft:
    case MoveRight:
        // One column: sideways keys scroll the long lines.
        horizontalScrollBar()->triggerAction(
            cursorAction == MoveLeft ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
        return current;
    }
    return model()->index(std::clamp(next, 0, count - 1), 0, rootIndex());
}

int TResultList::horizontalOffset() const
{
    return horizontalScrollBar()->value();
}

int TResultList::verticalOffset() const
{
    // Item views keep pressed points in content coordinates; rows beyond what an int
    // holds in pixels are out of reach of a mouse anyway.
    return static_cast<int>(std::min<qint64>(qint64(firstRow()) * m_rowHeight, INT_MAX / 2));
}

bool TResultList::isIndexHidden(const QModelIndex&) const
{
    return false;
}

void TResultList::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    const int count = rows();
    if (count == 0 || !selectionModel())
        return;
    const QRect area = rect.normalized();
    const int top = std::clamp(rowAt(area.top()), 0, count - 1);
    const int bottom = std::clamp(rowAt(area.bottom()), 0, count - 1);
    selectionModel()->select(
        QItemSelection(model()->index(top, 0, rootIndex()), model()->index(bottom, 0, rootIndex())), command);
}

QRegion TResultList::visualRegionForSelection(const QItemSelection& selection) const
{
    QRegion region;
    const int first = firstRow();
    const int last = first + rowsShown();
    for (const QItemSelectionRange& range : selection) {
        const int top = std::max(range.top(), first - 1);
        const int bottom = std::min(range.bottom(), last + 1);
        if (top <= bottom)
            region += QRect(0, (top - first) * m_rowHeight, viewport()->width(), (bottom - top + 1) * m_rowHeight);
    }
    return region;
}

void TResultList::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const int count = rows();
    if (count == 0)
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex current = currentIndex();
    const int first = std::max(0, rowAt(event->rect().top()));
    const int last = std::min(count - 1, rowAt(event->rect().bottom()));
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        QStyleOptionViewItem rowOption = option;
        rowOption.rect = visualRect(index);
        if (selectionModel() && selectionModel()->isSelected(index))
            rowOption.state |= QStyle::State_Selected;
        if (index == current && hasFocus())
            rowOption.state |= QStyle::State_HasFocus;
        itemDelegateForIndex(index)->paint(&painter, rowOption, index);
    }
}

void TResultList::resizeEvent(QResizeEvent* event)
{
    QAbstractItemView::resizeEvent(event);
    updateGeometries();
}

void TResultList::changeEvent(QEvent* event)
{
    QAbstractItemView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitRowHeight();
        updateGeometries();
    }
}

void TResultList::scrollContentsBy(int, int)
{
    // The vertical bar counts rows, not pixels: paint what is shown now.
    viewport()->update();
}

void TResultList::updateGeometries()
{
    const int shown = rowsShown();
    QScrollBar* down = verticalScrollBar();
    down->setRange(0, std::max(0, rows() - shown));
    down->setPageStep(shown);
    down->setSingleStep(1);
    QScrollBar* across = horizontalScrollBar();
    across->setRange(0, std::max(0, m_contentWidth - viewport()->width()));
    across->setPageStep(viewport()->width());
    across->setSingleStep(std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('N')) * 2));
    QAbstractItemView::updateGeometries();
}

void TResultList::fitRowHeight()
{
    m_rowHeight = std::max(1, fontMetrics().height() + 2);
}

void TResultList::fitContents()
{
    const QAbstractItemModel* lines = model();
    m_contentWidth = lines && rows() > 0 ? lines->index(0, 0, rootIndex()).data(Qt::SizeHintRole).toSize().width() : 0;
    updateGeometries();
    viewport()->update();
}
