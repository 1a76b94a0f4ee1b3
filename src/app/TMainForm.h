#pragma once

#include "scan/ScanSession.h"
#include "services/Services.h"

#include <QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class EffectiveRightsDialog;
class QAction;
class QCheckBox;
class QFrame;
class QHelpEvent;
class QKeySequence;
class QLabel;
class QLineEdit;
class TResultList;
class QMenu;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTimer;
class PendingMessagesPump;
class InfoPageModel;
class ReportListModel;
class ShellFolderModel;
class TCheckListBox;
class TRadioGroup;
class TSaveDialog;
class TShellTreeView;
class TStatusBar;
class WindowScanControls;

/// Grantwise's one window: the Info page with the information text, the Select Start
/// Path page (connection list, folder tree, work queue) and the Scan for Trustees page
/// (scan settings, the results by path and by trustee, their context menu), with a
/// status bar below. Every control is a private field named as in the layout and carries
/// that name as its objectName, which the settings file uses as its key (and by which
/// tests find it); the handlers are private methods named after control and event, run by
/// the controls' signals and events. Everything runs on the GUI thread; long operations
/// (the scan, the by-trustee build, long names, saves) run the event loop through the
/// pending-messages pump, so the window stays responsive, and closing the window during
/// one is deferred until the operation has stopped (see closeEvent).
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    /// Builds the layout and runs FormCreate (information text, NetWare start-up,
    /// connection list, settings). The window works with a copy of services whose
    /// pending-messages service is the given one (when there is one) followed by the
    /// window's own pump; that copy is the current context while the window lives. What
    /// services point to must outlive the window.
    explicit TMainForm(const Services& services, QWidget* parent = nullptr);
    ~TMainForm() override;

    /// True while a scan, by-trustee build, long-names run or save is in progress.
    bool operationRunning() const noexcept { return m_operationDepth > 0; }
    /// True while DoTheJob runs.
    bool scanRunning() const noexcept { return m_scanRunning; }
    /// The state of the current connection and scan.
    const ScanSession& session() const noexcept { return m_session; }

