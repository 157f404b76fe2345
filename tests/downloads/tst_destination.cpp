#include "PrivateSessionBus.h"
#include "TestEnvironment.h"

#include "downloads/AppSettings.h"
#include "downloads/DownloadDestination.h"
#include "downloads/FolderChooser.h"

#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <memory>
#include <system_error>

#ifdef CLIPDOCK_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>

// Stands in for the desktop portal's folder dialog on a private session bus.
class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.FileChooser")
    Q_PROPERTY(uint version MEMBER version)
public:
    uint version = 4;
    int calls = 0;
    QString parentWindow;
    QString title;
    QVariantMap options;
    QString handle;

public Q_SLOTS:
    QDBusObjectPath OpenFile(const QString &parent, const QString &dialogTitle,
                             const QVariantMap &dialogOptions, const QDBusMessage &message)
    {
        ++calls;
        parentWindow = parent;
        title = dialogTitle;
        options = dialogOptions;
        handle = QStringLiteral("/org/freedesktop/portal/desktop/request/")
                + message.service().mid(1).replace(u'.', u'_') + u'/'
                + dialogOptions.value(QStringLiteral("handle_token")).toString();
        return QDBusObjectPath(handle);
    }
};
#endif

// Stands in for a Qt.labs.platform FolderDialog, which shows only where the platform theme
// has a native dialog.
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

Q_SIGNALS:
    void accepted();
    void rejected();
};

class TestDestination : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init() { TestEnvironment::clearSettings(); }

    void defaultsToDownloads();
    void remembersChosenFolderAcrossRestart();
    void refusesWhatIsNotAFolder_data();
    void refusesWhatIsNotAFolder();
    void vanishedFolderFallsBackAndKeepsStoredValue();
    void displayPath_data();
    void displayPath();

    void chooserOpensAtNearestFolder_data();
    void chooserOpensAtNearestFolder();
    void chooserPrefersTheDesktopsDialog_data();
    void chooserPrefersTheDesktopsDialog();
    void chooserCreatesFolders_data();
    void chooserCreatesFolders();

    void concurrencyAssignments_data();
    void concurrencyAssignments();
    void concurrencyAtStart_data();
    void concurrencyAtStart();
    void concurrencyNotifiesOnlyOnChange();

private:
    QString makeFolder(const QString &relative) const
    {
        const QString path = QDir(m_environment.home()).filePath(relative);
        QDir().mkpath(path);
        return QDir::cleanPath(path);
    }

    TestEnvironment m_environment;
    std::unique_ptr<PrivateSessionBus> m_bus;
};

void TestDestination::initTestCase()
{
    // A bus of this test's own, so the desktop's real portal is never asked; without one, no bus.
    m_bus = std::make_unique<PrivateSessionBus>();
}

void TestDestination::defaultsToDownloads()
{
    DownloadDestination destination;
    QCOMPARE(destination.folderPath(), QDir(m_environment.home()).filePath("Downloads"));
    QCOMPARE(destination.displayPath(), "~/Downloads");
    QVERIFY(!QSettings().contains(DownloadDestination::defaultsKey));
}

void TestDestination::remembersChosenFolderAcrossRestart()
{
    const QString chosen = makeFolder("Videos/Reels");
    {
        DownloadDestination destination;
        QSignalSpy changed(&destination, &DownloadDestination::folderURLChanged);
        QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(chosen + "/")));
        QCOMPARE(destination.folderPath(), chosen);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(destination.displayPath(), "~/Videos/Reels");
    }
    DownloadDestination restarted;
    QCOMPARE(restarted.folderPath(), chosen);
    QCOMPARE(restarted.withAccess([](const QString &folder) { return folder; }), chosen);
}

void TestDestination::refusesWhatIsNotAFolder_data()
{
    QTest::addColumn<QUrl>("candidate");
    const QString home = m_environment.home();
    QFile file(home + "/plain.txt");
    QVERIFY(file.open(QIODevice::WriteOnly));

    QTest::newRow("missing folder") << QUrl::fromLocalFile(home + "/does/not/exist");
    QTest::newRow("a file") << QUrl::fromLocalFile(home + "/plain.txt");
    QTest::newRow("remote address") << QUrl("https://example.com/folder");
    QTest::newRow("empty") << QUrl();
}

