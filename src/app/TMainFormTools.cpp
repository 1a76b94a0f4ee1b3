// The window as an everyday tool: the filter over the result lists, the Cancel button and
// the progress shown while long operations run, the keyboard (shortcuts and the Alt keys),
// copying and tooltips of the result lines, saving the lines shown, and a window that
// fits the screen.

#include "app/TMainForm.h"

#include "app/WindowScanControls.h"
#include "app/models/ReportListModel.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TResultList.h"
#include "app/widgets/TSaveDialog.h"
#include "app/widgets/TShellTreeView.h"
#include "app/widgets/TStatusBar.h"
#include "export/FormParts.h"
#include "export/ReportExport.h"
#include "export/ReportFile.h"
#include "services/ErrorBox.h"
#include "services/PendingMessages.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace {

// The smallest window at which every control stays usable: the settings panel's row of
// choices, the scan and Cancel buttons and a pattern field of useful width; the filter
// row; some lines of the results and of the folder tree and queue.
constexpr int minWidth = 640;
constexpr int minHeight = 440;

// How often the progress of a long operation is shown.
constexpr int progressIntervalMs = 200;

QString number(uint64_t value)
{
    return QLocale::c().toString(static_cast<qulonglong>(value));
}

// A row of the filter's check boxes: one quick filter.
QCheckBox* newQuickFilter(const QString& name, const QString& caption, const QString& hint, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setToolTip(hint);
    return box;
}

} // namespace

void TMainForm::createTools()
{
    // The filter row between the scan settings and the result lists. It lies outside
    // PanelSettings, so the settings file does not keep a filter across sessions.
    PanelFilter = new QWidget(TabSheetAction);
    PanelFilter->setObjectName(QStringLiteral("PanelFilter"));
    auto* label = new QLabel(QStringLiteral("Fi&lter:"), PanelFilter);
    EditFilter = new QLineEdit(PanelFilter);
    EditFilter->setObjectName(QStringLiteral("EditFilter"));
    EditFilter->setPlaceholderText(QStringLiteral("path or trustee contains (Ctrl+F)"));
    EditFilter->setToolTip(QStringLiteral("Show only the lines whose path or trustee contains this text (any case); "
                                          "Esc clears it. The saves still write the whole list."));
    EditFilter->setClearButtonEnabled(true);
    label->setBuddy(EditFilter);
    CheckFilterUnresolved = newQuickFilter(QStringLiteral("CheckFilterUnresolved"), QStringLiteral("Unresolved IDs"),
        QStringLiteral("Only trustees and owners shown as ID: [...]"), PanelFilter);
    CheckFilterPublic = newQuickFilter(QStringLiteral("CheckFilterPublic"), QStringLiteral("[Public]/[Root]"),
        QStringLiteral("Only the trustees [Public] and [Root]"), PanelFilter);
    CheckFilterRights = newQuickFilter(QStringLiteral("CheckFilterRights"), QStringLiteral("S, A or M"),
        QStringLiteral("Only grants holding the Supervisor, Access Control or Modify right"), PanelFilter);
    auto* row = new QHBoxLayout(PanelFilter);
    row->setContentsMargins(6, 2, 6, 2);
    row->addWidget(label);
    row->addWidget(EditFilter, 1);
    row->addWidget(CheckFilterUnresolved);
    row->addWidget(CheckFilterPublic);
    row->addWidget(CheckFilterRights);

    // Cancel sits right of the scan button and shows only while a long operation runs. It
    // lies over the settings panel without being one of its controls (the panel holds the
    // scan's choices, which the settings file keeps).
    BitBtnCancel = new QPushButton(QStringLiteral("Cancel"), TabSheetAction);
    BitBtnCancel->setObjectName(QStringLiteral("BitBtnCancel"));
    BitBtnCancel->setToolTip(QStringLiteral("Stop the scan, list, long names or save that is running (Esc)"));
    BitBtnCancel->setGeometry(540, 14, 90, 31);
    BitBtnCancel->hide();
    BitBtnCancel->raise();

    // Status: the line count of the list shown, and progress or the last outcome.
    StatusInfo = new QLabel(StatusBar1);
    StatusInfo->setObjectName(QStringLiteral("StatusInfo"));
    StatusLines = new QLabel(StatusBar1);
    StatusLines->setObjectName(QStringLiteral("StatusLines"));
    // The outcome shares the room right of the status panel with it (and is cut short
    // where the bar is narrow, whole in its tooltip); the line count keeps its width.
    StatusInfo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    StatusInfo->setMinimumWidth(60);
    StatusBar1->addPermanentWidget(StatusInfo, 4);
    StatusBar1->addPermanentWidget(StatusLines);

    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(progressIntervalMs);

    setWindowIcon(QIcon(QStringLiteral(":/grantwise/grantwise.png")));
    setMinimumSize(minWidth, minHeight);
    fitSettingsPanel();
}

