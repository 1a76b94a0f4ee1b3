#include "app/widgets/TCheckListBox.h"

#include "util/CaseFold.h"

#include <QMouseEvent>

TCheckListBox::TCheckListBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

int TCheckListBox::addItem(const QString& text)
{
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return count() - 1;
}

void TCheckListBox::deleteItem(int index)
{
    if (index >= 0 && index < count()) {
        delete takeItem(index);
        setItemIndex(-1);
    }
}

int TCheckListBox::itemIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TCheckListBox::setItemIndex(int index)
{
    if (index >= 0 && index < count()) {
        setCurrentRow(index);
        return;
    }
    clearSelection();
    setCurrentIndex(QModelIndex());
}

QString TCheckListBox::itemText(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

bool TCheckListBox::checked(int index) const
{
    const QListWidgetItem* it = item(index);
    return it && it->checkState() == Qt::Checked;
}

void TCheckListBox::setChecked(int index, bool on)
{
    if (QListWidgetItem* it = item(index))
        it->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

int TCheckListBox::indexOfText(const QString& text) const
{
    const std::string wanted = text.toStdString();
    for (int i = 0; i < count(); ++i)
        if (SameName(item(i)->text().toStdString(), wanted))
            return i;
    return -1;
}

void TCheckListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListWidget::mouseDoubleClickEvent(event);
    if (!itemAt(event->position().toPoint()))
        setItemIndex(-1);
    Q_EMIT dblClick();
}
