#include "app/models/ShellFolderModel.h"
#include "app/widgets/TShellTreeView.h"

#include <QAbstractItemModelTester>
#include <QTest>

#include <algorithm>
#include <map>

namespace {

// A small shell namespace: one server with two volumes, a few folders below.
struct FakeNamespace {
    std::map<std::string, std::vector<ShellFolder>> folders {
        { "\\\\FS1\\", { { "VOL1", "\\\\FS1\\VOL1" }, { "SYS", "\\\\FS1\\SYS" } } },
        { "\\\\FS1\\VOL1", { { "R&D", "\\\\FS1\\VOL1\\R&D" }, { "Public Data", "\\\\FS1\\VOL1\\Public Data" } } },
        { "\\\\FS1\\VOL1\\R&D", { { "Plans 2002", "\\\\FS1\\VOL1\\R&D\\Plans 2002" } } },
    };
    std::vector<std::string> asked;

    ShellFolderModel::FolderLister lister()
    {
        return [this](const std::string& path) {
            asked.push_back(path);
            const auto it = folders.find(path);
            return it == folders.end() ? std::vector<ShellFolder>() : it->second;
        };
    }
};

QModelIndex childNamed(const QAbstractItemModel& model, const QModelIndex& parent, const QString& name)
{
    for (int row = 0; row < model.rowCount(parent); ++row)
        if (model.index(row, 0, parent).data().toString() == name)
            return model.index(row, 0, parent);
    return {};
}

} // namespace

class ShellFolderModelTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void serverRootListsVolumesThenFoldersLazily()
    {
        FakeNamespace shell;
        ShellFolderModel model(shell.lister());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRootPath("\\\\FS1\\");
        QCOMPARE(model.rootPath(), std::string("\\\\FS1\\"));

        // One top-level row, the server; nothing is listed before a view asks.
        QCOMPARE(model.rowCount(), 1);
        const QModelIndex server = model.rootFolderIndex();
        QCOMPARE(server.data().toString(), QStringLiteral("FS1"));
        QCOMPARE(model.pathOf(server), std::string("\\\\FS1"));
        QVERIFY(shell.asked.empty());
        QVERIFY(model.hasChildren(server));
        QVERIFY(model.canFetchMore(server));

        model.fetchMore(server);
        QVERIFY(!shell.asked.empty());
        QCOMPARE(shell.asked.front(), std::string("\\\\FS1\\"));
        QCOMPARE(model.rowCount(server), 2);
        QVERIFY(!model.canFetchMore(server));
        const QModelIndex vol1 = childNamed(model, server, QStringLiteral("VOL1"));
        QVERIFY(vol1.isValid());
        QCOMPARE(vol1.parent(), server);
        QCOMPARE(vol1.data(ShellFolderModel::PathRole).toString(), QStringLiteral("\\\\FS1\\VOL1"));

        model.fetchMore(vol1);
        const QModelIndex rd = childNamed(model, vol1, QStringLiteral("R&D"));
        model.fetchMore(rd);
        const QModelIndex plans = childNamed(model, rd, QStringLiteral("Plans 2002"));
        QCOMPARE(model.pathOf(plans), std::string("\\\\FS1\\VOL1\\R&D\\Plans 2002"));
        QCOMPARE(plans.parent().parent(), vol1);

        // A folder without subfolders loses its expander once listed.
        QVERIFY(model.hasChildren(plans));
        model.fetchMore(plans);
        QVERIFY(!model.hasChildren(plans));
        QCOMPARE(model.rowCount(plans), 0);
        // Listing happens once per folder, however often a view asks.
        model.fetchMore(plans);
        model.fetchMore(vol1);
        std::vector<std::string> sorted = shell.asked;
        std::sort(sorted.begin(), sorted.end());
        QVERIFY(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
    }

    void designTimeRootIsTheLocalRootAndOtherRootsShowTheirLastName()
    {
        FakeNamespace shell;
        ShellFolderModel model(shell.lister());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRootPath("C:\\");
        QCOMPARE(model.pathOf(model.rootFolderIndex()), std::string("/"));
        model.fetchMore(model.rootFolderIndex());
        QCOMPARE(shell.asked.back(), std::string("/"));

        model.setRootPath("\\\\FS1\\VOL1\\R&D\\");
        QCOMPARE(model.rootFolderIndex().data().toString(), QStringLiteral("R&D"));
        QCOMPARE(model.pathOf(model.rootFolderIndex()), std::string("\\\\FS1\\VOL1\\R&D"));
        model.fetchMore(model.rootFolderIndex());
        QCOMPARE(model.rowCount(model.rootFolderIndex()), 1);

        // Invalid and foreign indexes have no path.
        QCOMPARE(model.pathOf(QModelIndex()), std::string());
    }

    void treeViewReportsTheSelectedFolderAndSelectsOnRightClick()
    {
        FakeNamespace shell;
        ShellFolderModel model(shell.lister());
        TShellTreeView view(&model);
        view.resize(300, 300);
        view.setRoot("\\\\FS1\\");
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        // The root row is expanded at once and lists the volumes.
        QTRY_COMPARE(model.rowCount(model.rootFolderIndex()), 2);
        QCOMPARE(view.selectedPath(), std::string());

        const QModelIndex vol1 = childNamed(model, model.rootFolderIndex(), QStringLiteral("VOL1"));
        const QRect rect = view.visualRect(vol1);
        QVERIFY(rect.isValid());
        QTest::mouseClick(view.viewport(), Qt::RightButton, {}, rect.center());
        QCOMPARE(view.selectedPath(), std::string("\\\\FS1\\VOL1"));

        // Re-rooting drops the selection.
        view.setRoot("\\\\FS1\\");
        QCOMPARE(view.selectedPath(), std::string());
    }
};

QTEST_MAIN(ShellFolderModelTest)
#include "ShellFolderModel_test.moc"