void TMainForm::fitSettingsPanel()
{
    // The radio groups keep their places; they grow to what their items need, so no item
    // is clipped at any font or style (the panel grows with them).
    int bottom = 0;
    for (TRadioGroup* group : { RadioGroupScope, RadioGroupInfo }) {
        const QSize need = group->sizeHint();
        group->resize(std::max(group->width(), need.width()), std::max(group->height(), need.height()));
        bottom = std::max(bottom, group->geometry().bottom());
    }
    PanelSettings->setFixedHeight(std::max(85, bottom + 6));
}

void TMainForm::connectTools()
{
    // A save of only what the filter shows, plainly named apart from the saves of whole
    // lists, at the end of the menu after a separator of its own.
    PopupMenuS->addSeparator();
    PopupSaveShown = PopupMenuS->addAction(QStringLiteral("Save Only the Lines Shown (filtered) as *.TXT ..."));
    PopupSaveShown->setObjectName(QStringLiteral("PopupSaveShown"));

    connect(EditFilter, &QLineEdit::textChanged, this, &TMainForm::applyFilter);
    for (QCheckBox* box : { CheckFilterUnresolved, CheckFilterPublic, CheckFilterRights })
        connect(box, &QCheckBox::toggled, this, &TMainForm::applyFilter);
    for (ReportListModel* model : { m_results, m_byObj })
        connect(model, &ReportListModel::rowsShownChanged, this, &TMainForm::updateLineCount);
    connect(PageControl2, &QTabWidget::currentChanged, this, &TMainForm::updateLineCount);
    connect(BitBtnCancel, &QPushButton::clicked, this, &TMainForm::requestCancel);
    connect(m_progressTimer, &QTimer::timeout, this, &TMainForm::updateProgress);
    connect(PopupSaveShown, &QAction::triggered, this, &TMainForm::PopupSaveShownClick);

    // Keys of the whole window.
    const auto windowKey = [this](const QKeySequence& key, auto&& run) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, run);
        return shortcut;
    };
    windowKey(QKeySequence(Qt::Key_Escape), [this] { escapePressed(); });
    windowKey(QKeySequence(Qt::Key_F5), [this] {
        // The scan from any page, when the button would run it.
        if (!BitBtnScanDirs->isEnabled())
            return;
        setActivePage(PageControl1, TabSheetAction);
        BitBtnScanDirs->click();
    });
    windowKey(QKeySequence::Find, [this] {
        setActivePage(PageControl1, TabSheetAction);
        EditFilter->setFocus(Qt::ShortcutFocusReason);
        EditFilter->selectAll();
    });
    windowKey(QKeySequence::Save, [this] {
        // The list on the results tab in front, as the text save of its context menu.
        if (operationRunning() || !PopopSaveAsText->isEnabled())
            return;
        m_popupComponent = shownList();
        PopopSaveAsText->trigger();
    });
    connect(EditPattern, &QLineEdit::returnPressed, this, [this] {
        if (BitBtnScanDirs->isEnabled())
            BitBtnScanDirs->click();
    });
    for (TResultList* list : { Memo1, ListBoxResults, ListBoxByObj }) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        auto* copy = new QShortcut(QKeySequence::Copy, list);
        copy->setContext(Qt::WidgetWithChildrenShortcut);
        connect(copy, &QShortcut::activated, this, [this, list] { copySelectedLines(list); });
        if (list != Memo1)
            list->viewport()->installEventFilter(this);
    }
    ShellTreeView1->installEventFilter(this);
    EditFilter->installEventFilter(this);
    CheckListBoxQ->installEventFilter(this);
    // Every owner of an Alt key passes its shortcut through routeMnemonic.
    QList<QWidget*> owners { PageControl1->tabBar(), PageControl2->tabBar(), RadioGroupScope, RadioGroupInfo,
        BitBtnScanDirs, ServerList };
    for (TRadioGroup* group : { RadioGroupScope, RadioGroupInfo })
        for (QRadioButton* item : group->findChildren<QRadioButton*>())
            owners.append(item);
    for (QWidget* owner : owners)
        owner->installEventFilter(this);
    updateLineCount();
}

