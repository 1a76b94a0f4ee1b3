// The control walk of D_Ini on a form built from the main window's widget kinds and
// names: the scan settings panel, the work queue and the window's bounds survive a
// restart; damaged and unwritable settings files behave as designed.

#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "settings/controls/D_IniControls.h"
#include "support/FileFaults.h"
#include "support/TestPaths.h"
#include "support/TestServices.h"
#include "util/D_Util.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

#include <filesystem>
#include <memory>

namespace {

// The settings-related part of the main window, with its designed state.
struct TestForm {
    std::unique_ptr<QMainWindow> form;
    QFrame* panelSettings;
    TRadioGroup* scope;
    TRadioGroup* info;
    QCheckBox* irm;
    QLineEdit* pattern;
    TCheckListBox* queue;

    TestForm()
        : form(std::make_unique<QMainWindow>())
    {
        form->setObjectName("MainForm");
        form->move(264, 134);
        form->resize(745, 504);
        auto* central = new QWidget(form.get());
        form->setCentralWidget(central);
        panelSettings = new QFrame(central);
        panelSettings->setObjectName("PanelSettings");
        scope = new TRadioGroup("&Scope", panelSettings);
        scope->setObjectName("RadioGroupScope");
        scope->setItems({ "&Directories", "&Files", "&Both" });
        scope->setItemIndex(0);
        info = new TRadioGroup("&Info", panelSettings);
        info->setObjectName("RadioGroupInfo");
        info->setItems({ "&Trustees", "&Owner", "&Both" });
        info->setItemIndex(0);
        irm = new QCheckBox("IRM: Directories", panelSettings);
        irm->setObjectName("CheckBox_IRM");
        irm->setChecked(true);
        auto* button = new QPushButton("&Scan for Trustees", panelSettings);
        button->setObjectName("BitBtnScanDirs");
        pattern = new QLineEdit("*.*", panelSettings);
        pattern->setObjectName("EditPattern");
        queue = new TCheckListBox(central);
        queue->setObjectName("CheckListBoxQ");
    }

    std::string queueSection() const { return queue->objectName().toStdString(); }

    // What the window does when it is created and first shown.
    void restore(const std::string& ini)
    {
        LoadControlsFromFile(ini, "Settings", panelSettings);
        LoadCheckListFromFile(ini, queueSection(), queue);
        LoadBoundsFromFile(ini, "Settings", form.get());
    }

    // What the window does when it closes: three saves, each in a guard of its own that
    // discards an error. Returns how many saves completed.
    int close(const std::string& ini)
    {
        int done = 0;
        const auto save = [&done](auto&& run) {
            try {
                run();
                ++done;
            } catch (const std::exception&) {
            }
        };
        save([&] { SaveCheckListToFile(ini, queueSection(), queue); });
        save([&] { SaveControlsToFile(ini, "Settings", panelSettings); });
        save([&] { SaveBoundsToFile(ini, "Settings", form.get()); });
        return done;
    }

    void expectDesignedState() const
    {
        QCOMPARE(scope->itemIndex(), 0);
        QCOMPARE(info->itemIndex(), 0);
        QVERIFY(irm->isChecked());
        QCOMPARE(pattern->text(), QString("*.*"));
        QCOMPARE(queue->count(), 0);
        QCOMPARE(form->pos(), QPoint(264, 134));
        QCOMPARE(form->size(), QSize(745, 504));
    }
};

QStringList queueTexts(const TCheckListBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i) + (list->checked(i) ? " [x]" : " [ ]");
    return out;
}

} // namespace

class ControlSettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void settingsSurviveARestart();
    void uncheckedIrmAndEmptyPatternSurviveWithoutStoredKeys();
    void storedValuesAreApplied_data();
    void storedValuesAreApplied();
    void damagedFilesKeepTheDesignedState_data();
    void damagedFilesKeepTheDesignedState();
    void unwritableFileLosesEverySaveSilently();
    void failedWriteLeavesTheOldFileIntact();
    void oneUnstorableControlIsLostAlone();
    void everyControlKindRoundTrips();
    void formStoresItsBoundsInItsOwnSection();
    void largeQueueAndLongPatternRoundTrip();
};

