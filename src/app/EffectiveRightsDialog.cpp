#include "app/EffectiveRightsDialog.h"

#include "app/DialogSave.h"

#include "app/models/EffectiveRightsModel.h"
#include "app/seams/SaveFileName.h"
#include "export/EffectiveForms.h"
#include "export/ReportFile.h"
#include "netware/D_NW.h"
#include "services/ErrorBox.h"
#include "services/PendingMessages.h"
#include "services/Services.h"
#include "util/D_Util.h"

#include <QApplication>
#include <QCompleter>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStringListModel>
#include <QTableView>
#include <QVBoxLayout>

using namespace effective;

// Counts the entries examined for the status line (updated every few hundred, so the
// label costs nothing per entry) and answers the Cancel button.
class EffectiveRightsDialog::Progress : public EffectiveProgress {
public:
    explicit Progress(EffectiveRightsDialog& dialog)
        : m_dialog(dialog)
    {
    }
    void examined(const std::string&) override
    {
        if (++m_entries % 512 == 0)
            m_dialog.statusLabel->setText(tr("%L1 entries examined").arg(m_entries));
    }
    bool cancelRequested() override { return m_dialog.m_cancelRequested; }

private:
    static QString tr(const char* text) { return EffectiveRightsDialog::tr(text); }
    EffectiveRightsDialog& m_dialog;
    qulonglong m_entries = 0;
};

