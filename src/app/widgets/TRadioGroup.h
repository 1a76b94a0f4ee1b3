#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>
#include <QVariant>

class QVBoxLayout;

/// A titled box of radio buttons, one per item, of which at most one is selected.
/// Items may carry an associated value (the connection list keeps each connection's
/// reference there). `itemIndex` is -1 when nothing is selected. The settings walk
/// stores the selected index under the control's objectName.
///
/// Like the radio group the program was designed with, `clicked` means "the choice
/// changed": a click on the item that is already selected emits nothing (the connection
/// list would otherwise close and reopen the chosen connection).
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(const QString& title = QString(), QWidget* parent = nullptr);

    /// Replaces the items; nothing is selected afterwards.
    void setItems(const QStringList& items);
    /// Appends one item with its associated value.
    void addItem(const QString& text, const QVariant& data = QVariant());
    /// Removes every item.
    void clear();

    int count() const { return static_cast<int>(m_buttons.size()); }
    QString itemText(int index) const;
    QVariant itemData(int index) const;
    QStringList items() const;

    /// The selected item's index, -1 for none.
    int itemIndex() const;
    /// Selects the item (an index outside the items selects none). Emits no signal.
    void setItemIndex(int index);

Q_SIGNALS:
    /// The user (or `click`) chose an item other than the selected one.
    void clicked();

public Q_SLOTS:
    /// Selects the item and emits `clicked` when that changed the selection, as a user's
    /// click would.
    void click(int index);

private:
    QVBoxLayout* m_layout;
    QButtonGroup m_group;
    QList<class QRadioButton*> m_buttons;
    QList<QVariant> m_data;
    int m_index = -1; ///< the selected item as last chosen or set (-1: none)
};
