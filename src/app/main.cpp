#include "app/TMainForm.h"
#include "app/seams/QtMessageBox.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Grantwise"));
    QApplication::setApplicationDisplayName(QStringLiteral("Grantwise"));
    InstallQtMessageBoxHandler();

    TMainForm MainForm;
    MainForm.show();
    return app.exec();
}
