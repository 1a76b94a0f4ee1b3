#include "app/models/EffectiveRightsModel.h"

#include "export/EffectiveForms.h"
#include "netware/D_NW.h"

using namespace effective;

EffectiveRightsModel::EffectiveRightsModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void EffectiveRightsModel::showAccess(const AccessEntry* entry)
{
    beginResetModel();
    m_access = entry;
    m_map = nullptr;
    endResetModel();
}

void EffectiveRightsModel::showRightsMap(const RightsMapReport* report)
{
    beginResetModel();
    m_access = nullptr;
    m_map = report;
    endResetModel();
}

std::vector<std::string> EffectiveRightsModel::explanationOf(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return ExplanationLines(m_access ? m_access->rows[static_cast<size_t>(row)].explanation
                                     : m_map->rows[static_cast<size_t>(row)].explanation);
}

int EffectiveRightsModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    if (m_access)
        return static_cast<int>(m_access->rows.size());
    return m_map ? static_cast<int>(m_map->rows.size()) : 0;
}

int EffectiveRightsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant EffectiveRightsModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    const size_t row = static_cast<size_t>(index.row());
    std::string text;
    if (m_access) {
        const AccessRow& access = m_access->rows[row];
        text = index.column() == 0 ? access.name : BracketRights(access.rights);
    } else {
        const RightsMapRow& entry = m_map->rows[row];
        if (index.column() == 0)
            text = entry.path;
        else
            text = entry.code != 0 ? "cannot be read: " + NWErrorText(entry.code) : BracketRights(entry.rights);
    }
    return QString::fromStdString(text);
}

QVariant EffectiveRightsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    if (section == 0)
        return m_map ? tr("Path") : tr("User");
    return section == 1 ? tr("Effective rights") : QVariant();
}
