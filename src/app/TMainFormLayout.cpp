// The window's layout: every control with its name, caption, hint, place, size, font and
// design-time default.

#include "app/TMainForm.h"

#include "app/models/InfoPageModel.h"
#include "app/models/ReportListModel.h"
#include "app/models/ShellFolderModel.h"
#include "app/widgets/ScanGlyphs.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "app/widgets/TResultList.h"
#include "app/widgets/TSaveDialog.h"
#include "app/widgets/TShellTreeView.h"
#include "app/widgets/TStatusBar.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString resultsHint = QStringLiteral("See context menu for further options  (right mouse-click)");

QFont arialPixels(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A panel without bevel, named.
QFrame* newPanel(const QString& name, QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

QWidget* newPage(const QString& name, QTabWidget* pages, const QString& caption)
{
    auto* page = new QWidget(pages);
    page->setObjectName(name);
    pages->addTab(page, caption);
    return page;
}

// A list of text lines, each one row of the same height (the result lists, the Info
// page), as wide as the model says its widest line is.
template <typename LineModel> TResultList* newLineList(const QString& name, QWidget* parent, LineModel* model)
{
    auto* list = new TResultList(parent);
    list->setObjectName(name);
    // Rows as wide as the widest line: the list's column takes that width, so the list
    // scrolls sideways to the end of it. Set before the model is shown, which reads it.
    const QFontMetrics metrics(list->font());
    model->setLineMetrics(metrics.horizontalAdvance(QLatin1Char('N')), metrics.height() + 2);
    list->setModel(model);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return list;
}

TResultList* newResultList(const QString& name, QWidget* page, ReportListModel* model)
{
    TResultList* list = newLineList(name, page, model);
    list->setToolTip(resultsHint);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
    return list;
}

} // namespace

void TMainForm::createControls()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Grantwise"));
    setFont(arialPixels(12));
    move(264, 134);
    resize(745, 504);

    m_results = new ReportListModel(this);
    m_byObj = new ReportListModel(this);

    // Page control with its three pages; the design-time active page is the scan page.
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    setCentralWidget(PageControl1);
    TabSheetInfo = newPage(QStringLiteral("TabSheetInfo"), PageControl1, QStringLiteral("&Info"));
    TabSheetSelect = newPage(QStringLiteral("TabSheetSelect"), PageControl1, QStringLiteral("&Select Start Path"));

    // Info page: the title panel above the information text.
    m_infoPage = new InfoPageModel(this);
    Memo1 = newLineList(QStringLiteral("Memo1"), TabSheetInfo, m_infoPage);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Panel1 = new QLabel(QStringLiteral("Grantwise"), TabSheetInfo);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFont(arialPixels(19, true));
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFixedHeight(41);
    auto* infoLayout = new QVBoxLayout(TabSheetInfo);
    infoLayout->setContentsMargins(0, 0, 0, 0);
    infoLayout->setSpacing(0);
    infoLayout->addWidget(Panel1);
    infoLayout->addWidget(Memo1, 1);

    // Select page, left part: the connection list beside the splitter.
    Splitter1 = new QSplitter(Qt::Horizontal, TabSheetSelect);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(5);
    Splitter1->setChildrenCollapsible(false);
    ServerList = new TRadioGroup(QStringLiteral("&Connection List"));
    ServerList->setObjectName(QStringLiteral("ServerList"));
    ServerList->setToolTip(QStringLiteral("Select base server"));
    auto* selectLayout = new QVBoxLayout(TabSheetSelect);
    selectLayout->setContentsMargins(0, 0, 0, 0);
    selectLayout->addWidget(Splitter1);

    TabSheetAction = newPage(QStringLiteral("TabSheetAction"), PageControl1, QStringLiteral("Scan for &Trustees"));

    StatusBar1 = new TStatusBar({ 250, 50 }, this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(19);
    StatusBar1->setCursor(Qt::PointingHandCursor);
    setStatusBar(StatusBar1);

    createMenus();

    // Scan page, lower part: the two result lists.
    PageControl2 = new QTabWidget(TabSheetAction);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    TabSheetByPath = newPage(QStringLiteral("TabSheetByPath"), PageControl2, QStringLiteral("List by &Path"));
    TabSheetByObj = newPage(QStringLiteral("TabSheetByObj"), PageControl2, QStringLiteral("List by &Trustee"));
    ListBoxResults = newResultList(QStringLiteral("ListBoxResults"), TabSheetByPath, m_results);
    ListBoxByObj = newResultList(QStringLiteral("ListBoxByObj"), TabSheetByObj, m_byObj);
    m_popupComponent = ListBoxResults;

    createSelectPage();
    createActionPage();

    PageControl1->setCurrentWidget(TabSheetAction);
    PageControl2->setCurrentWidget(TabSheetByPath);
}

void TMainForm::createMenus()
{
    PopupMenuS = new QMenu(this);
    PopupMenuS->setObjectName(QStringLiteral("PopupMenuS"));
    PopupMenuS->setFont(font());
    PopopSaveResults = PopupMenuS->addMenu(QStringLiteral("Save Results ..."));
    PopopSaveResults->setObjectName(QStringLiteral("PopopSaveResults"));
    PopopSaveResults->setFont(font());

    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));

    PopopSaveAsText = PopopSaveResults->addAction(QStringLiteral("... as *.TXT"));
    PopopSaveAsText->setObjectName(QStringLiteral("PopopSaveAsText"));
    PopopSaveAsBat = PopopSaveResults->addAction(QStringLiteral("... as *.BAT"));
    PopopSaveAsBat->setObjectName(QStringLiteral("PopopSaveAsBat"));
    PopopSaveAsXML = PopopSaveResults->addAction(QStringLiteral("... as *.XML"));
    PopopSaveAsXML->setObjectName(QStringLiteral("PopopSaveAsXML"));
    PopopSaveAsCSV = PopopSaveResults->addAction(QStringLiteral("... as *.CSV"));
    PopopSaveAsCSV->setObjectName(QStringLiteral("PopopSaveAsCSV"));
    PopopSaveAsHTML = PopopSaveResults->addAction(QStringLiteral("... as *.HTML"));
    PopopSaveAsHTML->setObjectName(QStringLiteral("PopopSaveAsHTML"));
    PopupGetLongNames = PopupMenuS->addAction(QStringLiteral("Get Long Names"));
    PopupGetLongNames->setObjectName(QStringLiteral("PopupGetLongNames"));
    PopupCompareXml = PopupMenuS->addAction(QStringLiteral("Compare with a saved XML file..."));
    PopupCompareXml->setObjectName(QStringLiteral("PopupCompareXml"));
}

