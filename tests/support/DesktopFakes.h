#pragma once

// Stand-ins for the desktop's dialogs and services. The D-Bus ones serve on a bus of the test's
// own (PrivateSessionBus) from construction until they go, each on a connection of its own.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantMap>

// Stands in for a Qt.labs.platform FolderDialog, which shows only where the platform theme has a
// native dialog.
class FakePlatformDialog : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool visible MEMBER visible)
    Q_PROPERTY(QUrl folder MEMBER folder)
    Q_PROPERTY(QUrl currentFolder MEMBER currentFolder)
public:
    bool native = false;
    bool visible = false;
    QUrl folder;
    QUrl currentFolder;

    Q_INVOKABLE void open() { visible = native; }
    // Closes the dialog as the user would: taking `chosen`, or cancelled when there is none.
    void answer(const QUrl &chosen)
    {
        visible = false;
        folder = chosen;
        if (chosen.isEmpty())
            Q_EMIT rejected();
        else
            Q_EMIT accepted();
    }

Q_SIGNALS:
    void accepted();
    void rejected();
};

// Stands in for the desktop's default applications: records what QDesktopServices is asked to
// open for `schemes` while it lives.
class FakeDesktopOpener : public QObject
{
    Q_OBJECT
public:
    explicit FakeDesktopOpener(const QStringList &schemes);
    ~FakeDesktopOpener() override;

    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }

private:
    QStringList m_schemes;
};

#ifdef QT_DBUS_LIB
#include <QDBusMessage>
#include <QDBusObjectPath>
#endif

// The desktop portal's folder dialog (org.freedesktop.portal.FileChooser) of some version.
class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.FileChooser")
    Q_PROPERTY(uint version MEMBER version)
public:
    // Serves on the bus at `address`. Version 0 stands for no portal and serves nothing; nor does
    // any where Qt has no D-Bus.
    FakePortal(const QString &address, uint version);
    ~FakePortal() override;
    bool isServing() const { return m_serving; }
    // Ends the dialog last opened: 0 a folder chosen, 1 cancelled, 2 failed.
    bool respond(uint response, const QUrl &chosen);

    uint version;
    int calls = 0;
    QString parentWindow;
    QString title;
    QVariantMap options;

#ifdef QT_DBUS_LIB
public Q_SLOTS:
    QDBusObjectPath OpenFile(const QString &parent, const QString &dialogTitle,
                             const QVariantMap &dialogOptions, const QDBusMessage &message);
#endif

private:
    bool m_serving = false;
    QString m_handle;
};

// The desktop's file manager (org.freedesktop.FileManager1): records what it was asked to show.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    explicit FakeFileManager(const QString &address);
    ~FakeFileManager() override;
    bool isServing() const { return m_serving; }

    QStringList shown;

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &startupId) { shown += uris; }

private:
    bool m_serving = false;
};

// The desktop's notification service (org.freedesktop.Notifications), offering `capabilities`.
// Records each summary, marked "unnamed: " unless the app gave its name and icon, and its actions;
// numbers the notifications from 101.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    FakeNotifications(const QString &address, const QStringList &capabilities);
    ~FakeNotifications() override;
    bool isServing() const { return m_serving; }

    QStringList capabilities;
    QStringList summaries;
    QList<QStringList> actions;

public Q_SLOTS:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString &appName, uint replacesId, const QString &icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int timeout);

Q_SIGNALS:
    void ActionInvoked(uint id, const QString &actionKey);

private:
    bool m_serving = false;
};
