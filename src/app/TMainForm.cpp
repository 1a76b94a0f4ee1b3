// Construction, events, the long-operation guard, start-up and shutdown.

#include "app/TMainForm.h"
#include "scan/ClientSession.h"

#include "app/WindowScanControls.h"
#include "app/models/InfoPageModel.h"
#include "app/models/ReportListModel.h"
#include "app/models/ShellFolderModel.h"
#include "app/seams/PendingMessagesPump.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TResultList.h"
#include "app/widgets/TShellTreeView.h"
#include "app/widgets/TStatusBar.h"
#include "netware/D_NW.h"
#include "platform/ProgramPath.h"
#include "platform/gui/ShellRun.h"
#include "services/ErrorBox.h"
#include "settings/controls/D_IniControls.h"
#include "util/D_Util.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

namespace {

// Distance of EditPattern's right edge from the settings panel's right edge, kept when
// the panel is resized (the edit is anchored left, top and right).
constexpr int patternRightMargin = 7;

// Panel 0 of the status bar: the README installed beside the program, as a file: URL
// (fully encoded, so a blank in the path cannot split it when it is opened).
QString readmeAddress()
{
    const QString folder = QFileInfo(QString::fromStdString(ProgramFilePath())).absolutePath();
    return QUrl::fromLocalFile(folder + QStringLiteral("/README.md")).toString(QUrl::FullyEncoded);
}

// The information text as the lines of a text file: CR LF, LF and CR each end a line,
// and the break at the end of the last line ends it rather than starting an empty line,
// so the trustee names a scan appends follow the last line directly.
QString informationLines(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

} // namespace

TMainForm::TMainForm(const Services& services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
{
    createControls();
    connectHandlers();
    createEffectiveMenus();
    connectTools();
    m_controls = new WindowScanControls(
        RadioGroupScope, RadioGroupInfo, CheckBox_IRM, EditPattern, StatusBar1, m_infoPage, this);
    m_pump = std::make_unique<PendingMessagesPump>(
        [this] { return (m_closeRequested || m_cancelRequested) && m_operationDepth > 0; });
    m_services.pendingMessages = [this, given = services.pendingMessages] {
        if (given)
            given();
        m_pump->pump();
    };
    // Kept here and shown by the progress timer, a few times a second.
    m_services.progress = [this](uint64_t done, uint64_t total) {
        m_linesDone = done;
        m_linesTotal = total;
    };
    StatusBar1->setPanelText(0, readmeAddress());
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::connectHandlers()
{
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (!m_programChangesPage)
            PageControl1Change();
    });
    connect(PageControl2, &QTabWidget::currentChanged, this, [this] {
        if (!m_programChangesPage)
            PageControl2Change();
    });
    connect(StatusBar1, &TStatusBar::clicked, this, &TMainForm::StatusBar1Click);
    connect(ServerList, &TRadioGroup::clicked, this, &TMainForm::ServerListClick);
    connect(ShellTreeView1, &TShellTreeView::click, this, &TMainForm::ShellTreeView1Click);
    connect(ShellTreeView1, &TShellTreeView::dblClick, this, &TMainForm::ShellTreeView1DblClick);
    connect(CheckListBoxQ, &TCheckListBox::dblClick, this, &TMainForm::CheckListBoxQDblClick);
    connect(BitBtnScanDirs, &QPushButton::clicked, this, &TMainForm::BitBtnScanDirsClick);
    connect(PopopSaveAsText, &QAction::triggered, this, [this] { PopopSaveResultsClick(PopopSaveAsText); });
    connect(PopopSaveAsBat, &QAction::triggered, this, [this] { PopopSaveResultsClick(PopopSaveAsBat); });
    connect(PopopSaveAsXML, &QAction::triggered, this, [this] { PopopSaveResultsClick(PopopSaveAsXML); });
    connect(PopopSaveAsCSV, &QAction::triggered, this, [this] { PopopSaveResultsClick(PopopSaveAsCSV); });
    connect(PopopSaveAsHTML, &QAction::triggered, this, [this] { PopopSaveResultsClick(PopopSaveAsHTML); });
    connect(PopupCompareXml, &QAction::triggered, this, &TMainForm::PopupCompareXmlClick);
    connect(PopupGetLongNames, &QAction::triggered, this, &TMainForm::PopupGetLongNamesClick);
    connect(ListBoxResults, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& pos) { openContextMenu(ListBoxResults, pos); });
    connect(ListBoxByObj, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& pos) { openContextMenu(ListBoxByObj, pos); });
}

void TMainForm::openContextMenu(TResultList* list, const QPoint& pos)
{
    m_popupComponent = list;
    PopupMenuS->popup(list->viewport()->mapToGlobal(pos));
}

