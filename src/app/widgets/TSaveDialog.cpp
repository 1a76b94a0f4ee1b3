#include "app/widgets/TSaveDialog.h"

#include "app/seams/SaveFileName.h"

TSaveDialog::TSaveDialog(QObject* parent)
    : QObject(parent)
{
}

bool TSaveDialog::execute(QWidget* dialogParent)
{
    const std::optional<QString> chosen = AskSaveFileName({ fileName, defaultExt, filter, dialogParent });
    if (!chosen)
        return false;
    fileName = *chosen;
    return true;
}
