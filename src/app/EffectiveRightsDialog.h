#pragma once

#include "app/DialogSave.h"

#include "effective/EffectiveRun.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class EffectiveRightsModel;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableView;

/// The window's view of effective rights, in one of two modes:
/// - "who has access" at one path (a folder of the tree, or a path line of the results):
///   every user with its rights, then orphaned IDs;
/// - the rights map of one object, chosen by name (completed from the users of the
///   connection's tree), under the queued start paths with the scan's scope and pattern.
/// Selecting a row shows its explanation. A long query shows its progress and can be
/// cancelled; the answer can be saved in the command line's forms (same bytes).
///
/// Queries run as a long operation of the window (the guard given): the window locks what
/// they read, and closing it meanwhile cancels the query and closes the dialog too.
class EffectiveRightsDialog : public QDialog {
    Q_OBJECT
public:
    /// Runs work as a long operation of the window; false when it was cancelled because
    /// the window is closing.

    /// A dialog over the connection connHandle (for the users of its tree and paths in
    /// the 'VOLUME:dir' form); deleted when closed.
    EffectiveRightsDialog(QWidget* parent, uint32_t connHandle, OperationGuard guard);
    ~EffectiveRightsDialog() override;

    /// "Who has access" at path: shows the dialog and runs the query.
    void showWhoHasAccess(const std::string& path);
    /// Rights-map mode over queue: shows the dialog with the name field; runRightsMap
    /// runs it.
    void prepareRightsMap(std::vector<effective::StartPath> queue, effective::WalkChoices choices);
    /// The rights map of the object named in the name field (the "Show" button).
    void runRightsMap();
    /// Stops the running query (the "Cancel" button).
    void cancel();
    /// Saves the answer in its text form (csv false) or CSV form, asking for the file.
    void save(bool csv);

    /// Closing while a query runs cancels it first; the dialog goes once it has stopped.
    void reject() override;

    bool running() const noexcept { return m_running; }
    EffectiveRightsModel* model() const noexcept { return m_model; }

    // Controls, for the window tests.
    QLineEdit* nameEdit = nullptr;
    QPushButton* showButton = nullptr;
    QTableView* table = nullptr;
    QPlainTextEdit* explanation = nullptr;
    QProgressBar* progressBar = nullptr;
    QLabel* statusLabel = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* saveTextButton = nullptr;
    QPushButton* saveCsvButton = nullptr;

private:
    class Progress;
    /// Runs a query under the guard with progress shown; false when it did not finish.
    bool runQuery(const std::function<void(Progress&)>& query);
    void setRunning(bool running);
    void showExplanation();

    uint32_t m_conn;
    OperationGuard m_guard;
    QLabel* m_nameLabel = nullptr;
    EffectiveRightsModel* m_model = nullptr;
    std::vector<effective::StartPath> m_queue;
    effective::WalkChoices m_choices;
    std::unique_ptr<effective::AccessReport> m_access;
    std::unique_ptr<effective::RightsMapReport> m_map;
    bool m_running = false;
    bool m_cancelRequested = false;
    bool m_closeWhenDone = false;
};
