#include "app/TMainForm.h"
#include "app/seams/QtMessageBox.h"
#include "app/seams/SaveFileName.h"
#include "platform/netware/NetworkLoader.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Grantwise"));
    QApplication::setApplicationDisplayName(QStringLiteral("Grantwise"));

    // The simulated NetWare client over $GRANTWISE_NETWORK or the built-in demo network,
    // Qt's message box, save and open dialogs; the window adds its pending-messages pump.
    const std::unique_ptr<SimulatedNetWare> network = LoadNetwork(std::string());
    Services services;
    services.clientLibrary = network.get();
    services.messageBox = &ShowQtMessageBox;
    services.saveFileName = &QtSaveFileName;
    services.openFileName = &QtOpenFileName;

    TMainForm MainForm(services);
    MainForm.show();
    return app.exec();
}
