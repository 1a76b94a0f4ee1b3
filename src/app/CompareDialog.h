#pragma once

#include "app/DialogSave.h"

#include "export/ReportCompare.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QListView;
class QPushButton;

/// The differences between a saved XML file and the window's results, one line per
/// difference as the command line's text form writes them, with a summary above; the
/// list can be saved in the command line's three compare forms (TXT, CSV, HTML) with
/// the same bytes (the HTML form's time stamp aside). Deleted when closed.
///
/// Controls (objectName): "CompareSummary" (label), "CompareList" (list view),
/// "CompareSaveText", "CompareSaveCsv", "CompareSaveHtml" (buttons).
class CompareDialog : public QDialog {
    Q_OBJECT
public:
    /// Runs work as a long operation of the window; false when it was cancelled because
    /// the window is closing.

    /// olderName and newerName name the two sides in the HTML form; time is the run's
    /// (RunTimeText).
    CompareDialog(QWidget* parent, CompareResult result, std::string olderName, std::string newerName, std::string time,
        OperationGuard guard);
    ~CompareDialog() override;

private:
    class RowsModel;
    /// Saves the differences in a form (csv, html, or else text), asking for the file.
    void save(const char* ext);

    CompareResult m_result;
    std::string m_olderName, m_newerName, m_time;
    OperationGuard m_guard;
    RowsModel* m_model = nullptr;
    QLabel* m_summary = nullptr;
    QListView* m_list = nullptr;
};
