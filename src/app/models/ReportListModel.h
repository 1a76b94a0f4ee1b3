#pragma once

#include "scan/ReportList.h"

#include <QAbstractListModel>
#include <QTimer>

#include <string>

/// The list model behind ListBoxResults and ListBoxByObj: one row per line of a
/// ReportList that the model owns. Lines are appended to the store directly (the scan
/// writes into `lines()`); they become rows at the next `flush`, so a scan of millions of
/// lines costs one beginInsertRows per batch instead of one per line. While feeding is
/// on, a short timer flushes by itself whenever the event loop runs. A row's text is
/// made from the line's structure when a view asks for it.
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

    /// Rows published so far (may lag behind lines().count() until the next flush).
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    /// DisplayRole: the line's text; KindCodeRole: its kind code.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    static constexpr int feedIntervalMs = 40;

private:
    ReportList m_lines;
    mutable std::string m_text; // the text data() makes, kept for its capacity
    int m_shown = 0;
    QTimer m_timer;
};
