#include "app/seams/SaveFileName.h"

#include <QFileDialog>
#include <QStringList>

namespace {
SaveFileNameFunction& installedFunction()
{
    static SaveFileNameFunction function;
    return function;
}
} // namespace

std::optional<QString> AskSaveFileName(const SaveFileRequest& request)
{
    const SaveFileNameFunction& function = installedFunction();
    return function ? function(request) : QtSaveFileName(request);
}

SaveFileNameFunction SetSaveFileNameFunction(SaveFileNameFunction function)
{
    SaveFileNameFunction previous = std::move(installedFunction());
    installedFunction() = std::move(function);
    return previous;
}

QString QtNameFilters(const QString& dialogFilter)
{
    const QStringList parts = dialogFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString patterns = i + 1 < parts.size() ? parts[i + 1] : QString();
        if (patterns.isEmpty())
            filters.append(parts[i]);
        else
            filters.append(QStringLiteral("%1 (%2)").arg(parts[i], QString(patterns).replace(QLatin1Char(';'), QLatin1Char(' '))));
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> QtSaveFileName(const SaveFileRequest& request)
{
    QFileDialog dialog(request.parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = QtNameFilters(request.filter).split(QStringLiteral(";;"));
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    dialog.setDefaultSuffix(request.defaultExt);
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}
