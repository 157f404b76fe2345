#include "downloads/FolderChooser.h"

#include "downloads/DownloadDestination.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QWindow>

#include <filesystem>
#include <system_error>

#ifdef CLIPDOCK_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#endif

namespace {

#ifdef CLIPDOCK_HAVE_DBUS
const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString fileChooserInterface = QStringLiteral("org.freedesktop.portal.FileChooser");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
// Folders are chosen from version 3 on, and a dialog opens at a given folder from version 4.
constexpr uint portalVersionNeeded = 4;
constexpr int portalVersionTimeoutMs = 5000;
#endif

QtMessageHandler passedOn = nullptr;

// Qt Labs Platform reports on the error stream, asking for Qt Widgets, when the platform theme has
// no native dialog; here that is an expected answer, and the app's own dialog follows.
void withoutNoNativeDialogComplaint(QtMsgType type, const QMessageLogContext &context,
                                    const QString &message)
{
    if (type == QtCriticalMsg && message.contains(QLatin1String("No native"))
        && message.contains(QLatin1String("implementation available")))
        return;
    passedOn(type, context, message);
}

// `path`, or its nearest parent that is a folder; the home folder when none is.
QString existingFolder(QString path)
{
    while (QDir::isAbsolutePath(path)) {
        if (QFileInfo(path).isDir())
            return QDir::cleanPath(path);
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path)
            break;
        path = parent;
    }
    return QDir::homePath();
}

} // namespace

FolderChooser::FolderChooser(QObject *parent) : QObject(parent)
{
}

FolderChooser::~FolderChooser()
{
#ifdef CLIPDOCK_HAVE_DBUS
    // The portal's dialog would outlive the screen that asked for it.
    if (!m_request.isEmpty())
        QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
                portalService, m_request, requestInterface, QStringLiteral("Close")));
#endif
}

void FolderChooser::setDestination(DownloadDestination *destination)
{
    if (m_destination == destination)
        return;
    m_destination = destination;
    Q_EMIT destinationChanged();
}

void FolderChooser::setPlatformDialog(QObject *dialog)
{
    if (m_platformDialog == dialog)
        return;
    if (m_platformDialog)
        m_platformDialog->disconnect(this);
    m_platformDialog = dialog;
    if (dialog) {
        connect(dialog, SIGNAL(accepted()), this, SLOT(platformAccepted()));
        connect(dialog, SIGNAL(rejected()), this, SLOT(platformRejected()));
    }
    Q_EMIT platformDialogChanged();
}

QString FolderChooser::displayPath() const
{
    return DownloadDestination::displayPath(m_folder.toLocalFile());
}

bool FolderChooser::canGoUp() const
{
    return !m_folder.isEmpty() && !QDir(m_folder.toLocalFile()).isRoot();
}

void FolderChooser::open()
{
    if (m_choosing || !m_destination)
        return;
    setMessage({});
    m_start = existingFolder(m_destination->folderPath());
    setChoosing(true);
    if (!askPortal())
        openPlatformOrOwnDialog();
}

// Asks the desktop portal for its version first: one too old to open at a folder is passed by.
// True when the question is on its way; the answer decides which dialog shows.
bool FolderChooser::askPortal()
{
#ifdef CLIPDOCK_HAVE_DBUS
    // A headless platform puts our windows on no display the desktop's dialog could join.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
            portalService, portalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
            QStringLiteral("Get"));
    call << fileChooserInterface << QStringLiteral("version");
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, portalVersionTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *watcher;
        const uint version = reply.isError() ? 0 : reply.value().variant().toUInt();
        if (version >= portalVersionNeeded)
            openPortalDialog();
        else
            openPlatformOrOwnDialog();
    });
    return true;
#else
    return false;
#endif
}

void FolderChooser::openPortalDialog()
{
#ifdef CLIPDOCK_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The portal answers on a request object named after this connection and a token of ours;
    // listening before asking means no answer can come first.
    const QString token = QStringLiteral("clipdock%1").arg(QRandomGenerator::global()->generate());
    const QString sender = bus.baseService().mid(1).replace(u'.', u'_');
    m_request = portalPath + QStringLiteral("/request/") + sender + u'/' + token;
    bus.connect(portalService, m_request, requestInterface, QStringLiteral("Response"), this,
                SLOT(portalResponse(uint,QVariantMap)));

    const QVariantMap options{
        { QStringLiteral("handle_token"), token },
        { QStringLiteral("accept_label"), tr("Use This Folder") },
        { QStringLiteral("modal"), true },
        { QStringLiteral("directory"), true },
        // A path as bytes, ending in a NUL.
        { QStringLiteral("current_folder"), QByteArray(QFile::encodeName(m_start) + '\0') },
    };
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath,
                                                       fileChooserInterface,
                                                       QStringLiteral("OpenFile"));
    call << portalParentWindow() << tr("Choose Download Folder") << options;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        if (reply.isError()) {
            stopListeningToPortal();
            openPlatformOrOwnDialog();
            return;
        }
        // A portal older than handle tokens names its own request object.
        const QString handle = reply.value().path();
        if (handle != m_request && !m_request.isEmpty()) {
            stopListeningToPortal();
            m_request = handle;
            QDBusConnection::sessionBus().connect(portalService, m_request, requestInterface,
                                                  QStringLiteral("Response"), this,
                                                  SLOT(portalResponse(uint,QVariantMap)));
        }
    });
