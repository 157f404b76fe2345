#include "DesktopFakes.h"
#include "PrivateSessionBus.h"
#include "TestEnvironment.h"
#include "TestFiles.h"

#include "downloads/AppSettings.h"
#include "downloads/DownloadDestination.h"
#include "downloads/FolderChooser.h"

#include <QtTest>

#include <cerrno>
#include <system_error>

class TestDestination : public QObject
{
    Q_OBJECT

    QString makeFolder(const QString &relative) const
    {
        const QString path = QDir(m_environment.home()).filePath(relative);
        QDir().mkpath(path);
        return QDir::cleanPath(path);
    }

    TestEnvironment m_environment;
    // A bus of this test's own, so the desktop's real portal is never asked; without one, no bus.
    PrivateSessionBus m_bus;

private Q_SLOTS:
    void init() { TestEnvironment::clearSettings(); }

    // Only a local folder is taken: announced once, stored clean, used at the next start; a refusal
    // keeps the earlier one. The Downloads folder in use before any choice is stored nowhere.
    void adoptFolder_data()
    {
        QTest::addColumn<QUrl>("candidate");
        QTest::addColumn<QString>("shown"); // empty: refused
        const QString home = m_environment.home();
        QVERIFY(TestFiles::write(home + "/plain.txt"));
        QTest::newRow("home itself") << QUrl::fromLocalFile(home) << "~";
        QTest::newRow("below home, with a trailing slash")
                << QUrl::fromLocalFile(makeFolder("Movies/Clip Dock") + "/") << "~/Movies/Clip Dock";
        // A folder beside home whose name merely starts with home's name is not under home.
        QTest::newRow("sibling with same prefix")
                << QUrl::fromLocalFile(makeFolder("../" + QFileInfo(home).fileName() + "-other"))
                << QDir::cleanPath(home + "-other");
        QTest::newRow("outside home") << QUrl::fromLocalFile(QDir::tempPath()) << QDir::cleanPath(QDir::tempPath());
        QTest::newRow("missing folder") << QUrl::fromLocalFile(home + "/does/not/exist") << "";
        QTest::newRow("a file") << QUrl::fromLocalFile(home + "/plain.txt") << "";
        QTest::newRow("remote address") << QUrl("https://example.com/folder") << "";
    }
    void adoptFolder()
    {
        QFETCH(QUrl, candidate);
        QFETCH(QString, shown);
        const QString earlier = makeFolder("Earlier");
        {
            DownloadDestination destination;
            QCOMPARE(destination.displayPath(), "~/Downloads");
            QVERIFY(!QSettings().contains(DownloadDestination::defaultsKey));
            QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(earlier)));
            QSignalSpy changed(&destination, &DownloadDestination::folderURLChanged);
            QCOMPARE(destination.adoptFolder(candidate), !shown.isEmpty());
            QCOMPARE(changed.size(), shown.isEmpty() ? 0 : 1);
            QCOMPARE(destination.displayPath(), shown.isEmpty() ? "~/Earlier" : shown);
        }
        const QString folder = shown.isEmpty() ? earlier : QDir::cleanPath(candidate.toLocalFile());
        QCOMPARE(QSettings().value(DownloadDestination::defaultsKey).toString(), folder);
        DownloadDestination restarted;
        QCOMPARE(restarted.folderPath(), folder);
        QCOMPARE(restarted.withAccess([](const QString &path) { return path; }), folder);
    }

    // A chosen folder taken away: the chooser opens at its nearest parent; the next start uses the
    // Downloads folder (never made: the chooser opens at home) until the chosen one is back.
    void vanishedFolder()
    {
        const QString chosen = makeFolder("External/Gone/Drive");
        DownloadDestination destination;
        QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(chosen)));
        QVERIFY(QDir(makeFolder("External/Gone")).removeRecursively());
        DownloadDestination restarted;
        QCOMPARE(restarted.folderPath(), DownloadDestination::defaultFolder());
        QVERIFY(!QFileInfo::exists(DownloadDestination::defaultFolder()));
        QCOMPARE(QSettings().value(DownloadDestination::defaultsKey).toString(), chosen);
        for (const auto &[inUse, opensAt] : { std::pair(&destination, makeFolder("External")),
                                              std::pair(&restarted, makeFolder("")) }) {
            FolderChooser chooser;
            chooser.setDestination(inUse);
            chooser.open();
            QTRY_VERIFY(chooser.browsing());
            QCOMPARE(chooser.folder(), QUrl::fromLocalFile(opensAt));
        }
        QVERIFY(QDir().mkpath(chosen));
        QCOMPARE(DownloadDestination().folderPath(), chosen);
    }

    // The portal's dialog where it can open at a folder, else the theme's, else the app's own;
    // whichever shows starts at the folder in use, and its answer is taken once.
    void chooserPrefersTheDesktopsDialog_data()
    {
        QTest::addColumn<uint>("portalVersion"); // 0: no portal
        QTest::addColumn<int>("portalResponse"); // 0 chosen, 1 cancelled, 2 failed; -1 not asked
        QTest::addColumn<QString>("answer");     // relative to home, or an address
        QTest::addColumn<bool>("native");        // the platform theme has a dialog
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");    // a folder is taken when `answer` is set and no message
        QTest::newRow("portal: a folder chosen") << 4u << 0 << "Chosen" << true << "portal" << "";
        QTest::newRow("portal: cancelled") << 4u << 1 << "" << true << "portal" << "";
        QTest::newRow("portal: a remote folder") << 4u << 0 << "sftp://example.com/videos" << false << "portal"
                << "The folder you chose is not a folder on this computer, so downloads still go to ~/Start.";
        QTest::newRow("portal fails: the theme's dialog") << 4u << 2 << "Chosen" << true << "platform" << "";
        QTest::newRow("portal too old to open at a folder") << 3u << -1 << "" << false << "own" << "";
        QTest::newRow("no portal: the theme's dialog") << 0u << -1 << "Chosen" << true << "platform" << "";
        QTest::newRow("no portal: the theme's dialog cancelled") << 0u << -1 << "" << true << "platform" << "";
    }
    void chooserPrefersTheDesktopsDialog()
    {
        QFETCH(uint, portalVersion);
        QFETCH(int, portalResponse);
        QFETCH(QString, answer);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        const QString start = makeFolder("Start");
        const QUrl answerURL = answer.contains(u':') ? QUrl(answer) : QUrl::fromLocalFile(makeFolder(answer));
        DownloadDestination destination;
        QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(start)));
        FakePlatformDialog platform;
        QFETCH(bool, native);
        platform.native = native;
        FolderChooser chooser;
        chooser.setDestination(&destination);
        chooser.setPlatformDialog(&platform);
        FakePortal portal(m_bus.address(), portalVersion);
        if (portalVersion > 0 && !portal.isServing())
            QSKIP("no session bus of the test's own (no dbus-daemon, or Qt without D-Bus)");
        chooser.open();
        QVERIFY(chooser.choosing());
        if (portalResponse >= 0) {
            QTRY_COMPARE(portal.calls, 1);
            const QVariantMap options = portal.options;
            QCOMPARE(QVariantList({ portal.title, portal.parentWindow, options["directory"], options["accept_label"],
                                    options["current_folder"].toByteArray() }),
                     QVariantList({ "Choose Download Folder", "", true, "Use This Folder", QFile::encodeName(start) + '\0' }));
            QVERIFY(!chooser.browsing());
            QVERIFY(portal.respond(uint(portalResponse), answerURL));
            if (shown == "portal")
                QTRY_VERIFY(!chooser.choosing());
        } else if (portalVersion > 0) {
            QTRY_VERIFY(chooser.browsing() || platform.visible);
            QCOMPARE(portal.calls, 0);
        }
        if (shown == "platform") {
            QTRY_VERIFY(platform.visible);
            QCOMPARE(platform.currentFolder, QUrl::fromLocalFile(start));
            platform.answer(answer.isEmpty() ? QUrl() : answerURL);
        }
        if (shown == "own") {
            QTRY_VERIFY(chooser.browsing());
            QCOMPARE(chooser.folder(), QUrl::fromLocalFile(start));
            chooser.cancel();
        }
        QVERIFY(!chooser.choosing());
        QVERIFY(!chooser.browsing());
        QCOMPARE(destination.folderPath(), answer.isEmpty() || !message.isEmpty() ? start : makeFolder(answer));
        QCOMPARE(chooser.message(), message);
        QCOMPARE(platform.visible, false);
    }

    // The app's own view makes a folder in the one it shows and moves into it; what it cannot
    // make, it says why.
    void chooserCreatesFolders_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("made"); // relative to the folder shown; empty: nothing made
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
    void chooserCreatesFolders()
    {
        QFETCH(QString, name);
        QFETCH(QString, made);
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
        const QStringList before = TestFiles::entries(shownFolder);
        QCOMPARE(chooser.createFolder(name), !made.isEmpty());
        QTEST(chooser.message(), "message");
        QCOMPARE(TestFiles::entries(shownFolder), made.isEmpty() ? before : before + QStringList(made));
        const QString shows = made.isEmpty() ? shownFolder : shownFolder + u'/' + made;
        QCOMPARE(chooser.folder(), QUrl::fromLocalFile(shows));
        if (!made.isEmpty()) {
            chooser.useFolder();
            QVERIFY(!chooser.browsing());
            QCOMPARE(destination.folderPath(), shows);
        }
    }

    // The stored limit is read as it is, even above the range, until assigned (nonsense gives 3);
    // an assignment is held to the range, stored even when unchanged, announced only as a change.
    void concurrency_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("assigned"); // given to the setter when valid
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("notices");
        QTest::newRow("nothing stored") << QVariant() << QVariant() << 3 << 0;
        QTest::newRow("not a number") << QVariant("many") << QVariant() << 3 << 0;
        QTest::newRow("above the range is kept until assigned") << QVariant(25) << QVariant() << 25 << 0;
        QTest::newRow("assigned zero") << QVariant() << QVariant(0) << 1 << 1;
        QTest::newRow("assigned above") << QVariant() << QVariant(25) << 10 << 1;
        QTest::newRow("assigned the same") << QVariant() << QVariant(3) << 3 << 0;
    }
    void concurrency()
    {
        QFETCH(QVariant, stored);
        QFETCH(QVariant, assigned);
        QFETCH(int, expected);
        if (stored.isValid())
            QSettings().setValue(AppSettings::concurrencyKey, stored);
        {
            AppSettings settings;
            QSignalSpy changed(&settings, &AppSettings::maxConcurrentDownloadsChanged);
            if (assigned.isValid())
                settings.setMaxConcurrentDownloads(assigned.toInt());
            QCOMPARE(settings.maxConcurrentDownloads(), expected);
            QTEST(int(changed.size()), "notices");
        }
        const QVariant kept = assigned.isValid() ? QVariant(expected) : stored;
        QCOMPARE(QSettings().value(AppSettings::concurrencyKey), kept);
        QCOMPARE(AppSettings().maxConcurrentDownloads(), expected);
    }
};

QTEST_GUILESS_MAIN(TestDestination)
#include "tst_destination.moc"
