#pragma once

#include <QObject>
#include <QString>

struct Services;

/// The file-save dialog component: the proposed file name, default extension and filter
/// ("Description|*.ext|All Files|*.*") are set before each use; `execute` asks the
/// save-file-name service of the context it is given and keeps the answer in `fileName`.
class TSaveDialog : public QObject {
    Q_OBJECT
public:
    explicit TSaveDialog(QObject* parent = nullptr);

    QString defaultExt = QStringLiteral("txt");
    QString fileName = QStringLiteral("Trustees.txt");
    QString filter = QStringLiteral("Text Files|*.txt|All Files|*.*");

    /// Runs the dialog through services. True when a file was chosen (now in fileName);
    /// false when the user cancelled (fileName unchanged).
    bool execute(const Services& services);
};