EffectiveRightsDialog::EffectiveRightsDialog(QWidget* parent, uint32_t connHandle, OperationGuard guard)
    : QDialog(parent)
    , m_conn(connHandle)
    , m_guard(std::move(guard))
{
    setObjectName(QStringLiteral("EffectiveRightsDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(760, 520);

    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("EffectiveName"));
    nameEdit->setPlaceholderText(tr("User, group or container (.Alice.Sales.Corp)"));
    showButton = new QPushButton(tr("&Show Rights"), this);
    showButton->setObjectName(QStringLiteral("EffectiveShow"));
    m_nameLabel = new QLabel(tr("&Name:"), this);
    m_nameLabel->setBuddy(nameEdit);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(m_nameLabel);
    nameRow->addWidget(nameEdit, 1);
    nameRow->addWidget(showButton);

    m_model = new EffectiveRightsModel(this);
    table = new QTableView(this);
    table->setObjectName(QStringLiteral("EffectiveTable"));
    table->setModel(m_model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    explanation = new QPlainTextEdit(this);
    explanation->setObjectName(QStringLiteral("EffectiveExplanation"));
    explanation->setReadOnly(true);
    explanation->setLineWrapMode(QPlainTextEdit::NoWrap);
    explanation->setPlaceholderText(tr("Select a row to see where its rights come from."));
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(table);
    splitter->addWidget(explanation);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);

    progressBar = new QProgressBar(this);
    progressBar->setRange(0, 0); // the number of entries is not known beforehand
    progressBar->setMaximumWidth(120);
    progressBar->hide();
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("EffectiveStatus"));
    cancelButton = new QPushButton(tr("&Cancel"), this);
    cancelButton->setEnabled(false);
    saveTextButton = new QPushButton(tr("Save as &Text..."), this);
    saveCsvButton = new QPushButton(tr("Save as C&SV..."), this);
    auto* closeButton = new QPushButton(tr("C&lose"), this);
    auto* status = new QHBoxLayout;
    status->addWidget(progressBar);
    status->addWidget(statusLabel, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);
    buttons->addWidget(saveTextButton);
    buttons->addWidget(saveCsvButton);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addWidget(splitter, 1);
    layout->addLayout(status);
    layout->addLayout(buttons);

    connect(showButton, &QPushButton::clicked, this, &EffectiveRightsDialog::runRightsMap);
    connect(nameEdit, &QLineEdit::returnPressed, this, &EffectiveRightsDialog::runRightsMap);
    connect(cancelButton, &QPushButton::clicked, this, &EffectiveRightsDialog::cancel);
    connect(saveTextButton, &QPushButton::clicked, this, [this] { save(false); });
    connect(saveCsvButton, &QPushButton::clicked, this, [this] { save(true); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        &EffectiveRightsDialog::showExplanation);
    setRunning(false);
}

EffectiveRightsDialog::~EffectiveRightsDialog()
{
    // The model reads the answers, which go before QDialog's destructor hides the table
    // (and the table asks the model for its rows once more).
    m_model->showAccess(nullptr);
}

void EffectiveRightsDialog::setRunning(bool running)
{
    m_running = running;
    progressBar->setVisible(running);
    cancelButton->setEnabled(running);
    showButton->setEnabled(!running);
    nameEdit->setEnabled(!running);
    const bool answered = !running && (m_access || m_map);
    saveTextButton->setEnabled(answered);
    saveCsvButton->setEnabled(answered);
}

void EffectiveRightsDialog::reject()
{
    // A running query is cancelled first; the dialog goes once it has unwound.
    if (m_running) {
        cancel();
        m_closeWhenDone = true;
        return;
    }
    QDialog::reject();
}

bool EffectiveRightsDialog::runQuery(const std::function<void(Progress&)>& query)
{
    m_cancelRequested = false;
    m_model->showAccess(nullptr);
    explanation->clear();
    m_access.reset();
    m_map.reset();
    setRunning(true);
    statusLabel->setText(tr("Working..."));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Progress progress(*this);
    bool finished = false;
    std::string failure;
    const bool windowStays = m_guard([&] {
        try {
            query(progress);
            finished = true;
        } catch (const OperationCancelled&) {
            if (!m_cancelRequested)
                throw; // the window is closing
        } catch (const std::exception& e) {
            failure = e.what();
        }
    });
    QApplication::restoreOverrideCursor();
    setRunning(false);
    if (!finished) {
        m_access.reset();
        m_map.reset();
        setRunning(false); // nothing to save
    }
    if (!windowStays || m_closeWhenDone) {
        QDialog::reject();
        return false;
    }
    if (!failure.empty()) {
        statusLabel->setText(QString::fromStdString(failure));
        ShowMsg(mtError, failure);
    } else if (!finished) {
        statusLabel->setText(tr("Cancelled."));
    }
    return finished;
}

void EffectiveRightsDialog::showWhoHasAccess(const std::string& path)
{
    setWindowTitle(tr("Who Has Access - %1").arg(QString::fromStdString(path)));
    // The name row shows the path asked about.
    m_nameLabel->setText(tr("Path:"));
    nameEdit->setReadOnly(true);
    nameEdit->setText(QString::fromStdString(path));
    showButton->hide();
    show();
    const bool done = runQuery([&](Progress& progress) {
        m_access = std::make_unique<AccessReport>(RunWhoHasAccess({ { path, false } }, m_conn, &progress));
    });
    if (!done)
        return;
    const AccessEntry& entry = m_access->entries.at(0);
    setWindowTitle(tr("Who Has Access - %1").arg(QString::fromStdString(entry.path)));
    nameEdit->setText(QString::fromStdString(entry.path));
    m_model->showAccess(&entry);
    if (entry.code != 0)
        statusLabel->setText(
            tr("%1 cannot be read: %2")
                .arg(QString::fromStdString(entry.path), QString::fromStdString(NWErrorText(entry.code))));
    else
        statusLabel->setText(tr("%n user(s) or ID(s) with rights.", nullptr, static_cast<int>(entry.rows.size())));
    setRunning(false);
}

void EffectiveRightsDialog::prepareRightsMap(std::vector<StartPath> queue, WalkChoices choices)
{
    m_queue = std::move(queue);
    m_choices = std::move(choices);
    setWindowTitle(tr("Rights of a User under the Start Paths"));
    QStringList users;
    for (const std::string& name : TreeUserNames(m_conn))
        users << QString::fromStdString(name);
    auto* completer = new QCompleter(new QStringListModel(users, this), this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    nameEdit->setCompleter(completer);
    statusLabel->setText(tr("%n start path(s) queued.", nullptr, static_cast<int>(m_queue.size())));
    show();
    nameEdit->setFocus();
}

void EffectiveRightsDialog::runRightsMap()
{
    const std::string name = nameEdit->text().trimmed().toStdString();
    if (m_running || name.empty())
        return;
    std::string unknown;
    const bool done = runQuery([&](Progress& progress) {
        try {
            m_map = std::make_unique<RightsMapReport>(RunRightsMap(m_queue, m_conn, name, m_choices, true, &progress));
        } catch (const UnknownObjectError& e) {
            unknown = e.what();
            m_map.reset();
        }
    });
    if (!done)
        return;
    if (!unknown.empty()) {
        statusLabel->setText(QString::fromStdString(unknown));
        ShowMsg(mtError, unknown);
        setRunning(false);
        return;
    }
    m_model->showRightsMap(m_map.get());
    const size_t unreadable = UnreadablePaths(*m_map).size();
    QString text = tr("%1: %n entries listed, %2 examined.", nullptr, static_cast<int>(m_map->rows.size() - unreadable))
                       .arg(QString::fromStdString(m_map->user))
                       .arg(m_map->entriesExamined);
    if (unreadable)
        text += tr(" %n could not be read.", nullptr, static_cast<int>(unreadable));
    statusLabel->setText(text);
    setRunning(false);
}

void EffectiveRightsDialog::cancel()
{
    if (m_running)
        m_cancelRequested = true;
}

void EffectiveRightsDialog::showExplanation()
{
    const int row = table->currentIndex().row();
    QString text;
    for (const std::string& line : m_model->explanationOf(row))
        text += QString::fromStdString(line) + QLatin1Char('\n');
    explanation->setPlainText(text);
}

void EffectiveRightsDialog::save(bool csv)
{
    if (m_running || (!m_access && !m_map))
        return;
    const char* ext = csv ? "csv" : "txt";
    SaveFileRequest request;
    request.fileName = std::string(m_map ? "Rights." : "Access.") + ext;
    request.defaultExt = ext;
    request.filter = csv ? "CSV Files|*.csv|All Files|*.*" : "Text Files|*.txt|All Files|*.*";
    setRunning(true);
    cancelButton->setEnabled(false);
    const bool windowStays = SaveDialogResult(
        request, m_guard, [&] { return m_map ? BuildRightsMapForm(*m_map, csv) : BuildAccessForm(*m_access, csv); });
    setRunning(false);
    if (!windowStays)
        QDialog::reject();
}
