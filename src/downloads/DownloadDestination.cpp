#include "downloads/DownloadDestination.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

DownloadDestination::DownloadDestination(QObject *parent) : QObject(parent)
{
    m_folderURL = QUrl::fromLocalFile(defaultFolder());

    // A remembered folder that no longer resolves leaves the default in use; its stored value
    // stays, so the folder is found again if it comes back.
    const QVariant stored = QSettings().value(defaultsKey);
    if (!stored.isValid())
        return;
    const QByteArray bookmark = stored.toString().toUtf8();
    if (const auto folder = resolveBookmark(bookmark)) {
        m_folderURL = QUrl::fromLocalFile(*folder);
        m_bookmarkData = bookmark;
    }
}

QString DownloadDestination::defaultFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation).value(0);
    return folder;
}

QString DownloadDestination::displayPath(const QString &path)
{
    const QString home = QDir::homePath();
    // Only a whole leading folder is the home directory: /home/annabel is not under /home/anna.
    if (!home.isEmpty() && home != QStringLiteral("/")
        && (path == home || path.startsWith(home + u'/')))
        return u'~' + path.mid(home.size());
    return path;
}

bool DownloadDestination::adoptFolder(const QUrl &folder)
{
    if (!folder.isLocalFile())
        return false;
    const QFileInfo info(folder.toLocalFile());
    if (!info.isDir())
        return false;
    const QString path = QDir::cleanPath(info.absoluteFilePath());
    const QByteArray bookmark = path.toUtf8();

    QSettings().setValue(defaultsKey, path);
    m_bookmarkData = bookmark;
    const QUrl url = QUrl::fromLocalFile(path);
    if (url != m_folderURL) {
        m_folderURL = url;
        Q_EMIT folderURLChanged();
    }
    return true;
}

bool DownloadDestination::useFolderForThisRun(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return false;
    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    m_bookmarkData = folder.toUtf8();
    const QUrl url = QUrl::fromLocalFile(folder);
    if (url != m_folderURL) {
        m_folderURL = url;
        Q_EMIT folderURLChanged();
    }
    return true;
}

std::optional<QString> DownloadDestination::resolveBookmark(const QByteArray &bookmark)
{
    const QString path = QString::fromUtf8(bookmark);
    if (path.isEmpty() || !QDir::isAbsolutePath(path) || !QFileInfo(path).isDir())
        return std::nullopt;
    return QDir::cleanPath(path);
}

QString DownloadDestination::accessibleFolder() const
{
    if (m_bookmarkData) {
        if (const auto folder = resolveBookmark(*m_bookmarkData))
            return *folder;
    }
    return folderPath();
}
