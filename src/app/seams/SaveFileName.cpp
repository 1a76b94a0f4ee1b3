#include "app/seams/SaveFileName.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

QString QtNameFilters(const QString& dialogFilter)
{
    const QStringList parts = dialogFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString patterns = i + 1 < parts.size() ? parts[i + 1] : QString();
        if (patterns.isEmpty())
            filters.append(parts[i]);
        else
            filters.append(
                QStringLiteral("%1 (%2)").arg(parts[i], QString(patterns).replace(QLatin1Char(';'), QLatin1Char(' '))));
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<std::string> QtSaveFileName(const SaveFileRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = QtNameFilters(QString::fromStdString(request.filter)).split(QStringLiteral(";;"));
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));
    dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> QtOpenFileName(const SaveFileRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = QtNameFilters(QString::fromStdString(request.filter)).split(QStringLiteral(";;"));
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}
