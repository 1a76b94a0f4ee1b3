#include "app/seams/QtMessageBox.h"

#include "util/D_Util.h"

#include <QApplication>
#include <QMessageBox>

void ShowQtMessageBox(int type, const std::string& text)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (type) {
    case mtWarning:
        icon = QMessageBox::Warning;
        break;
    case mtError:
        icon = QMessageBox::Critical;
        break;
    case mtConfirmation:
        icon = QMessageBox::Question;
        break;
    default:
        icon = QMessageBox::Information;
        break;
    }
    QMessageBox box(icon, QApplication::applicationDisplayName(), QString::fromStdString(text), QMessageBox::Ok,
        QApplication::activeWindow());
    box.exec();
}