void ControlSettingsTest::settingsSurviveARestart()
{
    TempDir dir;
    const std::string ini = dir.file("grantwise.ini");
    {
        TestForm first;
        first.scope->setItemIndex(2);
        first.info->setItemIndex(1);
        first.pattern->setText("*.DOC");
        first.queue->addItem("\\\\FS1\\VOL1\\APPS");
        first.queue->addItem("\\\\FS1\\VOL1\\R&D Dept");
        first.queue->addItem("\\\\FS2\\DATA\\HOME");
        first.queue->setChecked(1, true);
        first.form->move(40, 50);
        first.form->resize(900, 700);
        QCOMPARE(first.close(ini), 3);
    }
    const std::string text = ReadFileBytes(ini);
    QCOMPARE(QString::fromStdString(text),
        QString("[CheckListBoxQ]\n"
                "0=\\\\FS1\\VOL1\\APPS\n"
                "1=\\\\FS1\\VOL1\\R&D Dept\n"
                "2=\\\\FS2\\DATA\\HOME\n"
                "\n"
                "[CheckListBoxQ Checked]\n"
                "\\\\FS1\\VOL1\\R&D Dept=1\n"
                "\n"
                "[Settings]\n"
                "RadioGroupScope=2\n"
                "RadioGroupInfo=1\n"
                "CheckBox_IRM=1\n"
                "EditPattern=*.DOC\n"
                "MainForm.Top=50\n"
                "MainForm.Left=40\n"
                "MainForm.Width=900\n"
                "MainForm.Height=700\n"));

    TestForm second;
    second.restore(ini);
    QCOMPARE(second.scope->itemIndex(), 2);
    QCOMPARE(second.info->itemIndex(), 1);
    QVERIFY(second.irm->isChecked());
    QCOMPARE(second.pattern->text(), QString("*.DOC"));
    QCOMPARE(queueTexts(second.queue),
        QStringList({ "\\\\FS1\\VOL1\\APPS [ ]", "\\\\FS1\\VOL1\\R&D Dept [x]", "\\\\FS2\\DATA\\HOME [ ]" }));
    QCOMPARE(second.form->pos(), QPoint(40, 50));
    QCOMPARE(second.form->size(), QSize(900, 700));

    // Closing again without changes rewrites nothing.
    QCOMPARE(second.close(ini), 3);
    QCOMPARE(QString::fromStdString(ReadFileBytes(ini)), QString::fromStdString(text));
}

void ControlSettingsTest::uncheckedIrmAndEmptyPatternSurviveWithoutStoredKeys()
{
    TempDir dir;
    const std::string ini = dir.file("grantwise.ini");
    QVERIFY(WriteFileBytes(ini, "; kept\n[Settings]\nRadioGroupScope=1\n"));
    {
        TestForm first;
        first.restore(ini);
        first.irm->setChecked(false);
        first.pattern->clear();
        QCOMPARE(first.close(ini), 3);
    }
    TestForm second;
    second.restore(ini);
    QVERIFY(!second.irm->isChecked());
    QCOMPARE(second.pattern->text(), QString());
    QCOMPARE(second.scope->itemIndex(), 1);
    QVERIFY(ReadFileBytes(ini).starts_with("; kept\n[Settings]\nRadioGroupScope=1\nRadioGroupInfo=0\n"));

    second.irm->setChecked(true);
    QCOMPARE(second.close(ini), 3);
    TestForm third;
    third.restore(ini);
    QVERIFY(third.irm->isChecked());
}

void ControlSettingsTest::storedValuesAreApplied_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("scope");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<QSize>("size");
    QTest::newRow("scope 2, left 0") << "[settings]\nradiogroupscope=2\nMainForm.Left=0\nMainForm.Top=60\n"
                                        "MainForm.Width=800\nMainForm.Height=0x258\n"
                                     << 2 << QPoint(264, 60) << QSize(800, 600);
    QTest::newRow("index beyond the items") << "[Settings]\nRadioGroupScope=7\n"
                                            << 2 << QPoint(264, 134) << QSize(745, 504);
    QTest::newRow("negative index") << "[Settings]\nRadioGroupScope=-1\n" << -1 << QPoint(264, 134) << QSize(745, 504);
    QTest::newRow("not a number") << "[Settings]\nRadioGroupScope=two\nMainForm.Width=wide\n"
                                  << 0 << QPoint(264, 134) << QSize(745, 504);
}

void ControlSettingsTest::storedValuesAreApplied()
{
    QFETCH(QString, content);
    QFETCH(int, scope);
    QFETCH(QPoint, pos);
    QFETCH(QSize, size);
    TempDir dir;
    QVERIFY(WriteFileBytes(dir.file("s.ini"), content.toStdString()));
    TestForm form;
    form.restore(dir.file("s.ini"));
    QCOMPARE(form.scope->itemIndex(), scope);
    QCOMPARE(form.form->pos(), pos);
    QCOMPARE(form.form->size(), size);
    QCOMPARE(form.info->itemIndex(), 0);
    QVERIFY(form.irm->isChecked());
}

void ControlSettingsTest::damagedFilesKeepTheDesignedState_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("asFolder");
    QByteArray binary;
    for (int i = 0; i < 3000; ++i)
        binary.append(static_cast<char>((i * 97 + 13) % 256));
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("not INI") << QByteArray("this is\nnot [an\nINI file ]]] at all\n") << false;
    QTest::newRow("binary") << binary << false;
    QTest::newRow("folder in its place") << QByteArray() << true;
}

