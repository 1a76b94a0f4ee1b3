#include "app/widgets/TShellTreeView.h"

#include "app/models/ShellFolderModel.h"

#include <QMouseEvent>

TShellTreeView::TShellTreeView(ShellFolderModel* model, QWidget* parent)
    : QTreeView(parent)
    , m_model(model)
{
    setModel(model);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(19);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A double click queues the folder; it must not also fold the row away.
    setExpandsOnDoubleClick(false);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            Q_EMIT click();
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            Q_EMIT dblClick();
    });
}

void TShellTreeView::setRoot(const std::string& root)
{
    m_model->setRootPath(root);
    const QModelIndex rootIndex = m_model->rootFolderIndex();
    if (rootIndex.isValid())
        expand(rootIndex);
    clearSelection();
    setCurrentIndex(QModelIndex());
}

std::string TShellTreeView::root() const
{
    return m_model->rootPath();
}

std::string TShellTreeView::selectedPath() const
{
    const QModelIndexList selected = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return selected.isEmpty() ? std::string() : m_model->pathOf(selected.first());
}

void TShellTreeView::selectIndex(const QModelIndex& index)
{
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TShellTreeView::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    // A right click selects the row under the mouse, as a left click does.
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid())
            selectIndex(index);
    }
}