// ---- Find and filter -------------------------------------------------------------------

void TMainForm::applyFilter()
{
    ReportFilterSpec criteria;
    criteria.text = EditFilter->text().toStdString();
    criteria.unresolvedOnly = CheckFilterUnresolved->isChecked();
    criteria.publicOrRootOnly = CheckFilterPublic->isChecked();
    criteria.strongRightsOnly = CheckFilterRights->isChecked();
    m_results->setFilter(criteria);
    m_byObj->setFilter(criteria);
}

TResultList* TMainForm::shownList() const
{
    return PageControl2->currentWidget() == TabSheetByObj ? ListBoxByObj : ListBoxResults;
}

void TMainForm::updateLineCount()
{
    const ReportListModel* model = shownList() == ListBoxByObj ? m_byObj : m_results;
    const QString total = number(static_cast<uint64_t>(model->lineCount()));
    if (!model->filtered())
        StatusLines->setText(QStringLiteral("%1 lines").arg(total));
    else
        StatusLines->setText(QStringLiteral("%1 of %2 lines%3")
                                 .arg(number(static_cast<uint64_t>(model->rowCount())), total,
                                     model->filtering() ? QStringLiteral(" (filtering...)") : QString()));
}

void TMainForm::copySelectedLines(TResultList* list)
{
    QModelIndexList rows = list->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList texts;
    for (const QModelIndex& row : rows)
        texts.append(row.data().toString());
    if (!texts.isEmpty())
        QApplication::clipboard()->setText(texts.join(QLatin1Char('\n')) + QLatin1Char('\n'));
}

bool TMainForm::showLineToolTip(TResultList* list, QHelpEvent* event)
{
    // A line wider than the view shows whole in its tooltip; elsewhere the list's hint.
    const QModelIndex index = list->indexAt(event->pos());
    if (!index.isValid())
        return false;
    const QString text = index.data().toString();
    const QRect rect = list->visualRect(index);
    if (rect.x() + list->fontMetrics().horizontalAdvance(text) + 8 <= list->viewport()->width())
        return false;
    QToolTip::showText(event->globalPos(), text, list->viewport(), rect);
    return true;
}

void TMainForm::PopupSaveShownClick()
{
    if (operationRunning())
        return;
    TResultList* list = m_popupComponent;
    const ReportListModel* model = list == ListBoxByObj ? m_byObj : m_results;
    SaveDialog1->defaultExt = QStringLiteral("txt");
    SaveDialog1->filter = QStringLiteral("TXT Files|*.txt|All Files|*.*");
    SaveDialog1->fileName = proposedSaveName(
        list == ListBoxByObj ? QStringLiteral("TrusteesByTrusteeShown") : QStringLiteral("TrusteesShown"), "txt");
    if (!SaveDialog1->execute(m_services))
        return;
    const std::string fileName = SaveDialog1->fileName.toStdString();
    // The rows shown now, in the text form (the filter cannot change while the save runs:
    // its fields are not locked, but the rows are taken here once).
    std::vector<size_t> shown(static_cast<size_t>(model->rowCount()));
    for (size_t row = 0; row < shown.size(); ++row)
        shown[row] = model->lineIndex(static_cast<int>(row));
    const QString name = SaveDialog1->fileName;
    m_progress = [this, name, rows = shown.size()] {
        return linesProgress(QStringLiteral("Saving the lines shown to %1").arg(name), rows);
    };
    QApplication::setOverrideCursor(Qt::WaitCursor);
    beginOperation();
    ReportFileResult written;
    bool cancelled = false;
    try {
        std::vector<std::string> bytes = BuildTextFormInParts(model->lines(), shown);
        m_progress = [name, size = FormPartsSize(bytes)] {
            return QStringLiteral("Saving the lines shown to %1: writing %2 bytes").arg(name, number(size));
        };
        ProcessPendingMessages(); // a Cancel pressed meanwhile stops the save before the file
        written = WriteReportFileResponsive(fileName, std::move(bytes));
    } catch (const OperationCancelled&) {
        cancelled = true;
    }
    const bool closing = m_closeRequested;
    endOperation();
    QApplication::restoreOverrideCursor();
    if (cancelled) {
        if (!closing)
            showStatusInfo(QStringLiteral("Save cancelled; %1 was left as it was").arg(SaveDialog1->fileName));
    } else if (!written.ok) {
        ShowMsg(mtError, CannotCreateFileText(fileName));
    } else {
        reportSaved(fileName);
    }
}