#endif
}

void FolderChooser::stopListeningToPortal()
{
#ifdef CLIPDOCK_HAVE_DBUS
    if (!m_request.isEmpty())
        QDBusConnection::sessionBus().disconnect(portalService, m_request, requestInterface,
                                                 QStringLiteral("Response"), this,
                                                 SLOT(portalResponse(uint,QVariantMap)));
#endif
    m_request.clear();
}

// The portal places its dialog over ours when it knows our window; it can name an X11 one only.
QString FolderChooser::portalParentWindow() const
{
    if (!m_window || QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    return QStringLiteral("x11:") + QString::number(m_window->winId(), 16);
}

void FolderChooser::portalResponse(uint response, const QVariantMap &results)
{
    stopListeningToPortal();
    switch (response) {
    case 0:
        take(QUrl(results.value(QStringLiteral("uris")).toStringList().value(0)));
        break;
    case 1: // cancelled by the user
        finish();
        break;
    default: // the portal could not show its dialog
        openPlatformOrOwnDialog();
        break;
    }
}

void FolderChooser::openPlatformOrOwnDialog()
{
    const QUrl start = QUrl::fromLocalFile(m_start);
    if (m_platformDialog) {
        m_platformDialog->setProperty("currentFolder", start);
        m_platformDialog->setProperty("folder", start);
        passedOn = qInstallMessageHandler(withoutNoNativeDialogComplaint);
        QMetaObject::invokeMethod(m_platformDialog, "open");
        qInstallMessageHandler(passedOn);
        // Without a native dialog it stays hidden.
        if (m_platformDialog->property("visible").toBool())
            return;
    }
    setFolder(m_start);
    setBrowsing(true);
}

void FolderChooser::platformAccepted()
{
    if (m_choosing)
        take(m_platformDialog->property("folder").toUrl());
}

void FolderChooser::platformRejected()
{
    if (m_choosing)
        finish();
}

void FolderChooser::enter(const QUrl &folder)
{
    const QString path = folder.isLocalFile() ? folder.toLocalFile() : QString();
    if (!QDir::isAbsolutePath(path) || !QFileInfo(path).isDir()) {
        setMessage(tr("\u201c%1\u201d is no longer there.")
                           .arg(QFileInfo(path).fileName()));
        return;
    }
    setMessage({});
    setFolder(path);
}

void FolderChooser::goUp()
{
    if (canGoUp())
        enter(QUrl::fromLocalFile(QFileInfo(m_folder.toLocalFile()).absolutePath()));
}

bool FolderChooser::createFolder(const QString &name)
{
    const QString trimmed = name.trimmed();
    const auto refuse = [this](const QString &message) {
        setMessage(message);
        return false;
    };
    if (trimmed.isEmpty())
        return refuse(tr("Type a name for the new folder."));
    if (trimmed.contains(u'/'))
        return refuse(tr("A folder name cannot contain \u201c/\u201d."));
    if (trimmed == QLatin1String(".") || trimmed == QLatin1String(".."))
        return refuse(tr("\u201c%1\u201d cannot be a folder name.").arg(trimmed));
    const QString path = QDir(m_folder.toLocalFile()).filePath(trimmed);
    if (QFileInfo::exists(path))
        return refuse(tr("\u201c%1\u201d already exists here.").arg(trimmed));
    std::error_code error;
    std::filesystem::create_directory(QFile::encodeName(path).toStdString(), error);
    if (error)
        return refuse(tr("Couldn't create \u201c%1\u201d: %2.")
                              .arg(trimmed, QString::fromLocal8Bit(error.message())));
    setMessage({});
    setFolder(path);
    return true;
}

void FolderChooser::useFolder()
{
    if (!m_browsing)
        return;
    if (!m_destination || !m_destination->adoptFolder(m_folder)) {
        setMessage(tr("\u201c%1\u201d is no longer a folder.").arg(displayPath()));
        return;
    }
    setMessage({});
    finish();
}

void FolderChooser::cancel()
{
    if (m_browsing)
        finish();
}

// What a desktop's dialog chose.
void FolderChooser::take(const QUrl &folder)
{
    if (m_destination && !m_destination->adoptFolder(folder))
        setMessage(tr("The folder you chose is not a folder on this computer, so downloads still "
                      "go to %1.")
                           .arg(m_destination->displayPath()));
    finish();
}

void FolderChooser::finish()
{
    setBrowsing(false);
    setChoosing(false);
}

void FolderChooser::setChoosing(bool choosing)
{
    if (m_choosing == choosing)
        return;
    m_choosing = choosing;
    Q_EMIT choosingChanged();
}

void FolderChooser::setBrowsing(bool browsing)
{
    if (m_browsing == browsing)
        return;
    m_browsing = browsing;
    Q_EMIT browsingChanged();
}

void FolderChooser::setFolder(const QString &path)
{
    const QUrl url = QUrl::fromLocalFile(QDir::cleanPath(path));
    if (m_folder == url)
        return;
    m_folder = url;
    Q_EMIT folderChanged();
}

void FolderChooser::setMessage(const QString &message)
{
    if (m_message == message)
        return;
    m_message = message;
    Q_EMIT messageChanged();
}
