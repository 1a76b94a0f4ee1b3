#pragma once

#include <QObject>
#include <QString>

class QWidget;

/// The file-save dialog component: the proposed file name, default extension and filter
/// ("Description|*.ext|All Files|*.*") are set before each use; `execute` asks through
/// the replaceable save-file-name function and keeps the answer in `fileName`.
class TSaveDialog : public QObject {
    Q_OBJECT
public:
    explicit TSaveDialog(QObject* parent = nullptr);

    QString defaultExt = QStringLiteral("txt");
    QString fileName = QStringLiteral("Trustees.txt");
    QString filter = QStringLiteral("Text Files|*.txt|All Files|*.*");

    /// Runs the dialog over dialogParent. True when a file was chosen (now in fileName);
    /// false when the user cancelled (fileName unchanged).
    bool execute(QWidget* dialogParent);
};