// ---- Cancel and progress -----------------------------------------------------------------

void TMainForm::requestCancel()
{
    if (operationRunning())
        m_cancelRequested = true;
}

void TMainForm::escapePressed()
{
    if (operationRunning()) {
        requestCancel();
        return;
    }
    if (!EditFilter->text().isEmpty())
        EditFilter->clear();
}

void TMainForm::showStatusInfo(const QString& text)
{
    StatusInfo->setText(text);
    StatusInfo->setToolTip(text);
    m_statusIsProgress = false;
}

QString TMainForm::linesProgress(const QString& what, uint64_t lines) const
{
    if (m_linesTotal == 0)
        return QStringLiteral("%1: %2 lines").arg(what, number(lines));
    return QStringLiteral("%1: %2 of %3 lines").arg(what, number(m_linesDone), number(m_linesTotal));
}

void TMainForm::updateProgress()
{
    if (!operationRunning() || !m_progress)
        return;
    showStatusInfo(
        m_progress() + (m_cancelRequested ? QStringLiteral(" - cancelling...") : QStringLiteral(" - Esc cancels")));
    m_statusIsProgress = true;
}

// ---- Saving: names, folder, outcome -------------------------------------------------------

QString TMainForm::proposedSaveName(const QString& base, const std::string& ext) const
{
    const QString name = base + QLatin1Char('.') + QString::fromStdString(ext);
    return m_lastSaveFolder.isEmpty() ? name : QDir(m_lastSaveFolder).filePath(name);
}

void TMainForm::reportSaved(const std::string& fileName)
{
    const QFileInfo file(QString::fromStdString(fileName));
    m_lastSaveFolder = file.absolutePath();
    showStatusInfo(
        QStringLiteral("Saved %1 (%2 bytes)").arg(file.absoluteFilePath(), number(static_cast<uint64_t>(file.size()))));
}

// ---- The keyboard --------------------------------------------------------------------------