void TMainForm::setActivePage(QTabWidget* pageControl, QWidget* page)
{
    const bool before = m_programChangesPage;
    m_programChangesPage = true;
    pageControl->setCurrentWidget(page);
    m_programChangesPage = before;
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shownOnce && !event->spontaneous()) {
        m_shownOnce = true;
        FormShow();
    }
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (m_operationDepth > 0) {
        // The operation's next pending-messages call throws OperationCancelled; the close
        // is carried out once the outermost operation has unwound (endOperation).
        m_closeRequested = true;
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == LabelDirSelected && event->type() == QEvent::MouseButtonRelease) {
        LabelDirSelectedUpd();
        return true;
    }
    if (watched == PanelSettings && event->type() == QEvent::Resize) {
        const int width = PanelSettings->width() - EditPattern->x() - patternRightMargin;
        EditPattern->resize(std::max(width, 60), EditPattern->height());
    }
    if (toolsEventFilter(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

// ---- The long-operation guard ----------------------------------------------------

void TMainForm::beginOperation()
{
    if (m_operationDepth++ == 0) {
        m_cancelRequested = false;
        m_linesDone = m_linesTotal = 0;
        applyOperationLock(true);
        BitBtnCancel->show();
        BitBtnCancel->raise();
        updateProgress();
        m_progressTimer->start();
    }
}

void TMainForm::endOperation()
{
    if (--m_operationDepth > 0)
        return;
    applyOperationLock(false);
    BitBtnCancel->hide();
    m_progressTimer->stop();
    if (m_statusIsProgress)
        showStatusInfo(QString()); // an outcome the operation shows follows
    m_progress = nullptr;
    m_cancelRequested = false;
    if (m_closeRequested) {
        m_closeRequested = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

void TMainForm::applyOperationLock(bool locked)
{
    // While a scan, a by-trustee build or a long-names run goes on (they run the event
    // loop between steps), the controls that would change what they read are locked:
    // - the connection list: choosing a connection changes the connection fields the
    //   scan's per-entry report uses;
    // - the folder tree: a click there empties the by-path results and re-resolves the
    //   connection fields under the running operation;
    // - the work queue: removing an entry would shift the indexes the scan walks;
    // - "Get Long Names" and the saves: one would rewrite or read the lines another
    //   operation is still writing or reading (their handlers refuse to start as well).
    // For a scan also its own choices (scope, info, IRM box, pattern): the scan reads them
    // at every entry, and each start path's settings block must describe the lines that
    // follow it. The scan button is kept disabled by updateScanButton.
    ServerList->setEnabled(!locked);
    ShellTreeView1->setEnabled(!locked);
    CheckListBoxQ->setEnabled(!locked);
    const bool choicesLocked = locked && m_scanRunning;
    for (QWidget* choice : { static_cast<QWidget*>(RadioGroupScope), static_cast<QWidget*>(RadioGroupInfo),
             static_cast<QWidget*>(CheckBox_IRM), static_cast<QWidget*>(EditPattern) })
        choice->setEnabled(!choicesLocked);
    for (QAction* save :
        { PopopSaveAsText, PopopSaveAsBat, PopopSaveAsXML, PopopSaveAsCSV, PopopSaveAsHTML, PopupCompareXml })
        save->setEnabled(!locked);
    PopupGetLongNames->setEnabled(!locked && m_longNamesAvailable);
    updateScanButton();
}

void TMainForm::updateScanButton()
{
    BitBtnScanDirs->setEnabled(CheckListBoxQ->count() > 0 && m_operationDepth == 0);
}

// ---- Start-up and shutdown -----------------------------------------------------------

void TMainForm::FormCreate()
{
    setActivePage(PageControl1, TabSheetInfo);

    const std::string infoFile = ExeFileWithExt("txt");
    QFile file(QString::fromStdString(infoFile));
    if (file.open(QIODevice::ReadOnly))
        m_infoPage->setText(informationLines(file.readAll()));
    else
        m_infoPage->appendText(QString::fromStdString("Could not find " + infoFile));

    std::vector<NWConnectionItem> connections;
    m_lastCode = StartClient(m_services, m_session, connections);
    if (m_lastCode != 0) {
        CheckError(static_cast<int32_t>(m_lastCode), "InitNetWare");
    } else {
        ServerList->clear();
        for (const NWConnectionItem& connection : connections)
            ServerList->addItem(
                QString::fromStdString(connection.serverName), QVariant::fromValue(connection.reference));
        // Selecting the first item opens that connection and roots the tree at it.
        if (ServerList->itemIndex() < 0 && ServerList->count() > 0)
            ServerList->click(0);
    }
    SetContextFlag(m_session.DSContext, '+', nw::ctxFlagTypeless);

    m_session.IniName = IniFileName(true);
    LoadControlsFromFile(m_session.IniName, "Settings", PanelSettings);
    LoadCheckListFromFile(m_session.IniName, CheckListBoxQ->objectName().toStdString(), CheckListBoxQ);
    LabelDirSelectedUpd();
}

void TMainForm::FormShow()
{
    LoadBoundsFromFile(m_session.IniName, "Settings", this);
    fitOnScreen();
}

void TMainForm::FormClose()
{
    // Each save on its own: a file that cannot be written costs that save, never the saves
    // after it. A value the file cannot hold costs that value only, and the user is told
    // which.
    IniRefusals refusals;
    const auto save = [&refusals](auto&& run) {
        try {
            IniRefusals more = run();
            refusals.insert(refusals.end(), more.begin(), more.end());
        } catch (const IniWriteError&) {
            // The settings file cannot be written (a folder in its place, a full disk): the
            // window closes anyway and says nothing, as closing always has.
        }
    };
    save([&] {
        return SaveCheckListToFile(m_session.IniName, CheckListBoxQ->objectName().toStdString(), CheckListBoxQ);
    });
    save([&] { return SaveControlsToFile(m_session.IniName, "Settings", PanelSettings); });
    save([&] {
        SaveBoundsToFile(m_session.IniName, "Settings", this);
        return IniRefusals();
    });
    if (!refusals.empty())
        ShowMsg(mtWarning, IniRefusalsText(refusals));
}

void TMainForm::PageControl1Change()
{
    if (PageControl1->currentWidget() == TabSheetAction)
        updateScanButton();
}

void TMainForm::StatusBar1Click()
{
    // The README opens in the desktop's viewer; where there is none, the user is told
    // where the file is instead of nothing happening.
    const std::string address = StatusBar1->panelText(0).toStdString();
    if (ShellOpen(address) <= 32)
        ShowMsg(mtInformation,
            "No viewer is available to open the README.\n\nIt is the file README.md beside the program:\n"
                + QUrl(QString::fromStdString(address)).toLocalFile().toStdString());
}
