#include "app/models/InfoPageModel.h"

#include "util/Utf8.h"

#include <QSize>

#include <algorithm>

namespace {

// Rows as wide as this many characters at most, so that a pathological name does not
// make the view's sideways range overflow.
constexpr size_t widestShown = 100000;

} // namespace

InfoPageModel::InfoPageModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

void InfoPageModel::setText(const QString& text)
{
    beginResetModel();
    m_text.clear();
    for (const QString& line : text.split(QLatin1Char('\n')))
        m_text.push_back(line);
    for (const QString& line : m_text)
        m_widestChars = std::max(m_widestChars, static_cast<size_t>(line.size()));
    endResetModel();
}

void InfoPageModel::appendText(const QString& line)
{
    const int row = static_cast<int>(m_text.size());
    beginInsertRows(QModelIndex(), row, row);
    m_text.push_back(line);
    m_widestChars = std::max(m_widestChars, static_cast<size_t>(line.size()));
    endInsertRows();
}

void InfoPageModel::appendName(std::string_view name)
{
    const size_t known = m_table.count();
    const uint32_t number = m_table.intern(name);
    if (m_table.count() != known)
        m_widestChars = std::max(m_widestChars, Utf8Length(name));
    m_names.push_back(number);
}

void InfoPageModel::publish()
{
    if (pendingNames() == 0)
        return;
    const auto first = static_cast<int>(m_text.size() + m_publishedNames);
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(pendingNames()) - 1);
    m_publishedNames = m_names.size();
    endInsertRows();
}

void InfoPageModel::setLineMetrics(int charWidth, int lineHeight)
{
    m_charWidth = charWidth;
    m_lineHeight = lineHeight;
}

int InfoPageModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_text.size() + m_publishedNames);
}

QVariant InfoPageModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const auto row = static_cast<size_t>(index.row());
        if (row < m_text.size())
            return m_text[row];
        const std::string_view name = m_table.name(m_names[row - m_text.size()]);
        return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }
    case Qt::SizeHintRole:
        if (m_lineHeight <= 0)
            return {};
        return QSize(static_cast<int>(std::min(m_widestChars + 2, widestShown)) * m_charWidth, m_lineHeight);
    default:
        return {};
    }
}
