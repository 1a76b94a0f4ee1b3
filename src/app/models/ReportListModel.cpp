#include "app/models/ReportListModel.h"

#include <utility>

ReportListModel::ReportListModel(QObject* parent)
    : QAbstractListModel(parent)
{
    m_timer.setInterval(feedIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ReportListModel::flush);
}

void ReportListModel::flush()
{
    const auto count = static_cast<int>(m_lines.count());
    if (count < m_shown) {
        // The store shrank without the model being told: start again from what it holds.
        beginResetModel();
        m_shown = count;
        endResetModel();
    } else if (count > m_shown) {
        beginInsertRows(QModelIndex(), m_shown, count - 1);
        m_shown = count;
        endInsertRows();
    }
}

void ReportListModel::clear()
{
    beginResetModel();
    m_lines.clear();
    m_shown = 0;
    endResetModel();
}

void ReportListModel::replaceAll(ReportList&& lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    m_shown = static_cast<int>(m_lines.count());
    endResetModel();
}

void ReportListModel::textsChanged()
{
    if (m_shown > 0)
        Q_EMIT dataChanged(index(0), index(m_shown - 1), { Qt::DisplayRole });
}

void ReportListModel::setFeeding(bool on)
{
    if (on) {
        m_timer.start();
    } else {
        m_timer.stop();
        flush();
    }
}

int ReportListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shown;
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() != 0 || index.row() < 0 || index.row() >= m_shown)
        return {};
    const auto row = static_cast<size_t>(index.row());
    if (row >= m_lines.count())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        m_text.clear();
        m_lines.appendText(row, m_text);
        return QString::fromUtf8(m_text.data(), static_cast<qsizetype>(m_text.size()));
    }
    case KindCodeRole:
        return m_lines.code(row);
    default:
        return {};
    }
}
