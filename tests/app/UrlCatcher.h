#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

/// Receives the addresses QDesktopServices would hand to the desktop, once installed
/// with QDesktopServices::setUrlHandler(scheme, catcher, "open").
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls.append(url); }
};