protected:
    void showEvent(QShowEvent* event) override;
    /// Closing while a long operation runs only asks it to stop: the pending-messages pump
    /// then throws OperationCancelled out of the operation, and when the outermost one has
    /// unwound the window closes for real (FormClose saving the settings as usual).
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ---- Controls, in the layout's order (the window owns them all) ----------------
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheetInfo = nullptr;
    QWidget* TabSheetSelect = nullptr;
    TResultList* Memo1 = nullptr; ///< the Info page's lines (m_infoPage)
    QLabel* Panel1 = nullptr;
    TRadioGroup* ServerList = nullptr;
    QSplitter* Splitter1 = nullptr;
    QWidget* TabSheetAction = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    QMenu* PopupMenuS = nullptr;
    QMenu* PopopSaveResults = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    QAction* PopopSaveAsText = nullptr;
    QAction* PopopSaveAsBat = nullptr;
    QAction* PopopSaveAsXML = nullptr;
    QAction* PopopSaveAsCSV = nullptr; ///< "... as *.CSV": the audit form for spreadsheets
    QAction* PopopSaveAsHTML = nullptr; ///< "... as *.HTML": the audit form for readers
    QTabWidget* PageControl2 = nullptr;
    QWidget* TabSheetByPath = nullptr;
    QWidget* TabSheetByObj = nullptr;
    TResultList* ListBoxResults = nullptr;
    TResultList* ListBoxByObj = nullptr;
    QAction* PopupGetLongNames = nullptr;
    QFrame* Panel2 = nullptr;
    TCheckListBox* CheckListBoxQ = nullptr;
    QSplitter* Splitter2 = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* LabelDirSelected = nullptr;
    TShellTreeView* ShellTreeView1 = nullptr;
    QFrame* PanelSettings = nullptr;
    TRadioGroup* RadioGroupScope = nullptr;
    TRadioGroup* RadioGroupInfo = nullptr;
    QPushButton* BitBtnScanDirs = nullptr;
    QLineEdit* EditPattern = nullptr;
    QCheckBox* CheckBox_IRM = nullptr;

    // ---- Start-up and shutdown ------------------------------------------------------
    void FormCreate();
    void FormShow();
    void FormClose();
    void PageControl1Change();
    void StatusBar1Click();

    // ---- Select Start Path page -----------------------------------------------------
    void ServerListClick();
    void ShellTreeViewSetRoot(const std::string& root);
    void ShellTreeView1Click();
    void ShellTreeView1DblClick();
    void CheckListBoxQDblClick();
    void LabelDirSelectedUpd();

    // ---- Scan for Trustees page -----------------------------------------------------
    void BitBtnScanDirsClick();
    void DoTheJob(uint8_t scopeFlag);
    void PageControl2Change();
    void PopupGetLongNamesClick();
    /// sender: PopopSaveAsText, PopopSaveAsBat, PopopSaveAsXML, PopopSaveAsCSV or
    /// PopopSaveAsHTML.
    void PopopSaveResultsClick(QAction* sender);

    // ---- Compare with a saved XML file (TMainFormCompare.cpp) -------------------------
    QAction* PopupCompareXml = nullptr; ///< results menu: "Compare with a saved XML file..."
    /// Asks for a saved XML file, compares it (older) with the by-path results (newer) and
    /// shows the differences in a CompareDialog; a file that is not Grantwise XML is said
    /// in an error box naming the place where reading stopped.
    void PopupCompareXmlClick();

    // ---- Effective rights (TMainFormEffective.cpp) ------------------------------------
    QAction* PopupWhoHasAccess = nullptr; ///< results menu: who has access at the line's path
    QAction* PopupRightsOfUser = nullptr; ///< results menu: the rights map of a user under the queue
    QMenu* PopupMenuTree = nullptr; ///< the folder tree's context menu
    QAction* TreeWhoHasAccess = nullptr; ///< tree menu: who has access at the selected folder
    QAction* TreeRightsOfUser = nullptr; ///< tree menu: as PopupRightsOfUser
    void PopupWhoHasAccessClick();
    void TreeWhoHasAccessClick();
    void PopupRightsOfUserClick();
    /// The path of the current line of ListBoxResults: its path line, or the path line
    /// (or start path) above a detail line; "" when there is none.
    std::string resultsPathAtCurrentLine() const;
    /// Runs work as a long operation of the window (locks, deferred close); false when it
    /// was cancelled because the window is closing.
    bool runLongOperation(const std::function<void()>& work);
    /// A new effective-rights dialog over the open connection, its work run as the
    /// window's long operations.
    EffectiveRightsDialog* newDialog();

    /// The list the context menu was last opened on (ListBoxResults at start).
    TResultList* popupComponent() const { return m_popupComponent; }
    /// Remembers the list the context menu belongs to, as opening it over that list does.
    void setPopupComponent(TResultList* list) { m_popupComponent = list; }

    /// Makes page the active page of pageControl without running its change handler (the
    /// handlers run only for the user's changes).
    void setActivePage(QTabWidget* pageControl, QWidget* page);

    // ---- Everyday tools (TMainFormTools.cpp): find and filter, cancel and progress,
    // the keyboard, a window that fits the screen ----------------------------------------
    QWidget* PanelFilter = nullptr; ///< the filter row above the result lists
    QLineEdit* EditFilter = nullptr; ///< path or trustee contains (Ctrl+F; Esc clears)
    QCheckBox* CheckFilterUnresolved = nullptr; ///< only unresolved IDs
    QCheckBox* CheckFilterPublic = nullptr; ///< only [Public]/[Root]
    QCheckBox* CheckFilterRights = nullptr; ///< only grants holding S, A or M
    QPushButton* BitBtnCancel = nullptr; ///< shown while a long operation runs (also Esc)
    QLabel* StatusLines = nullptr; ///< "N of M lines" of the list shown
    QLabel* StatusInfo = nullptr; ///< progress, the scan's summary, the file saved
    QAction* PopupSaveShown = nullptr; ///< results menu: only the lines the filter shows
    QTimer* m_progressTimer = nullptr;
    /// What the running long operation is doing, for the progress text.
    std::function<QString()> m_progress;
    /// How far the running long operation over lines is, as it last told the context's
    /// progress service (0 of 0 until it does; reset when an operation begins).
    uint64_t m_linesDone = 0;
    uint64_t m_linesTotal = 0;
    /// The progress text of an operation over lines: "<what>: D of T lines" once it has
    /// told how far it is, before that "<what>: <lines> lines".
    QString linesProgress(const QString& what, uint64_t lines) const;
    bool m_cancelRequested = false;
    /// StatusInfo shows the progress of the running operation (cleared when it ends).
    bool m_statusIsProgress = false;
    /// The folder of the last file saved to ("" until the first save).
    QString m_lastSaveFolder;

    void createTools();
    void connectTools();
    /// The filter fields now: every list shows what they let through.
    void applyFilter();
    void updateLineCount();
    void updateProgress();
    /// Progress or an outcome beside the status panel (also its tooltip, whole where the
    /// bar is too narrow for it).
    void showStatusInfo(const QString& text);
    /// Asks the running long operation to stop (its next pending-messages call throws).
    void requestCancel();
    /// Esc: cancels a running operation; else clears the filter.
    void escapePressed();
    /// The window's Alt keys: one thing per page (see the .cpp).
    bool routeMnemonic(const QKeySequence& key);
    bool toolsEventFilter(QObject* watched, QEvent* event);
    bool showLineToolTip(TResultList* list, QHelpEvent* event);
    void copySelectedLines(TResultList* list);
    /// The list on the results tab in front.
    TResultList* shownList() const;
    void PopupSaveShownClick();
    /// The file name the save dialog proposes: base + "." + ext in the last folder saved to.
    QString proposedSaveName(const QString& base, const std::string& ext) const;
    /// After a save: remembers its folder and names the file and its size in the status bar.
    void reportSaved(const std::string& fileName);
    /// Brings the restored position and size back onto the screen the window is on.
    void fitOnScreen();
    /// Sizes the settings panel's radio groups so that no item is clipped.
    void fitSettingsPanel();

    void createControls();
    void createSelectPage();
    void createActionPage();
    void createMenus();
    void connectHandlers();
    void createEffectiveMenus();

    /// Entering and leaving a long operation (counted; operations may nest through the
    /// event loop). The outermost one locks the controls that would change what the
    /// operations read (see the .cpp) and, on leaving, unlocks them and carries out a
    /// close that was asked for meanwhile.
    void beginOperation();
    void endOperation();
    void applyOperationLock(bool locked);

    /// The scan button's rule: enabled exactly when the queue holds an entry, and never
    /// while a long operation runs.
    void updateScanButton();
    /// After a scan or long names changed the by-path results (not when the operation was
    /// cancelled by a close): a list by trustee built from other results is dropped, and
    /// built again at once when its tab is the one shown.
    void resultsChanged(bool cancelled);
    void openContextMenu(TResultList* list, const QPoint& pos);

    /// The models behind ListBoxResults (the report lines of the last scan) and
    /// ListBoxByObj (the rows of the list by trustee, all of code 0).
    InfoPageModel* m_infoPage = nullptr;
    ReportListModel* m_results = nullptr;
    ReportListModel* m_byObj = nullptr;
    ShellFolderModel* m_folders = nullptr;
    /// The list the context menu was last opened on (ListBoxResults at start).
    TResultList* m_popupComponent = nullptr;
    std::unique_ptr<PendingMessagesPump> m_pump;
    Services m_services;
    ServicesScope m_servicesScope { m_services };
    WindowScanControls* m_controls = nullptr;
    ScanSession m_session;
    /// The completion code of the last client start-up step or connection opening.
    uint32_t m_lastCode = 0;
    int m_operationDepth = 0;
    bool m_scanRunning = false;
    bool m_closeRequested = false;
    bool m_shownOnce = false;
    bool m_programChangesPage = false;
    bool m_buildingByObj = false;
    /// "Get Long Names" may run: enabled at start-up and at the end of every scan, off once
    /// it ran (the menu item shows it, except while a long operation locks it).
    bool m_longNamesAvailable = true;
    /// Which by-path results the list by trustee was built from: the results count up at
    /// every scan start and end and after every long-names run.
    uint64_t m_resultsStamp = 0;
    uint64_t m_byObjStamp = 0;
    /// The last scan's start time (RunTimeText) and entries examined, for the HTML forms.
    std::string m_runTime;
    uint64_t m_entriesExamined = 0;
};
