#include "platform/qt_services.h"

#include "platform/posix_file_system.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

QUrl linkUrl(const std::string& target, const std::string& dataFolder) {
    const QString text = QString::fromStdString(target);
    const QUrl url(text, QUrl::TolerantMode);
    if (!url.scheme().isEmpty()) {
        return url;
    }
    if (!isPlainFileName(target) || dataFolder.empty()) {
        return QUrl();
    }
    return QUrl::fromLocalFile(QString::fromStdString(dataFolder) + QLatin1Char('/') + text);
}

bool webBrowserAvailable() {
    if (!qEnvironmentVariableIsEmpty("BROWSER") ||
        !QStandardPaths::findExecutable(QStringLiteral("x-www-browser")).isEmpty()) {
        return true;
    }
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) {
        return true; // no xdg-utils: the desktop's own way of opening decides
    }
    QProcess query;
    query.start(xdgMime,
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/html")});
    return query.waitForFinished(2000) && !query.readAllStandardOutput().trimmed().isEmpty();
}

bool QtLinkOpener::open(const std::string& target) {
    const QUrl url = linkUrl(target, m_dataFolder);
    if (!url.isValid()) {
        return false;
    }
    if (url.isLocalFile() && url.path().endsWith(QStringLiteral(".html")) &&
        !webBrowserAvailable()) {
        return false; // the help window shows the page itself
    }
    return QDesktopServices::openUrl(url);
}

} // namespace platform