void TMainForm::createSelectPage()
{
    // Right of the connection list: the tree with its label above the splitter, the
    // work queue below it.
    Panel2 = newPanel(QStringLiteral("Panel2"), nullptr);
    Splitter1->addWidget(ServerList);
    Splitter1->addWidget(Panel2);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({ 161, 745 - 161 });

    CheckListBoxQ = new TCheckListBox();
    CheckListBoxQ->setObjectName(QStringLiteral("CheckListBoxQ"));
    CheckListBoxQ->setToolTip(
        QStringLiteral("Double-Click to remove from list of start directories (checkbox indicates recursion)"));

    Splitter2 = new QSplitter(Qt::Vertical, Panel2);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setHandleWidth(4);
    Splitter2->setChildrenCollapsible(false);
    auto* panel2Layout = new QVBoxLayout(Panel2);
    panel2Layout->setContentsMargins(0, 0, 0, 0);
    panel2Layout->addWidget(Splitter2);

    Panel3 = newPanel(QStringLiteral("Panel3"), nullptr);
    LabelDirSelected = new QLabel(QStringLiteral("#Start Paths Selected: 0"), Panel3);
    LabelDirSelected->setObjectName(QStringLiteral("LabelDirSelected"));
    LabelDirSelected->installEventFilter(this);

    m_folders = new ShellFolderModel(&ShellListFolders, this);
    ShellTreeView1 = new TShellTreeView(m_folders, Panel3);
    ShellTreeView1->setObjectName(QStringLiteral("ShellTreeView1"));
    ShellTreeView1->setToolTip(QStringLiteral("Double-Click to add to list of start directories"));
    ShellTreeView1->setRoot("C:\\");

    auto* panel3Layout = new QVBoxLayout(Panel3);
    panel3Layout->setContentsMargins(0, 0, 0, 2);
    panel3Layout->setSpacing(2);
    panel3Layout->addWidget(ShellTreeView1, 1);
    panel3Layout->addWidget(LabelDirSelected, 0, Qt::AlignLeft);

    Splitter2->addWidget(Panel3);
    Splitter2->addWidget(CheckListBoxQ);
    Splitter2->setStretchFactor(0, 0);
    Splitter2->setStretchFactor(1, 1);
    Splitter2->setSizes({ 300, 120 });
}

