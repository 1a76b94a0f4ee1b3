#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Grantwise"));
    window.resize(745, 504);
    window.show();
    return app.exec();
}
