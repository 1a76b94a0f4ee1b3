#include "app/widgets/TRadioGroup.h"

#include <QRadioButton>
#include <QVBoxLayout>

TRadioGroup::TRadioGroup(const QString& title, QWidget* parent)
    : QGroupBox(title, parent)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(8, 4, 8, 4);
    m_layout->setSpacing(2);
    m_layout->addStretch(1);
    m_group.setExclusive(true);
    connect(&m_group, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == m_index)
            return;
        m_index = id;
        Q_EMIT clicked();
    });
}

void TRadioGroup::setItems(const QStringList& items)
{
    clear();
    for (const QString& item : items)
        addItem(item);
}

void TRadioGroup::addItem(const QString& text, const QVariant& data)
{
    auto* button = new QRadioButton(text, this);
    button->setObjectName(QStringLiteral("%1_item%2").arg(objectName()).arg(m_buttons.size()));
    m_group.addButton(button, static_cast<int>(m_buttons.size()));
    m_layout->insertWidget(m_layout->count() - 1, button);
    m_buttons.append(button);
    m_data.append(data);
}

void TRadioGroup::clear()
{
    for (QRadioButton* button : m_buttons) {
        m_group.removeButton(button);
        delete button;
    }
    m_buttons.clear();
    m_data.clear();
    m_index = -1;
}

QString TRadioGroup::itemText(int index) const
{
    return index >= 0 && index < count() ? m_buttons[index]->text() : QString();
}

QVariant TRadioGroup::itemData(int index) const
{
    return index >= 0 && index < count() ? m_data[index] : QVariant();
}

QStringList TRadioGroup::items() const
{
    QStringList out;
    for (const QRadioButton* button : m_buttons)
        out.append(button->text());
    return out;
}

int TRadioGroup::itemIndex() const
{
    return m_group.checkedId();
}

void TRadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < count()) {
        m_buttons[index]->setChecked(true);
        m_index = index;
        return;
    }
    m_index = -1;
    // An exclusive group cannot uncheck its checked button; lift exclusivity briefly.
    m_group.setExclusive(false);
    for (QRadioButton* button : m_buttons)
        button->setChecked(false);
    m_group.setExclusive(true);
}

void TRadioGroup::click(int index)
{
    const int before = m_index;
    setItemIndex(index);
    if (m_index != before)
        Q_EMIT clicked();
}