// The Alt keys. The captions keep their "&" letters, and several share one: Alt+S ("&Select
// Start Path", "&Scope", "&Scan for Trustees"), Alt+I ("&Info" tab and group), Alt+T ("Scan for
// &Trustees", "&Trustees", "List by &Trustee"), Alt+B (both "&Both"). Qt would cycle the focus
// among a repeated letter's owners and never press the button. So every owner hands its
// shortcut here, and each letter does one thing on each page:
// - every page: Alt+I the Info page, Alt+S the Select Start Path page, Alt+T the Scan for
//   Trustees page, Alt+C the connection list (Select page);
// - on the Scan for Trustees page instead: Alt+S presses "&Scan for Trustees" (Alt+S is the
//   scan there, so it is reachable by one key), Alt+T shows "List by &Trustee", Alt+P "List by
//   &Path", Alt+D, Alt+F and Alt+B choose the scope (&Directories, &Files, &Both), Alt+O the
//   info "&Owner". The info's "&Trustees" and "&Both" and the groups' own letters are reached
//   with Tab and the arrow keys; Alt+I still shows the Info page.
bool TMainForm::routeMnemonic(const QKeySequence& key)
{
    if (key.isEmpty())
        return false;
    const QKeyCombination combination = key[0];
    if (combination.keyboardModifiers() != Qt::AltModifier)
        return false;
    const bool scanPage = PageControl1->currentWidget() == TabSheetAction;
    const auto showPage = [this](QWidget* page) {
        // A page chosen by key is the user's choice, as a click on its tab is.
        PageControl1->setCurrentWidget(page);
        return true;
    };
    const auto chooseItem = [](TRadioGroup* group, int item) {
        if (!group->isEnabled())
            return true;
        QRadioButton* button = group->findChildren<QRadioButton*>().value(item);
        if (button) {
            button->setFocus(Qt::ShortcutFocusReason);
            button->click();
        }
        return true;
    };
    switch (combination.key()) {
    case Qt::Key_I:
        return showPage(TabSheetInfo);
    case Qt::Key_S:
        if (!scanPage)
            return showPage(TabSheetSelect);
        if (BitBtnScanDirs->isEnabled())
            BitBtnScanDirs->click();
        return true;
    case Qt::Key_T:
        if (!scanPage)
            return showPage(TabSheetAction);
        PageControl2->setCurrentWidget(TabSheetByObj);
        return true;
    case Qt::Key_P:
        if (scanPage)
            PageControl2->setCurrentWidget(TabSheetByPath);
        return scanPage;
    case Qt::Key_D:
        return scanPage && chooseItem(RadioGroupScope, 0);
    case Qt::Key_F:
        return scanPage && chooseItem(RadioGroupScope, 1);
    case Qt::Key_B:
        return scanPage && chooseItem(RadioGroupScope, 2);
    case Qt::Key_O:
        return scanPage && chooseItem(RadioGroupInfo, 1);
    case Qt::Key_C:
        if (PageControl1->currentWidget() != TabSheetSelect)
            return false;
        ServerList->setFocus(Qt::ShortcutFocusReason);
        return true;
    default:
        return false;
    }
}

bool TMainForm::toolsEventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Shortcut)
        return routeMnemonic(static_cast<QShortcutEvent*>(event)->key());
    if (event->type() == QEvent::ToolTip) {
        for (TResultList* list : { ListBoxResults, ListBoxByObj })
            if (watched == list->viewport())
                return showLineToolTip(list, static_cast<QHelpEvent*>(event));
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == EditFilter && key->key() == Qt::Key_Escape) {
        // Esc reaches the field itself where the window's key does not (no active window).
        escapePressed();
        return true;
    }
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == ShellTreeView1 && enter) {
        // Enter queues the selected folder with its subfolders, Shift+Enter without.
        if (ShellTreeView1->selectedPath().empty())
            return true;
        ShellTreeView1DblClick();
        if (key->modifiers() & Qt::ShiftModifier)
            CheckListBoxQ->setChecked(CheckListBoxQ->itemIndex(), false);
        return true;
    }
    if (watched == CheckListBoxQ) {
        const int item = CheckListBoxQ->itemIndex();
        if (key->key() == Qt::Key_Delete) {
            CheckListBoxQDblClick(); // removes the selected entry
            return true;
        }
        if (key->key() == Qt::Key_Space) {
            if (item >= 0)
                CheckListBoxQ->setChecked(item, !CheckListBoxQ->checked(item));
            return true;
        }
    }
    return false;
}

// ---- A window that fits ----------------------------------------------------------------------

void TMainForm::fitOnScreen()
{
    // The saved bounds may come from a larger screen or another scale: keep the size
    // within the screen the window is on (or the primary one) and its title bar on it.
    QScreen* screen = QGuiApplication::screenAt(geometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // The frame (title bar, borders) around the window's own area.
    const int frameWidth = frameGeometry().width() - this->width();
    const int frameHeight = frameGeometry().height() - this->height();
    const int width = std::clamp(
        this->width(), std::min(minWidth, available.width() - frameWidth), std::max(1, available.width() - frameWidth));
    const int height = std::clamp(this->height(), std::min(minHeight, available.height() - frameHeight),
        std::max(1, available.height() - frameHeight));
    if (width != this->width() || height != this->height())
        resize(width, height);
    const QRect frame = frameGeometry();
    const int left
        = std::clamp(frame.left(), available.left(), std::max(available.left(), available.right() - frame.width() + 1));
    const int top
        = std::clamp(frame.top(), available.top(), std::max(available.top(), available.bottom() - frame.height() + 1));
    if (left != frame.left() || top != frame.top())
        move(left, top);
}
