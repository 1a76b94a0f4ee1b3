#include "WindowBench.h"

#include "BenchTable.h"

#include "app/TMainForm.h"
#include "app/WindowScanControls.h"
#include "app/models/ReportListModel.h"
#include "app/widgets/TCheckListBox.h"
#include "app/widgets/TRadioGroup.h"
#include "netware/D_NW.h"
#include "platform/netware/NetworkLoader.h"
#include "util/D_Util.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace bench {

namespace {

// The resident memory of the process now.
double residentMiB()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The longest time the event loop went without running a 2 ms timer while `operation`
// ran: the gaps between the timer's runs, and the stretches from the start to the first
// run and from the last run to the end.
double longestGapSeconds(const std::function<void()>& operation)
{
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(2);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    timer.start();
    operation();
    timer.stop();
    longest = std::max(longest, clock.nsecsElapsed() - last);
    return longest / 1e9;
}

// The time to bring the row at `fraction` of the list into view and paint the list there.
double scrollAndPaintSeconds(QAbstractItemView* list, double fraction)
{
    const int rows = list->model()->rowCount();
    if (rows == 0)
        return 0;
    const int row = std::min(rows - 1, static_cast<int>(rows * fraction));
    QElapsedTimer clock;
    clock.start();
    list->scrollTo(list->model()->index(row, 0), QAbstractItemView::PositionAtCenter);
    list->viewport()->repaint();
    return clock.nsecsElapsed() / 1e9;
}

// The controls the bench drives, found by their objectName as the settings file knows them.
template <typename T> T* findControl(const TMainForm& form, const char* name)
{
    T* control = form.findChild<T*>(QString::fromLatin1(name));
    if (!control)
        throw std::runtime_error(std::string("the window has no control ") + name);
    return control;
}

struct WindowControls {
    explicit WindowControls(const TMainForm& form)
        : CheckListBoxQ(findControl<TCheckListBox>(form, "CheckListBoxQ"))
        , RadioGroupScope(findControl<TRadioGroup>(form, "RadioGroupScope"))
        , RadioGroupInfo(findControl<TRadioGroup>(form, "RadioGroupInfo"))
        , CheckBox_IRM(findControl<QCheckBox>(form, "CheckBox_IRM"))
        , PageControl1(findControl<QTabWidget>(form, "PageControl1"))
        , TabSheetAction(findControl<QWidget>(form, "TabSheetAction"))
        , BitBtnScanDirs(findControl<QPushButton>(form, "BitBtnScanDirs"))
        , Memo1(findControl<QAbstractItemView>(form, "Memo1"))
        , ListBoxResults(findControl<QAbstractItemView>(form, "ListBoxResults"))
        , PageControl2(findControl<QTabWidget>(form, "PageControl2"))
        , TabSheetByPath(findControl<QWidget>(form, "TabSheetByPath"))
        , TabSheetByObj(findControl<QWidget>(form, "TabSheetByObj"))
        , PopopSaveAsXML(findControl<QAction>(form, "PopopSaveAsXML"))
        , PopupGetLongNames(findControl<QAction>(form, "PopupGetLongNames"))
        , EditFilter(findControl<QLineEdit>(form, "EditFilter"))
        , BitBtnCancel(findControl<QPushButton>(form, "BitBtnCancel"))
        , scanControls(form.findChild<WindowScanControls*>())
    {
    }
    TCheckListBox* CheckListBoxQ;
    TRadioGroup* RadioGroupScope;
    TRadioGroup* RadioGroupInfo;
    QCheckBox* CheckBox_IRM;
    QTabWidget* PageControl1;
    QWidget* TabSheetAction;
    QPushButton* BitBtnScanDirs;
    QAbstractItemView* Memo1;
    QAbstractItemView* ListBoxResults;
    QTabWidget* PageControl2;
    QWidget* TabSheetByPath;
    QWidget* TabSheetByObj;
    QAction* PopopSaveAsXML;
    QAction* PopupGetLongNames;
    QLineEdit* EditFilter;
    QPushButton* BitBtnCancel;
    WindowScanControls* scanControls;

    ReportListModel* results() const { return qobject_cast<ReportListModel*>(ListBoxResults->model()); }
};

struct Figures {
    std::vector<double> scan, scanGap, infoCatchUp, infoCatchUpGap, byTrustee, byTrusteeGap, save, saveGap, longNames,
        longNamesGap, scroll, shown, filter, filterGap, cancelScan, cancelByTrustee, rescanGrowth;
    size_t infoLines = 0; // on the page when the scan ended
    size_t infoWaiting = 0; // still to be added then
    size_t lines = 0;
};

} // namespace

