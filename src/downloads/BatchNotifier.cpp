#include "downloads/BatchNotifier.h"

#include "downloads/DownloadDestination.h"
#include "downloads/DownloadManager.h"
#include "downloads/FileActions.h"

#include <QGuiApplication>

#include <utility>

#ifdef CLIPDOCK_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#endif

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
const QString applicationId = QStringLiteral("app.clipdock.ClipDock");
// A notification service answers at once; one that does not is not waited for long.
constexpr int callTimeoutMs = 5000;

} // namespace

BatchNotifier::BatchNotifier(DownloadManager *manager, DownloadDestination *destination,
                             QObject *parent)
    : QObject(parent), m_manager(manager), m_destination(destination)
{
    // Every item that starts or ends changes the counts.
    connect(m_manager, &DownloadManager::summaryChanged, this, &BatchNotifier::follow);
}

QString BatchNotifier::message(int saved, int failed, const QString &folder)
{
    if (saved > 0 && failed > 0)
        return tr("%1 saved, %2 failed").arg(saved).arg(failed);
    if (saved > 0)
        return saved == 1 ? tr("1 reel saved to %1").arg(folder)
                          : tr("%1 reels saved to %2").arg(saved).arg(folder);
    if (failed > 0)
        return failed == 1 ? tr("1 reel failed to download")
                           : tr("%1 reels failed to download").arg(failed);
    return {};
}

void BatchNotifier::follow()
{
    bool running = false;
    for (const DownloadItem &item : m_manager->items()) {
        switch (item.state.kind()) {
        case DownloadState::Kind::queued:
        case DownloadState::Kind::downloading:
            m_batch.insert(item.id, Outcome::running);
            running = true;
            break;
        case DownloadState::Kind::completed:
            // A reel found saved before it was asked for never ran, and is nobody's news.
            if (m_batch.contains(item.id))
                m_batch.insert(item.id, Outcome::saved);
            break;
        case DownloadState::Kind::failed:
            if (m_batch.contains(item.id))
                m_batch.insert(item.id, DownloadManager::isStoppedByUser(item.state)
                                                ? Outcome::stopped
                                                : Outcome::failed);
            break;
        case DownloadState::Kind::idle:
            break;
        }
    }
    if (running || m_batch.isEmpty())
        return;
    const QList<Outcome> outcomes = std::exchange(m_batch, {}).values();
    notify(int(outcomes.count(Outcome::saved)), int(outcomes.count(Outcome::failed)));
}

void BatchNotifier::notify(int saved, int failed)
{
    if (QGuiApplication::applicationState() == Qt::ApplicationActive)
        return;
    const QString text = message(saved, failed, m_destination->displayPath());
    if (text.isEmpty())
        return;
#ifdef CLIPDOCK_HAVE_DBUS
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    if (!m_listening) {
        // Signals of whoever owns the service's name, whichever process that is at the time.
        bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this,
                    SLOT(onActionInvoked(uint,QString)));
        bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this,
                    SLOT(onNotificationClosed(uint,uint)));
        m_listening = true;
    }
    // Opening the folder is offered only when something new is in it.
    const QUrl folder = saved > 0 ? m_destination->folderURL() : QUrl();
    const QDBusMessage ask = QDBusMessage::createMethodCall(service, path, interface,
                                                            QStringLiteral("GetCapabilities"));
    auto *asked = new QDBusPendingCallWatcher(bus.asyncCall(ask, callTimeoutMs), this);
    connect(asked, &QDBusPendingCallWatcher::finished, this, [this, asked, text, folder] {
        asked->deleteLater();
        const QDBusPendingReply<QStringList> capabilities = *asked;
        // An error: no notification service here.
        if (!capabilities.isError())
            show(text, capabilities.value().contains(QStringLiteral("actions")) ? folder : QUrl());
    });
#endif
}

void BatchNotifier::show(const QString &text, const QUrl &folder)
{
#ifdef CLIPDOCK_HAVE_DBUS
    QStringList actions;
    if (!folder.isEmpty())
        actions << openFolderAction << tr("Open download folder");
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface,
                                                       QStringLiteral("Notify"));
    call << QStringLiteral("Clip Dock") << uint(0) << applicationId << text << QString() << actions
         << QVariantMap{ { QStringLiteral("desktop-entry"), applicationId } } << int(-1);
    auto *shown = new QDBusPendingCallWatcher(
            QDBusConnection::sessionBus().asyncCall(call, callTimeoutMs), this);
    connect(shown, &QDBusPendingCallWatcher::finished, this, [this, shown, folder] {
        shown->deleteLater();
        const QDBusPendingReply<uint> id = *shown;
        if (!folder.isEmpty() && !id.isError())
            m_folders.insert(id.value(), folder);
    });
#else
    Q_UNUSED(text);
    Q_UNUSED(folder);
#endif
}

void BatchNotifier::onActionInvoked(uint id, const QString &action)
{
    if (action != openFolderAction)
        return;
    const QUrl folder = m_folders.value(id);
    if (!folder.isEmpty())
        FileActions::openFolder(folder);
}

void BatchNotifier::onNotificationClosed(uint id, uint reason)
{
    Q_UNUSED(reason);
    m_folders.remove(id);
}
