#include "app/models/ReportListModel.h"

#include <QElapsedTimer>
#include <QSize>

#include <algorithm>

#include <utility>

ReportListModel::ReportListModel(QObject* parent)
    : QAbstractListModel(parent)
{
    m_timer.setInterval(feedIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ReportListModel::flush);
    m_filterTimer.setSingleShot(true);
    m_filterTimer.setInterval(0);
    connect(&m_filterTimer, &QTimer::timeout, this, &ReportListModel::filterSlice);
}

void ReportListModel::flush()
{
    const auto count = static_cast<int>(m_lines.count());
    if (count < m_shown) {
        // The store shrank without the model being told: start again from what it holds.
        beginResetModel();
        m_shown = count;
        if (m_filter)
            restartFilter();
        endResetModel();
    } else if (count > m_shown) {
        if (m_filter) {
            m_shown = count;
            m_filterTimer.start();
        } else {
            beginInsertRows(QModelIndex(), m_shown, count - 1);
            m_shown = count;
            endInsertRows();
        }
    } else {
        return;
    }
    Q_EMIT rowsShownChanged();
}

void ReportListModel::clear()
{
    beginResetModel();
    m_lines.clear();
    m_shown = 0;
    if (m_filter)
        restartFilter();
    endResetModel();
    Q_EMIT rowsShownChanged();
}

void ReportListModel::replaceAll(ReportList&& lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    m_shown = static_cast<int>(m_lines.count());
    if (m_filter)
        restartFilter();
    endResetModel();
    Q_EMIT rowsShownChanged();
}

void ReportListModel::textsChanged()
{
    if (m_filter) {
        // Path texts changed: what the filter shows may change too.
        beginResetModel();
        restartFilter();
        endResetModel();
        Q_EMIT rowsShownChanged();
    } else if (m_shown > 0) {
        Q_EMIT dataChanged(index(0), index(m_shown - 1), { Qt::DisplayRole });
    }
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

void ReportListModel::setFilter(const ReportFilterSpec& criteria)
{
    if (!criteria.active() && !m_filter)
        return;
    beginResetModel();
    if (criteria.active()) {
        m_filter = std::make_unique<ReportFilter>(criteria);
        restartFilter();
    } else {
        m_filter.reset();
        m_rows.clear();
        m_rows.shrink_to_fit();
        m_filterTimer.stop();
    }
    endResetModel();
    Q_EMIT rowsShownChanged();
}

void ReportListModel::restartFilter()
{
    m_filter->restart();
    m_rows.clear();
    m_filterTimer.start();
}

bool ReportListModel::filtering() const noexcept
{
    return m_filter && m_filter->examined() < static_cast<size_t>(m_shown);
}

void ReportListModel::filterSlice()
{
    if (!m_filter)
        return;
    QElapsedTimer clock;
    clock.start();
    const size_t before = m_rows.size();
    const auto end = static_cast<size_t>(m_shown);
    constexpr size_t chunk = 4096;
    while (m_filter->examined() < end && clock.elapsed() < filterSliceMs)
        m_filter->run(m_lines, std::min(end, m_filter->examined() + chunk), m_rows);
    if (m_rows.size() > before) {
        // The rows were appended already; the views learn of them in one insertion.
        std::vector<uint32_t> found(m_rows.begin() + static_cast<std::ptrdiff_t>(before), m_rows.end());
        m_rows.resize(before);
        beginInsertRows(QModelIndex(), static_cast<int>(before), static_cast<int>(before + found.size() - 1));
        m_rows.insert(m_rows.end(), found.begin(), found.end());
        endInsertRows();
    }
    if (m_filter->examined() < end)
        m_filterTimer.start();
    Q_EMIT rowsShownChanged();
}

void ReportListModel::setLineMetrics(int charWidth, int lineHeight)
{
    m_charWidth = charWidth;
    m_lineHeight = lineHeight;
}

size_t ReportListModel::lineIndex(int row) const noexcept
{
    if (m_filter)
        return row >= 0 && static_cast<size_t>(row) < m_rows.size() ? m_rows[static_cast<size_t>(row)] : SIZE_MAX;
    return static_cast<size_t>(row);
}

int ReportListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_filter ? static_cast<int>(m_rows.size()) : m_shown;
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() != 0 || index.row() < 0 || index.row() >= rowCount())
        return {};
    const size_t row = lineIndex(index.row());
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
    case Qt::SizeHintRole:
        if (m_lineHeight <= 0)
            return {};
        return QSize(static_cast<int>(std::min<size_t>(m_lines.widestText() + 2, 100000)) * m_charWidth, m_lineHeight);
    default:
        return {};
    }
}