void ControlSettingsTest::damagedFilesKeepTheDesignedState()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, asFolder);
    TempDir dir;
    const std::string ini = dir.file("s.ini");
    if (asFolder)
        QVERIFY(std::filesystem::create_directory(ini));
    else
        QVERIFY(WriteFileBytes(ini, content.toStdString()));
    TestServices messages;
    TestForm form;
    form.restore(ini);
    form.expectDesignedState();
    QVERIFY(messages.messages().empty());
}

void ControlSettingsTest::unwritableFileLosesEverySaveSilently()
{
    TempDir dir;
    QVERIFY(WriteFileBytes(dir.file("plain"), "x"));
    const std::string ini = dir.file("plain") + "/grantwise.ini"; // its folder is a file
    TestServices messages;
    TestForm form;
    form.queue->addItem("\\\\FS1\\VOL1\\A");
    QCOMPARE(form.close(ini), 0);
    QVERIFY_THROWS_EXCEPTION(IniWriteError, SaveControlsToFile(ini, "Settings", form.panelSettings));
    QVERIFY(messages.messages().empty());
    QCOMPARE(ReadFileBytes(dir.file("plain")), std::string("x"));
}

void ControlSettingsTest::failedWriteLeavesTheOldFileIntact()
{
    TempDir dir;
    const std::string ini = dir.file("grantwise.ini");
    const std::string before = "[Settings]\nRadioGroupScope=1\nCheckBox_IRM=1\n";
    QVERIFY(WriteFileBytes(ini, before));
    TestForm form;
    form.restore(ini);
    form.scope->setItemIndex(2);
    form.queue->addItem("\\\\FS1\\VOL1\\A");
    int done = -1;
    {
        FileSizeLimit full(8); // no new text fits
        done = form.close(ini);
    }
    QCOMPARE(done, 0);
    QCOMPARE(ReadFileBytes(ini), before);
    QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1L);
}

void ControlSettingsTest::oneUnstorableControlIsLostAlone()
{
    TempDir dir;
    const std::string ini = dir.file("s.ini");
    TestForm form;
    auto* bad = new QCheckBox(form.panelSettings);
    bad->setObjectName("Broken\nName"); // a line break cannot be stored in a key
    bad->stackUnder(form.scope); // first among the children
    bad->setChecked(true);
    form.scope->setItemIndex(1);
    QVERIFY(form.panelSettings->children().indexOf(bad) < form.panelSettings->children().indexOf(form.scope));
    const IniRefusals refusals = SaveControlsToFile(ini, "Settings", form.panelSettings);
    QCOMPARE(QString::fromStdString(ReadFileBytes(ini)),
        QString("[Settings]\nRadioGroupScope=1\nRadioGroupInfo=0\nCheckBox_IRM=1\nEditPattern=*.*\n"));
    QCOMPARE(refusals, IniRefusals { ini + ": [Settings] a key cannot hold a line break" });
}

