#pragma once

#include "effective/EffectiveRun.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

/// The rows of an effective-rights answer for a table view: for "who has access" one row
/// per user or orphaned ID (its name, its rights), for a rights map one row per listed
/// entry (its path, the object's rights there). An entry that could not be read shows
/// "cannot be read" and the error text in the rights column. The model reads the answer
/// it is given, which must outlive it or be replaced by the next one; a new answer is
/// swapped in with one reset.
class EffectiveRightsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit EffectiveRightsModel(QObject* parent = nullptr);

    /// Shows the rows of one entry of "who has access" (nullptr: none).
    void showAccess(const effective::AccessEntry* entry);
    /// Shows the rows of a rights map (nullptr: none).
    void showRightsMap(const effective::RightsMapReport* report);

    /// The explanation lines of a row, as the text forms write them (without indent);
    /// empty for a row without rights or one that could not be read.
    std::vector<std::string> explanationOf(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const effective::AccessEntry* m_access = nullptr;
    const effective::RightsMapReport* m_map = nullptr;
};
