#include "DesktopFakes.h"

#include <QDesktopServices>

#ifdef QT_DBUS_LIB
#include <QDBusConnection>
#endif

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString fileManagerService = QStringLiteral("org.freedesktop.FileManager1");
const QString fileManagerPath = QStringLiteral("/org/freedesktop/FileManager1");
const QString notificationsService = QStringLiteral("org.freedesktop.Notifications");
const QString notificationsPath = QStringLiteral("/org/freedesktop/Notifications");

// Each fake on a connection of its own, named after its service.
bool serve(const QString &address, const QString &service, const QString &path, QObject *object)
{
#ifdef QT_DBUS_LIB
    QDBusConnection bus = QDBusConnection::connectToBus(address, service);
    return bus.registerObject(path, object, QDBusConnection::ExportAllSlots
                                      | QDBusConnection::ExportAllProperties
                                      | QDBusConnection::ExportAllSignals)
            && bus.registerService(service);
#else
    return false;
#endif
}

void stopServing(const QString &service, const QString &path)
{
#ifdef QT_DBUS_LIB
    QDBusConnection bus(service);
    bus.unregisterService(service);
    bus.unregisterObject(path);
#endif
}

} // namespace

FakeDesktopOpener::FakeDesktopOpener(const QStringList &schemes) : m_schemes(schemes)
{
    for (const QString &scheme : schemes)
        QDesktopServices::setUrlHandler(scheme, this, "open");
}

FakeDesktopOpener::~FakeDesktopOpener()
{
    for (const QString &scheme : std::as_const(m_schemes))
        QDesktopServices::unsetUrlHandler(scheme);
}

FakePortal::FakePortal(const QString &address, uint version) : version(version)
{
    m_serving = version > 0 && serve(address, portalService, portalPath, this);
}

FakePortal::~FakePortal()
{
    if (m_serving)
        stopServing(portalService, portalPath);
}

bool FakePortal::respond(uint response, const QUrl &chosen)
{
#ifdef QT_DBUS_LIB
    QDBusMessage signal = QDBusMessage::createSignal(
            m_handle, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
    signal << response
           << QVariantMap{ { QStringLiteral("uris"),
                             QStringList{ chosen.toString(QUrl::FullyEncoded) } } };
    return QDBusConnection(portalService).send(signal);
#else
    return false;
#endif
}

#ifdef QT_DBUS_LIB
QDBusObjectPath FakePortal::OpenFile(const QString &parent, const QString &dialogTitle,
                                     const QVariantMap &dialogOptions, const QDBusMessage &message)
{
    ++calls;
    parentWindow = parent;
    title = dialogTitle;
    options = dialogOptions;
    // The request's path as the portal makes it: the caller's name and its token.
    m_handle = QStringLiteral("/org/freedesktop/portal/desktop/request/")
            + message.service().mid(1).replace(u'.', u'_') + u'/'
            + dialogOptions.value(QStringLiteral("handle_token")).toString();
    return QDBusObjectPath(m_handle);
}
#endif

FakeFileManager::FakeFileManager(const QString &address)
{
    m_serving = serve(address, fileManagerService, fileManagerPath, this);
}

FakeFileManager::~FakeFileManager()
{
    if (m_serving)
        stopServing(fileManagerService, fileManagerPath);
}

FakeNotifications::FakeNotifications(const QString &address, const QStringList &capabilities)
    : capabilities(capabilities)
{
    m_serving = serve(address, notificationsService, notificationsPath, this);
}

FakeNotifications::~FakeNotifications()
{
    if (m_serving)
        stopServing(notificationsService, notificationsPath);
}

uint FakeNotifications::Notify(const QString &appName, uint, const QString &icon,
                               const QString &summary, const QString &, const QStringList &actions,
                               const QVariantMap &, int)
{
    const bool named = appName == QLatin1String("Clip Dock")
            && icon == QLatin1String("app.clipdock.ClipDock");
    summaries.append(named ? summary : QStringLiteral("unnamed: ") + summary);
    this->actions.append(actions);
    return uint(summaries.size()) + 100;
}