void ControlSettingsTest::everyControlKindRoundTrips()
{
    TempDir dir;
    const std::string ini = dir.file("kinds.ini");
    struct Kinds {
        QWidget panel;
        QComboBox* history;
        QComboBox* listOnly;
        QSpinBox* spin;
        QSlider* slider;
        QTableWidget* grid;
        TCheckListBox* marks;
        QLineEdit* inner;
        QTabWidget* tabs;
        QLineEdit* inTab;
        Kinds()
        {
            history = new QComboBox(&panel);
            history->setObjectName("ComboHistory");
            history->setEditable(true);
            listOnly = new QComboBox(&panel);
            listOnly->setObjectName("ComboList");
            listOnly->addItems({ "Alpha", "Beta", "Gamma" });
            spin = new QSpinBox(&panel);
            spin->setObjectName("SpinEdit1");
            spin->setRange(-100, 100);
            slider = new QSlider(&panel);
            slider->setObjectName("TrackBar1");
            slider->setRange(0, 50);
            grid = new QTableWidget(2, 2, &panel);
            grid->setObjectName("StringGrid1");
            marks = new TCheckListBox(&panel);
            marks->setObjectName("CheckList2");
            marks->addItem("one");
            marks->addItem("two");
            auto* innerPanel = new QWidget(&panel);
            innerPanel->setObjectName("PanelInner");
            inner = new QLineEdit(innerPanel);
            inner->setObjectName("EditInner");
            tabs = new QTabWidget(&panel);
            tabs->setObjectName("PageControl1");
            auto* page = new QWidget;
            page->setObjectName("TabSheet1");
            tabs->addTab(page, "Page");
            inTab = new QLineEdit(page);
            inTab->setObjectName("EditInTab");
        }
    };
    {
        Kinds k;
        k.history->addItem("old");
        k.history->setEditText("*.TXT");
        k.listOnly->setCurrentIndex(2);
        k.spin->setValue(-42);
        k.slider->setValue(33);
        k.grid->setRowCount(3);
        k.grid->setItem(2, 1, new QTableWidgetItem("cell c1 r2"));
        k.marks->setChecked(1, true);
        k.inner->setText("inner text");
        k.inTab->setText("tab text");
        ProfileFile file(ini);
        SaveControls(file, "Kinds", &k.panel);
        SaveControls(file, "Tab", k.tabs->widget(0)); // a tab page as the container
        IniFlush(file);
        QCOMPARE(k.history->itemText(0), QString("*.TXT")); // saving adds the text to the history
    }
    const std::string text = ReadFileBytes(ini);
    QVERIFY(text.find("[History ComboHistory]\nCurrent=\"*.TXT\"\n0=\"*.TXT\"\n1=\"old\"\n") != std::string::npos);
    QVERIFY(text.find("[Kinds StringGrid1]\nRowCount=3\nColCount=2\nFixedRows=0\nFixedCols=0\nCell.0.0=\n")
        != std::string::npos);
    QVERIFY(text.find("Cell.1.2=cell c1 r2\n") != std::string::npos);
    QVERIFY(text.find("[Kinds CheckList2]\none=0\ntwo=1\n") != std::string::npos);
    QVERIFY(text.find("EditInTab") != std::string::npos);
    QVERIFY(text.find("[Tab]\nEditInTab=tab text\n") != std::string::npos);
    QCOMPARE(ProfileFile(ini).readString("Kinds", "EditInner"), std::optional<std::string>("inner text"));

    Kinds k;
    ProfileFile file(ini);
    LoadControls(file, "Kinds", &k.panel);
    QCOMPARE(k.history->currentText(), QString("*.TXT"));
    QCOMPARE(k.history->count(), 2);
    QCOMPARE(k.history->itemText(1), QString("old"));
    QCOMPARE(k.listOnly->currentText(), QString("Gamma"));
    QCOMPARE(k.spin->value(), -42);
    QCOMPARE(k.slider->value(), 33);
    QCOMPARE(k.grid->rowCount(), 3);
    QVERIFY(k.grid->item(2, 1));
    QCOMPARE(k.grid->item(2, 1)->text(), QString("cell c1 r2"));
    QVERIFY(!k.marks->checked(0));
    QVERIFY(k.marks->checked(1));
    QCOMPARE(k.inner->text(), QString("inner text"));
    QCOMPARE(k.inTab->text(), QString()); // a tab widget is not walked into
    LoadControls(file, "Tab", k.tabs->widget(0));
    QCOMPARE(k.inTab->text(), QString("tab text"));
}

void ControlSettingsTest::formStoresItsBoundsInItsOwnSection()
{
    TempDir dir;
    const std::string ini = dir.file("f.ini");
    {
        TestForm form;
        form.form->move(11, 22);
        form.form->resize(333, 444);
        form.pattern->setText("*.BAT");
        ProfileFile file(ini);
        SaveControls(file, "Settings", form.form.get());
        IniFlush(file);
    }
    const std::string text = ReadFileBytes(ini);
    QVERIFY(text.starts_with("[Settings MainForm]\nMainForm.Top=22\nMainForm.Left=11\nMainForm.Width=333\n"
                             "MainForm.Height=444\nRadioGroupScope=0\n"));
    TestForm form;
    LoadControls(ProfileFile(ini), "Settings", form.form.get());
    QCOMPARE(form.form->pos(), QPoint(11, 22));
    QCOMPARE(form.form->size(), QSize(333, 444));
    QCOMPARE(form.pattern->text(), QString("*.BAT"));
}

void ControlSettingsTest::largeQueueAndLongPatternRoundTrip()
{
    TempDir dir;
    const std::string ini = dir.file("big.ini");
    const QString longPattern = QString(30000, QChar('p')) + "*.*";
    {
        TestForm form;
        for (int i = 0; i < 3000; ++i) {
            form.queue->addItem(QString("\\\\FS%1\\VOL1\\Dir %2 & more").arg(i % 5).arg(i));
            form.queue->setChecked(i, i % 2 == 1);
        }
        form.pattern->setText(longPattern);
        QCOMPARE(form.close(ini), 3);
    }
    TestForm form;
    form.restore(ini);
    QCOMPARE(form.queue->count(), 3000);
    QCOMPARE(form.queue->itemText(2999), QString("\\\\FS4\\VOL1\\Dir 2999 & more"));
    for (int i = 0; i < 3000; ++i)
        QCOMPARE(form.queue->checked(i), i % 2 == 1);
    QCOMPARE(form.pattern->text(), longPattern);
}

QTEST_MAIN(ControlSettingsTest)
#include "ControlSettings_test.moc"
