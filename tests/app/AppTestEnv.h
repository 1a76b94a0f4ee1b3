#pragma once

// What every window test sets up: a fresh configuration folder (the settings file), and a
// context of services to hand the window: messages recorded, the program's path in a
// temporary folder (the information text and README beside it), and the simulated
// NetWare client over a network description under tests/data/app (or the library the
// test names). Header-only, shared by the window tests.

#include "app/models/ShellFolderModel.h"
#include "netware/D_NW.h"
#include "platform/netware/NetworkLoader.h"
#include "support/TestPaths.h"
#include "support/TestServices.h"

#include "app/widgets/TRadioGroup.h"

#include <QByteArray>
#include <QModelIndex>
#include <QRadioButton>
#include <QTest>
#include <QtGlobal>

#include <memory>
#include <string>

class AppTestEnv {
public:
    /// network: a file name under tests/data/app, or "" for no library (the test sets
    /// its own with useLibrary).
    explicit AppTestEnv(const std::string& network = "window-network.json")
    {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_home.path()));
        m_services.context().programFilePath = m_home.file("grantwise");
        if (!network.empty()) {
            m_network = LoadNetwork(TestDataPath("app/" + network));
            useLibrary(*m_network);
        }
    }
    AppTestEnv(const AppTestEnv&) = delete;
    AppTestEnv& operator=(const AppTestEnv&) = delete;

    /// The context a window is made with. Each window copies it, so each one brings the
    /// client up afresh; messages, pending-messages calls and save-dialog answers still
    /// reach services().
    const Services& context() { return m_services.context(); }
    /// Makes library the client library of the windows made from now on.
    void useLibrary(NWClientLibrary& library) { m_services.context().clientLibrary = &library; }
    /// The recorded messages, and the pending-messages and save-file-name services the
    /// test sets.
    TestServices& services() { return m_services; }

    const TempDir& home() const { return m_home; }
    /// The settings file the window writes ("grantwise.ini" in the configuration folder).
    std::string iniFile() const { return m_home.file("grantwise.ini"); }

private:
    TempDir m_home;
    std::unique_ptr<SimulatedNetWare> m_network;
    TestServices m_services;
};

/// Writes a network description of one server FS1 whose volume VOL1 is generated with
/// the `generate` keys given (the members of a JSON object) into the configuration
/// folder, and returns its file name (for LoadNetwork).
inline std::string WriteGeneratedNetwork(const AppTestEnv& env, const std::string& keys)
{
    const std::string file = env.home().file("generated.json");
    WriteFileBytes(file,
        R"({ "grantwise-network": 1, "trees": [ { "name": "T" } ],
      "servers": [ { "name": "FS1", "tree": "T", "volumes": [ { "name": "VOL1", "generate": { )"
            + keys + " } } ] } ] }");
    return file;
}

/// The index of the folder with this full path, listing folders on the way as a view
/// expanding them would; invalid when there is none.
inline QModelIndex FolderIndex(ShellFolderModel& model, const std::string& path)
{
    QModelIndex current = model.rootFolderIndex();
    while (current.isValid()) {
        if (model.pathOf(current) == path)
            return current;
        if (model.canFetchMore(current))
            model.fetchMore(current);
        QModelIndex next;
        for (int row = 0; row < model.rowCount(current); ++row) {
            const QModelIndex child = model.index(row, 0, current);
            const std::string childPath = model.pathOf(child);
            if (path == childPath || path.rfind(childPath + "\\", 0) == 0) {
                next = child;
                break;
            }
        }
        current = next;
    }
    return {};
}

/// A mouse click on an item of a radio group, on its indicator, as a user's click lands.
inline void ClickRadioItem(TRadioGroup* group, int item)
{
    QRadioButton* button = group->findChildren<QRadioButton*>().at(item);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}
