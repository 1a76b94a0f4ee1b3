#include "app/widgets/TSaveDialog.h"

#include "services/Services.h"

TSaveDialog::TSaveDialog(QObject* parent)
    : QObject(parent)
{
}

bool TSaveDialog::execute(const Services& services)
{
    const std::optional<std::string> chosen
        = services.askSaveFileName({ fileName.toStdString(), defaultExt.toStdString(), filter.toStdString() });
    if (!chosen)
        return false;
    fileName = QString::fromStdString(*chosen);
    return true;
}