void TMainForm::createActionPage()
{
    // The settings panel's children are created in the order the settings walk visits
    // them: scope, info, the IRM box, the button, the pattern.
    PanelSettings = newPanel(QStringLiteral("PanelSettings"), TabSheetAction);
    PanelSettings->setFixedHeight(85);
    PanelSettings->installEventFilter(this);

    RadioGroupScope = new TRadioGroup(QStringLiteral("&Scope"), PanelSettings);
    RadioGroupScope->setObjectName(QStringLiteral("RadioGroupScope"));
    RadioGroupScope->setItems({ QStringLiteral("&Directories"), QStringLiteral("&Files"), QStringLiteral("&Both") });
    RadioGroupScope->setItemIndex(0);
    RadioGroupScope->setGeometry(8, 4, 111, 75);

    RadioGroupInfo = new TRadioGroup(QStringLiteral("&Info"), PanelSettings);
    RadioGroupInfo->setObjectName(QStringLiteral("RadioGroupInfo"));
    RadioGroupInfo->setItems({ QStringLiteral("&Trustees"), QStringLiteral("&Owner"), QStringLiteral("&Both") });
    RadioGroupInfo->setItemIndex(0);
    RadioGroupInfo->setGeometry(128, 4, 109, 75);

    CheckBox_IRM = new QCheckBox(QStringLiteral("IRM: Directories"), PanelSettings);
    CheckBox_IRM->setObjectName(QStringLiteral("CheckBox_IRM"));
    CheckBox_IRM->setToolTip(QStringLiteral("Show Inherited Rights Masks"));
    CheckBox_IRM->setChecked(true);
    CheckBox_IRM->setGeometry(240, 16, 125, 17);

    BitBtnScanDirs = new QPushButton(ScanButtonIcon(), QStringLiteral("&Scan for Trustees"), PanelSettings);
    BitBtnScanDirs->setObjectName(QStringLiteral("BitBtnScanDirs"));
    BitBtnScanDirs->setToolTip(QStringLiteral("Scan Dirs for Trustees"));
    BitBtnScanDirs->setIconSize(QSize(16, 16));
    BitBtnScanDirs->setGeometry(370, 14, 161, 31);
    BitBtnScanDirs->setEnabled(false);

    EditPattern = new QLineEdit(QStringLiteral("*.*"), PanelSettings);
    EditPattern->setObjectName(QStringLiteral("EditPattern"));
    EditPattern->setToolTip(QStringLiteral("Search Pattern for files or directories"));
    EditPattern->setGeometry(372, 54, 350, 23);

    createTools();

    auto* actionLayout = new QVBoxLayout(TabSheetAction);
    actionLayout->setContentsMargins(0, 0, 0, 0);
    actionLayout->setSpacing(0);
    actionLayout->addWidget(PanelSettings);
    actionLayout->addWidget(PanelFilter);
    actionLayout->addWidget(PageControl2, 1);
}