void TestDestination::refusesWhatIsNotAFolder()
{
    QFETCH(QUrl, candidate);
    const QString earlier = makeFolder("Earlier");
    DownloadDestination destination;
    QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(earlier)));

    QSignalSpy changed(&destination, &DownloadDestination::folderURLChanged);
    QVERIFY(!destination.adoptFolder(candidate));
    QCOMPARE(destination.folderPath(), earlier);
    QCOMPARE(QSettings().value(DownloadDestination::defaultsKey).toString(), earlier);
    QCOMPARE(changed.size(), 0);
}

void TestDestination::vanishedFolderFallsBackAndKeepsStoredValue()
{
    const QString chosen = makeFolder("External/Drive");
    {
        DownloadDestination destination;
        QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(chosen)));
    }
    QVERIFY(QDir(chosen).removeRecursively());

    DownloadDestination restarted;
    QCOMPARE(restarted.folderPath(), DownloadDestination::defaultFolder());
    // The stored value stays, so the folder is used again once it is back.
    QCOMPARE(QSettings().value(DownloadDestination::defaultsKey).toString(), chosen);
    QVERIFY(QDir().mkpath(chosen));
    DownloadDestination afterReturn;
    QCOMPARE(afterReturn.folderPath(), chosen);
}

void TestDestination::displayPath_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected");

    const QString home = m_environment.home();
    const QString outside = QDir::cleanPath(QDir::tempPath());
    QTest::newRow("home itself") << QString() << "~";
    QTest::newRow("below home") << "Movies/Clip Dock" << "~/Movies/Clip Dock";
    // A folder beside home whose name merely starts with home's name is not under home.
    QTest::newRow("sibling with same prefix") << "../" + QFileInfo(home).fileName() + "-other"
                                              << QDir::cleanPath(home + "-other");
    QTest::newRow("outside home") << outside << outside;
}

void TestDestination::displayPath()
{
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    const QString folder = QDir::isAbsolutePath(relative) ? relative : makeFolder(relative);
    DownloadDestination destination;
    QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(folder)));
    QCOMPARE(destination.displayPath(), expected);
}

// The chooser opens at the folder in use, or, when that is gone, at its nearest parent.
void TestDestination::chooserOpensAtNearestFolder_data()
{
    QTest::addColumn<QString>("chosen");  // adopted first, then removed; none: the default
    QTest::addColumn<QString>("opensAt");

    QTest::newRow("the folder in use") << "Clips/Kept" << "Clips/Kept";
    QTest::newRow("removed since it was chosen") << "Clips/Gone/Deeper" << "Clips";
    QTest::newRow("a default folder never made") << QString() << QString();
}

void TestDestination::chooserOpensAtNearestFolder()
{
    QFETCH(QString, chosen);
    QFETCH(QString, opensAt);
    DownloadDestination destination;
    if (!chosen.isEmpty()) {
        QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(makeFolder(chosen))));
        if (chosen != opensAt)
            QVERIFY(QDir(makeFolder("Clips/Gone")).removeRecursively());
    }
    QVERIFY(!QFileInfo::exists(DownloadDestination::defaultFolder()));
    FolderChooser chooser;
    chooser.setDestination(&destination);
    chooser.open();
    QTRY_VERIFY(chooser.browsing());
    QCOMPARE(chooser.folder(), QUrl::fromLocalFile(makeFolder(opensAt)));
}

// The portal's dialog where the portal can open it at a folder; else the platform theme's; else
// the app's own. Whichever shows, it starts at the folder in use, and its answer is taken once.
void TestDestination::chooserPrefersTheDesktopsDialog_data()
{
    QTest::addColumn<uint>("portalVersion"); // 0: no portal
    QTest::addColumn<int>("portalResponse"); // 0 chosen, 1 cancelled, 2 failed
    QTest::addColumn<QString>("answer");     // relative to home, or an address
    QTest::addColumn<bool>("native");        // the platform theme has a dialog
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("taken");      // empty: the folder stays
    QTest::addColumn<QString>("message");

    QTest::newRow("portal: a folder chosen") << 4u << 0 << "Chosen" << true << "portal" << "Chosen" << "";
    QTest::newRow("portal: cancelled") << 4u << 1 << "" << true << "portal" << "" << "";
    QTest::newRow("portal: a remote folder")
            << 4u << 0 << "sftp://example.com/videos" << false << "portal" << ""
            << "The folder you chose is not a folder on this computer, so downloads still go to ~/Start.";
    QTest::newRow("portal fails: the theme's dialog") << 4u << 2 << "Chosen" << true << "platform" << "Chosen" << "";
    QTest::newRow("portal fails: the app's own") << 4u << 2 << "" << false << "own" << "" << "";
    QTest::newRow("portal too old to open at a folder") << 3u << -1 << "" << false << "own" << "" << "";
    QTest::newRow("no portal: the theme's dialog") << 0u << -1 << "Chosen" << true << "platform" << "Chosen" << "";
    QTest::newRow("no portal: the theme's dialog cancelled") << 0u << -1 << "" << true << "platform" << "" << "";
    QTest::newRow("no portal, no theme dialog") << 0u << -1 << "" << false << "own" << "" << "";
}

