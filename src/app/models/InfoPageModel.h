#pragma once

#include "scan/ChunkedArray.h"
#include "scan/NameTable.h"

#include <QAbstractListModel>
#include <QString>

#include <string_view>
#include <vector>

/// The lines of the Info page (Memo1): the information text, then one line per trustee
/// name that a scan appended, for every entry of every scan since start-up (the page is
/// never emptied). Each distinct name is kept once, in a name table, and each appended
/// line is its number: four bytes a line, so that a scan of a million entries adds a few
/// megabytes instead of the hundred and more that a text document spends on as many
/// lines. Appended names become rows at the next `publish`, in one insertion.
///
/// The text comes first: `setText` and `appendText` are for the information text, which
/// the window sets at start-up before any scan; they put their lines before the names.
class InfoPageModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit InfoPageModel(QObject* parent = nullptr);

    /// Replaces the text lines (split at line feeds) and keeps the names.
    void setText(const QString& text);
    /// Adds one text line after the others.
    void appendText(const QString& line);
    /// Appends a name's line; it shows at the next publish.
    void appendName(std::string_view name);
    /// Publishes the names appended since the last publish as rows.
    void publish();
    /// Names appended and not yet published.
    size_t pendingNames() const noexcept { return m_names.size() - m_publishedNames; }

    /// The width of a typical character and the height of a line in the view's font:
    /// rows then answer SizeHintRole as wide as the widest line, so that a view of
    /// uniform item sizes scrolls sideways as far as that line reaches.
    void setLineMetrics(int charWidth, int lineHeight);

    /// Bytes the names hold (the table and the line numbers), for budgets.
    size_t memoryBytes() const noexcept { return m_table.memoryBytes() + m_names.memoryBytes(); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    void textChanged(int firstRow);

    std::vector<QString> m_text;
    NameTable m_table;
    ChunkedArray<uint32_t, 16> m_names; // a name number per appended line
    size_t m_publishedNames = 0;
    size_t m_widestChars = 0;
    int m_charWidth = 0;
    int m_lineHeight = 0;
};
