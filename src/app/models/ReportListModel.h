#pragma once

#include "scan/ReportFilter.h"
#include "scan/ReportList.h"

#include <QAbstractListModel>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

/// The list model behind ListBoxResults and ListBoxByObj: one row per line of a
/// ReportList that the model owns. Lines are appended to the store directly (the scan
/// writes into `lines()`); they become rows at the next `flush`, so a scan of millions of
/// lines costs one beginInsertRows per batch instead of one per line. While feeding is
/// on, a short timer flushes by itself whenever the event loop runs. A row's text is
/// made from the line's structure when a view asks for it.
///
/// A filter makes the model a view: its rows are then the lines the filter shows
/// (ReportFilter), found in slices of a few milliseconds each whenever the event loop
/// runs, so that a million lines are filtered without stalling the window; rows appear
/// as they are found. The store keeps every line (saves write the whole list).
///
/// The store must only be emptied through `clear` or `replaceAll` (a store that shrank
/// behind the model's back is noticed at the next flush and answered with a reset).
class ReportListModel : public QAbstractListModel {
    Q_OBJECT
public:
    /// The role that answers a row's kind code (0 or 10..18).
    static constexpr int KindCodeRole = Qt::UserRole + 1;

    explicit ReportListModel(QObject* parent = nullptr);

    /// The store. Lines appended here show up at the next flush.
    ReportList& lines() noexcept { return m_lines; }
    const ReportList& lines() const noexcept { return m_lines; }

    /// Publishes the lines appended since the last flush as rows, in one insertion.
    void flush();

    /// Removes every line (one model reset).
    void clear();

    /// Takes over a store built apart (the list by trustee) in one model reset.
    void replaceAll(ReportList&& lines);

    /// Tells the views that the texts of the published rows may have changed (long names
    /// rewrite path lines in place); the row count and codes stay.
    void textsChanged();

    /// While on, a timer flushes every `feedIntervalMs`; turning it off flushes once more.
    void setFeeding(bool on);
    bool feeding() const noexcept { return m_timer.isActive(); }

    /// Shows only the lines the criteria let through (inactive criteria show every line again).
    void setFilter(const ReportFilterSpec& criteria);
    bool filtered() const noexcept { return m_filter != nullptr; }
    /// True while a filter still has lines to examine.
    bool filtering() const noexcept;
    /// The store index of a row.
    size_t lineIndex(int row) const noexcept;
    /// Lines published so far (the "M" of "N of M lines").
    int lineCount() const noexcept { return m_shown; }
    /// The widest line's text in characters (for the views' sideways scrolling).
    size_t widestLineChars() const noexcept { return m_lines.widestText(); }

    /// The width of a typical character and the height of a line in the views' font: rows
    /// then answer SizeHintRole as wide as the widest line, so the views (of uniform item
    /// sizes) scroll sideways as far as that line reaches.
    void setLineMetrics(int charWidth, int lineHeight);

    /// Rows published so far (may lag behind lines().count() until the next flush).
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    /// DisplayRole: the line's text; KindCodeRole: its kind code; SizeHintRole (with line
    /// metrics): the widest line's width.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    static constexpr int feedIntervalMs = 40;
    /// Longest time one filter slice examines lines.
    static constexpr int filterSliceMs = 8;

Q_SIGNALS:
    /// The rows shown changed in number (a slice of filtering, a flush, a reset).
    void rowsShownChanged();

private:
    ReportList m_lines;
    mutable std::string m_text; // the text data() makes, kept for its capacity
    /// Examines lines for the filter until filterSliceMs have passed; more slices follow.
    void filterSlice();
    void restartFilter();

    int m_shown = 0;
    int m_charWidth = 0;
    int m_lineHeight = 0;
    QTimer m_timer;
    std::unique_ptr<ReportFilter> m_filter;
    std::vector<uint32_t> m_rows; ///< with a filter: the store indexes of the rows
    QTimer m_filterTimer;
};