void TestDestination::chooserPrefersTheDesktopsDialog()
{
    QFETCH(uint, portalVersion);
    QFETCH(int, portalResponse);
    QFETCH(QString, answer);
    QFETCH(bool, native);
    QFETCH(QString, shown);
    QFETCH(QString, taken);
    QFETCH(QString, message);

    const QString start = makeFolder("Start");
    const QUrl answerURL = answer.contains(u':') ? QUrl(answer) : QUrl::fromLocalFile(makeFolder(answer));
    DownloadDestination destination;
    QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(start)));
    FakePlatformDialog platform;
    platform.native = native;
    FolderChooser chooser;
    chooser.setDestination(&destination);
    chooser.setPlatformDialog(&platform);

#ifdef CLIPDOCK_HAVE_DBUS
    if (portalVersion > 0 && !m_bus->isRunning())
        QSKIP("dbus-daemon is not installed");
    FakePortal portal;
    portal.version = portalVersion;
    QDBusConnection bus = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("portal"));
    const auto unregister = qScopeGuard([&] {
        bus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
        bus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
    });
    if (portalVersion > 0) {
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    }
#else
    if (portalVersion > 0)
        QSKIP("built without D-Bus");
#endif

    chooser.open();
    QVERIFY(chooser.choosing());
#ifdef CLIPDOCK_HAVE_DBUS
    if (portalResponse >= 0) {
        QTRY_COMPARE(portal.calls, 1);
        QCOMPARE(portal.title, "Choose Download Folder");
        QCOMPARE(portal.parentWindow, "");
        QCOMPARE(portal.options.value("directory"), QVariant(true));
        QCOMPARE(portal.options.value("accept_label"), QVariant("Use This Folder"));
        QCOMPARE(portal.options.value("current_folder").toByteArray(), QFile::encodeName(start) + '\0');
        QVERIFY(!chooser.browsing());
        QDBusMessage response = QDBusMessage::createSignal(
                portal.handle, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        response << uint(portalResponse)
                 << QVariantMap{ { "uris", QStringList{ answerURL.toString(QUrl::FullyEncoded) } } };
        QVERIFY(bus.send(response));
        if (shown == QLatin1String("portal"))
            QTRY_VERIFY(!chooser.choosing());
    }
    if (portalVersion > 0 && portalResponse < 0) {
        QTRY_VERIFY(chooser.browsing() || platform.visible);
        QCOMPARE(portal.calls, 0);
    }
#endif
    if (shown == QLatin1String("platform")) {
        QTRY_VERIFY(platform.visible);
        QCOMPARE(platform.currentFolder, QUrl::fromLocalFile(start));
        platform.visible = false;
        platform.folder = answerURL;
        if (taken.isEmpty())
            Q_EMIT platform.rejected();
        else
            Q_EMIT platform.accepted();
        QVERIFY(!chooser.choosing());
    }
    if (shown == QLatin1String("own")) {
        QTRY_VERIFY(chooser.browsing());
        QCOMPARE(chooser.folder(), QUrl::fromLocalFile(start));
        chooser.cancel();
    }
    QVERIFY(!chooser.choosing());
    QVERIFY(!chooser.browsing());
    QCOMPARE(destination.folderPath(), taken.isEmpty() ? start : makeFolder(taken));
    QCOMPARE(chooser.message(), message);
    if (shown != QLatin1String("platform"))
        QVERIFY(!platform.visible);
}

