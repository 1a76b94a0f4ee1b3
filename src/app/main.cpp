#include "app/TMainForm.h"
#include "app/seams/QtMessageBox.h"
#include "platform/netware/NetworkLoader.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Grantwise"));
    QApplication::setApplicationDisplayName(QStringLiteral("Grantwise"));
    InstallQtMessageBoxHandler();
    // The simulated NetWare client over $GRANTWISE_NETWORK or the built-in demo network.
    InstallNetwork(std::string());

    TMainForm MainForm;
    MainForm.show();
    return app.exec();
}
