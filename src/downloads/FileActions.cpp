#include "downloads/FileActions.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <optional>
#include <system_error>

#ifdef CLIPDOCK_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#endif

namespace {

// The existing local entry behind `url`, or nothing.
std::optional<QFileInfo> localEntry(const QUrl &url)
{
    if (!url.isValid() || !url.isLocalFile())
        return std::nullopt;
    QFileInfo info(url.toLocalFile());
    if (!info.isAbsolute() || !info.exists())
        return std::nullopt;
    return info;
}

void openContainingFolder(const QFileInfo &file)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(file.absolutePath()));
}

} // namespace

FileActions::FileActions(QObject *parent)
    : QObject(parent)
{
}

QString FileActions::revealLabel()
{
#ifdef Q_OS_MACOS
    return tr("Show in Finder");
#else
    return tr("Show in Folder");
#endif
}

bool FileActions::open(const QUrl &file)
{
    const auto entry = localEntry(file);
    if (!entry || !entry->isFile())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(entry->absoluteFilePath()));
}

bool FileActions::reveal(const QUrl &file)
{
    const auto entry = localEntry(file);
    if (!entry)
        return false;
#ifdef CLIPDOCK_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.FileManager1"),
                QStringLiteral("/org/freedesktop/FileManager1"),
                QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
        call << QStringList{ QUrl::fromLocalFile(entry->absoluteFilePath()).toString() }
             << QString();
        // Asked without waiting: the main thread never blocks on the bus.
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                         [watcher, shown = *entry] {
            if (watcher->isError())
                openContainingFolder(shown);
            watcher->deleteLater();
        });
        return true;
    }
#endif
    openContainingFolder(*entry);
    return true;
}

QString FileActions::openFolder(const QUrl &folder)
{
    const QString path = folder.isValid() && folder.isLocalFile() ? folder.toLocalFile() : QString();
    if (!QDir::isAbsolutePath(path))
        return tr("The download folder must be a folder on this computer.");
    const QString clean = QDir::cleanPath(path);
    const QFileInfo entry(clean);
    if (entry.exists() && !entry.isDir())
        return tr("\u201c%1\u201d is a file, not a folder.").arg(clean);
    // A folder not made yet (a Downloads folder that was never created) or taken away since it
    // was chosen is made again, with any missing parents.
    if (!entry.exists()) {
        std::error_code error;
        std::filesystem::create_directories(QFile::encodeName(clean).toStdString(), error);
        if (error)
            return tr("Couldn't create \u201c%1\u201d: %2.")
                    .arg(clean, QString::fromLocal8Bit(error.message()));
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(clean)))
        return tr("No application could open \u201c%1\u201d.").arg(clean);
    return {};
}