// The app's own view makes a folder in the one it shows and moves into it; what it cannot make,
// it says why.
void TestDestination::chooserCreatesFolders_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("made");    // relative to the folder shown; empty: nothing made
    QTest::addColumn<QString>("message");

    QTest::newRow("a name") << "Reels 2024" << "Reels 2024" << "";
    QTest::newRow("blanks around it") << "  Trips " << "Trips" << "";
    QTest::newRow("blank") << "   " << "" << "Type a name for the new folder.";
    QTest::newRow("a slash") << "a/b" << "" << "A folder name cannot contain \u201c/\u201d.";
    QTest::newRow("dots") << ".." << "" << "\u201c..\u201d cannot be a folder name.";
    QTest::newRow("already there") << "Older" << "" << "\u201cOlder\u201d already exists here.";
    QTest::newRow("the folder shown was removed")
            << "New" << "" << "Couldn't create \u201cNew\u201d: "
                              + QString::fromLocal8Bit(std::generic_category().message(ENOENT)) + ".";
}

void TestDestination::chooserCreatesFolders()
{
    QFETCH(QString, name);
    QFETCH(QString, made);
    QFETCH(QString, message);

    const QString shownFolder = makeFolder("Shown");
    makeFolder("Shown/Older");
    DownloadDestination destination;
    QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(shownFolder)));
    FolderChooser chooser;
    chooser.setDestination(&destination);
    chooser.open();
    QTRY_VERIFY(chooser.browsing());
    if (qstrcmp(QTest::currentDataTag(), "the folder shown was removed") == 0)
        QVERIFY(QDir(shownFolder).removeRecursively());

    const QStringList before = QDir(shownFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(chooser.createFolder(name), !made.isEmpty());
    QCOMPARE(chooser.message(), message);
    if (made.isEmpty()) {
        QCOMPARE(chooser.folder(), QUrl::fromLocalFile(shownFolder));
        QCOMPARE(QDir(shownFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        return;
    }
    const QString path = shownFolder + u'/' + made;
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(chooser.folder(), QUrl::fromLocalFile(path));
    chooser.useFolder();
    QVERIFY(!chooser.browsing());
    QCOMPARE(destination.folderPath(), path);
    TestEnvironment::clearSettings();
    QVERIFY(QDir(path).removeRecursively());
}

void TestDestination::concurrencyAssignments_data()
{
    QTest::addColumn<int>("assigned");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << 0 << 1;
    QTest::newRow("lowest") << 1 << 1;
    QTest::newRow("inside") << 4 << 4;
    QTest::newRow("highest") << 10 << 10;
    QTest::newRow("above") << 25 << 10;
}

void TestDestination::concurrencyAssignments()
{
    QFETCH(int, assigned);
    QFETCH(int, expected);
    {
        AppSettings settings;
        settings.setMaxConcurrentDownloads(assigned);
        QCOMPARE(settings.maxConcurrentDownloads(), expected);
        QCOMPARE(QSettings().value(AppSettings::concurrencyKey).toInt(), expected);
    }
    AppSettings restarted;
    QCOMPARE(restarted.maxConcurrentDownloads(), expected);
}

void TestDestination::concurrencyAtStart_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("missing") << QVariant() << 3;
    QTest::newRow("zero") << QVariant(0) << 3;
    QTest::newRow("seven") << QVariant(7) << 7;
    QTest::newRow("not a number") << QVariant("many") << 3;
    QTest::newRow("above the range is kept until assigned") << QVariant(25) << 25;
}

void TestDestination::concurrencyAtStart()
{
    QFETCH(QVariant, stored);
    QFETCH(int, expected);
    if (stored.isValid())
        QSettings().setValue(AppSettings::concurrencyKey, stored);
    AppSettings settings;
    QCOMPARE(settings.maxConcurrentDownloads(), expected);
    // Starting writes nothing.
    QCOMPARE(QSettings().value(AppSettings::concurrencyKey), stored);
}

void TestDestination::concurrencyNotifiesOnlyOnChange()
{
    AppSettings settings;
    QSignalSpy changed(&settings, &AppSettings::maxConcurrentDownloadsChanged);
    settings.setMaxConcurrentDownloads(3);
    QCOMPARE(changed.size(), 0);
    // An unchanged assignment still stores the value.
    QCOMPARE(QSettings().value(AppSettings::concurrencyKey).toInt(), 3);
    settings.setMaxConcurrentDownloads(12);
    settings.setMaxConcurrentDownloads(10);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(settings.maxConcurrentDownloads(), 10);
}

QTEST_GUILESS_MAIN(TestDestination)
#include "tst_destination.moc"