void MeasureWindow(
    SimulatedNetWare& library, const std::string& size, int runs, double headlessScanSeconds, const std::string& outDir)
{
    static int argc = 1;
    static char name[] = "grantwise-bench";
    static char* argv[] = { name, nullptr };
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window keeps its settings in its configuration folder: a folder of the bench's own.
    // It starts from no settings, so no queue from an earlier run comes back.
    const QString home = QDir(QString::fromStdString(outDir)).absoluteFilePath("window-home");
    QDir(home).removeRecursively();
    QDir().mkpath(home);
    qputenv("XDG_CONFIG_HOME", home.toUtf8());
    QApplication app(argc, argv);
    Services services;
    services.clientLibrary = &library;
    services.programFilePath = QDir(home).absoluteFilePath("grantwise").toStdString();
    // Messages (an unreadable start path, a failed save) would wait for a click.
    services.messageBox = [](int, const std::string& text) {
        std::fprintf(stderr, "grantwise-bench: window message: %s\n", text.c_str());
    };
    const std::string saveFile = QDir(QString::fromStdString(outDir)).absoluteFilePath("window-save.xml").toStdString();
    services.saveFileName = [&](const SaveFileRequest&) { return std::optional<std::string>(saveFile); };

    Figures figures;
    {
        TMainForm form(services);
        const WindowControls ui(form);
        form.resize(1000, 700);
        form.show();
        QApplication::processEvents();
        const Network& net = *library.network();
        const QString start = QString::fromStdString(
            "\\\\" + net.servers.front().name + "\\" + net.servers.front().volumes.front().name);
        ui.CheckListBoxQ->addItem(start);
        ui.CheckListBoxQ->setChecked(0, true);
        ui.RadioGroupScope->setItemIndex(2);
        ui.RadioGroupInfo->setItemIndex(2);
        ui.CheckBox_IRM->setChecked(true);
        ui.PageControl1->setCurrentWidget(ui.TabSheetAction);
        QApplication::processEvents();

        for (int run = 0; run < runs; ++run) {
            QElapsedTimer clock;
            clock.start();
            figures.scanGap.push_back(longestGapSeconds([&] { ui.BitBtnScanDirs->click(); }));
            figures.scan.push_back(clock.nsecsElapsed() / 1e9);
            figures.lines = ui.results()->lines().count();
            // From the end of the scan until the list shows its first row.
            clock.restart();
            while (!ui.ListBoxResults->indexAt(QPoint(2, 2)).isValid() && clock.elapsed() < 60000)
                QApplication::processEvents();
            figures.shown.push_back(clock.nsecsElapsed() / 1e9);
            figures.infoLines = static_cast<size_t>(ui.Memo1->model()->rowCount());
            figures.infoWaiting = static_cast<size_t>(ui.scanControls->pendingLines());

            // The trustee names still waiting reach the Info page while the loop runs.
            clock.restart();
            figures.infoCatchUpGap.push_back(longestGapSeconds([&] {
                while (ui.scanControls->pendingLines() > 0)
                    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            }));
            figures.infoCatchUp.push_back(clock.nsecsElapsed() / 1e9);

            double longestScroll = 0;
            for (double at : { 0.0, 0.25, 0.5, 0.75, 1.0 })
                longestScroll = std::max(longestScroll, scrollAndPaintSeconds(ui.ListBoxResults, at));
            figures.scroll.push_back(longestScroll);

            clock.restart();
            // The scan ends on the by-path tab; showing the other one builds the list.
            figures.byTrusteeGap.push_back(
                longestGapSeconds([&] { ui.PageControl2->setCurrentWidget(ui.TabSheetByObj); }));
            figures.byTrustee.push_back(clock.nsecsElapsed() / 1e9);
            // Back on the by-path tab (the list stays built), so that long names below do
            // not build the list by trustee again.
            ui.PageControl2->setCurrentWidget(ui.TabSheetByPath);

            // The context menu was never opened over the list by trustee: the save writes the
            // by-path results.
            clock.restart();
            figures.saveGap.push_back(longestGapSeconds([&] { ui.PopopSaveAsXML->trigger(); }));
            figures.save.push_back(clock.nsecsElapsed() / 1e9);
            ::unlink(saveFile.c_str());

            // Typing a filter a letter at a time, each letter as the event loop delivers
            // it, until the last one's view is complete; then clearing it.
            clock.restart();
            figures.filterGap.push_back(longestGapSeconds([&] {
                const QString typed = QStringLiteral("admin");
                for (qsizetype n = 1; n <= typed.size(); ++n) {
                    ui.EditFilter->setText(typed.left(n));
                    QApplication::processEvents();
                }
                while (ui.results()->filtering())
                    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
                ui.EditFilter->clear();
            }));
            figures.filter.push_back(clock.nsecsElapsed() / 1e9);

            clock.restart();
            figures.longNamesGap.push_back(longestGapSeconds([&] { ui.PopupGetLongNames->trigger(); }));
            figures.longNames.push_back(clock.nsecsElapsed() / 1e9);

            // Cancel: the Cancel button pressed half a second into a scan and a tenth of a
            // second into a build of the list by trustee; the time until the operation has
            // returned (-1: it ended before the press).
            const auto cancelAfter = [&](int pressMs, const std::function<void()>& start) {
                QElapsedTimer sinceCancel;
                QTimer press;
                press.setSingleShot(true);
                QObject::connect(&press, &QTimer::timeout, [&] {
                    sinceCancel.start();
                    ui.BitBtnCancel->click();
                });
                press.start(pressMs);
                start();
                press.stop();
                return sinceCancel.isValid() ? sinceCancel.nsecsElapsed() / 1e9 : -1.0;
            };
            figures.cancelScan.push_back(cancelAfter(500, [&] { ui.BitBtnScanDirs->click(); }));
            // The whole results again for the build: a rescan, and what it adds to the
            // memory (the Info page keeps the trustee names of every scan).
            const double before = residentMiB();
            ui.BitBtnScanDirs->click();
            while (ui.scanControls->pendingLines() > 0)
                QApplication::processEvents();
            figures.rescanGrowth.push_back(residentMiB() - before);
            ui.PageControl2->setCurrentWidget(ui.TabSheetByPath);
            figures.cancelByTrustee.push_back(
                cancelAfter(100, [&] { ui.PageControl2->setCurrentWidget(ui.TabSheetByObj); }));
            ui.PageControl2->setCurrentWidget(ui.TabSheetByPath);
        }
        form.close();
    }

    const auto ms = [](std::vector<double> v) {
        for (double& x : v)
            x *= 1000;
        return Summarize(v);
    };
    const Summary scan = Summarize(figures.scan);
    PrintRow(size, "window scan (offscreen)", scan, "s",
        Format("%zu lines; %.2fx of headless; %s", figures.lines,
            headlessScanSeconds > 0 ? scan.median / headlessScanSeconds : 0.0,
            headlessScanSeconds <= 0 ? ""
                : size == "1m"       ? Verdict(scan.median <= 2 * headlessScanSeconds, "<= 2x").c_str()
                : size == "10m"      ? Verdict(scan.median <= 1.5 * headlessScanSeconds, "<= 1.5x").c_str()
                                     : ""));
    const auto gapRow = [&](const char* figure, const std::vector<double>& gaps) {
        const Summary gap = ms(gaps);
        PrintRow(size, figure, gap, "ms",
            size == "1m" || size == "10m" ? Verdict(gap.max <= 100, "<= 100 ms, on the max") : "", 1);
    };
    gapRow("  longest event gap, scan", figures.scanGap);
    PrintRow(size, "info page catching up after the scan", Summarize(figures.infoCatchUp), "s",
        Format("%zu names on the page at the end, %zu added after", figures.infoLines, figures.infoWaiting));
    gapRow("  longest event gap, info page", figures.infoCatchUpGap);
    PrintRow(size, "window list by trustee", Summarize(figures.byTrustee), "s", "");
    gapRow("  longest event gap, list by trustee", figures.byTrusteeGap);
    PrintRow(size, "window save XML", Summarize(figures.save), "s", "");
    gapRow("  longest event gap, save XML", figures.saveGap);
    PrintRow(size, "window long names", Summarize(figures.longNames), "s", "");
    gapRow("  longest event gap, long names", figures.longNamesGap);
    PrintRow(size, "window results shown after the scan ended", ms(figures.shown), "ms",
        size == "1m" ? Verdict(ms(figures.shown).max <= 100, "<= 100 ms") : "", 1);
    PrintRow(size, "window filter 'admin' typed, view complete", Summarize(figures.filter), "s", "");
    gapRow("  longest event gap, filter", figures.filterGap);
    const auto cancelRow = [&](const char* figure, const std::vector<double>& seconds) {
        const Summary taken = ms(seconds);
        const bool pressedInTime = taken.min >= 0;
        PrintRow(size, figure, taken, "ms",
            !pressedInTime     ? "the operation ended before Cancel was pressed"
                : size == "1m" ? Verdict(taken.max <= 200, "<= 200 ms, on the max")
                               : "",
            1);
    };
    cancelRow("window cancel of a scan takes effect", figures.cancelScan);
    cancelRow("window cancel of the list by trustee", figures.cancelByTrustee);
    const Summary growth = Summarize(figures.rescanGrowth);
    PrintRow(size, "window rescan, resident memory added", growth, "MiB",
        size == "1m" ? Verdict(growth.max < 30, "< 30 MiB, on the max") : "", 1);
    PrintRow(size, "scroll + paint, 5 places, longest", ms(figures.scroll), "ms",
        size == "1m" ? Verdict(ms(figures.scroll).max <= 100, "<= 100 ms") : "", 1);
}

} // namespace bench
