#include "PrivateSessionBus.h"
#include "TestEnvironment.h"

#include "downloads/FileActions.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <memory>
#include <system_error>

// Stands in for the desktop's file manager on a private session bus.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        Q_UNUSED(startupId);
        shown += uris;
    }
};

class TestFileActions : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void record(const QUrl &url) { m_opened.append(url); }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void revealLabelNamesThisDesktopsFileManager();
    void onlyExistingLocalEntriesAreHandedOn_data();
    void onlyExistingLocalEntriesAreHandedOn();
    void revealAsksTheFileManagerAndFallsBackToTheFolder();

private:
    QUrl fileUrl(const QString &name) const { return QUrl::fromLocalFile(m_dir.filePath(name)); }

    TestEnvironment m_environment;
    QTemporaryDir m_dir;
    std::unique_ptr<PrivateSessionBus> m_bus;
    QList<QUrl> m_opened;
};

void TestFileActions::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QFile file(m_dir.filePath(QStringLiteral("reel-42-720p.mp4")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("video");
    file.close();
    QDir(m_dir.path()).mkdir(QStringLiteral("folder"));
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "record");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "record");

    // A bus of this test's own, so the desktop's real file manager is never asked.
    m_bus = std::make_unique<PrivateSessionBus>();
}

void TestFileActions::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fake"));
}

void TestFileActions::init()
{
    m_opened.clear();
}

void TestFileActions::revealLabelNamesThisDesktopsFileManager()
{
#ifdef Q_OS_MACOS
    QCOMPARE(FileActions::revealLabel(), QStringLiteral("Show in Finder"));
#else
    QCOMPARE(FileActions::revealLabel(), QStringLiteral("Show in Folder"));
#endif
}

// Files are handed on only when they exist. A folder that is missing is made first (a chosen
// folder that was deleted, or a Downloads folder that was never created); what cannot be opened
// comes back as the reason, for the sheet to show.
void TestFileActions::onlyExistingLocalEntriesAreHandedOn_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<bool>("handedOn");
    QTest::addColumn<QString>("reason");

    const QUrl saved = fileUrl(QStringLiteral("reel-42-720p.mp4"));
    const QUrl folder = fileUrl(QStringLiteral("folder"));
    const QUrl missing = fileUrl(QStringLiteral("reel-7-720p.mp4"));
    const QUrl web(QStringLiteral("https://example.invalid/reel.mp4"));
    const QString underFile = saved.toLocalFile() + QStringLiteral("/reels");
    const QString notLocal = QStringLiteral("The download folder must be a folder on this computer.");

    QTest::newRow("open a saved file") << "open" << saved << true << "";
    QTest::newRow("open a folder") << "open" << folder << false << "";
    QTest::newRow("open a missing file") << "open" << missing << false << "";
    QTest::newRow("open a web address") << "open" << web << false << "";
    QTest::newRow("open nothing") << "open" << QUrl() << false << "";
    QTest::newRow("open a relative path") << "open" << QUrl(QStringLiteral("file:reel.mp4")) << false << "";
    QTest::newRow("open folder: folder") << "openFolder" << folder << true << "";
    QTest::newRow("open folder: missing, made with its parent")
            << "openFolder" << fileUrl(QStringLiteral("gone/Downloads")) << true << "";
    QTest::newRow("open folder: a file")
            << "openFolder" << saved << false
            << QStringLiteral("\u201c%1\u201d is a file, not a folder.").arg(saved.toLocalFile());
    QTest::newRow("open folder: under a file")
            << "openFolder" << QUrl::fromLocalFile(underFile) << false
            << QStringLiteral("Couldn't create \u201c%1\u201d: %2.")
                       .arg(underFile, QString::fromLocal8Bit(std::generic_category().message(ENOTDIR)));
    QTest::newRow("open folder: a web address") << "openFolder" << web << false << notLocal;
    QTest::newRow("open folder: nothing") << "openFolder" << QUrl() << false << notLocal;
    QTest::newRow("reveal a missing file") << "reveal" << missing << false << "";
    QTest::newRow("reveal a web address") << "reveal" << web << false << "";
}

void TestFileActions::onlyExistingLocalEntriesAreHandedOn()
{
    QFETCH(QString, action);
    QFETCH(QUrl, url);
    QFETCH(bool, handedOn);
    QFETCH(QString, reason);

    QString refused;
    const bool result = action == QLatin1String("open") ? FileActions::open(url)
                      : action == QLatin1String("openFolder") ? (refused = FileActions::openFolder(url)).isEmpty()
                                                              : FileActions::reveal(url);
    QCOMPARE(result, handedOn);
    QCOMPARE(refused, reason);
    QCOMPARE(m_opened, handedOn ? QList<QUrl>{ url } : QList<QUrl>{});
    if (action == QLatin1String("openFolder") && handedOn)
        QVERIFY(QFileInfo(url.toLocalFile()).isDir());
}

void TestFileActions::revealAsksTheFileManagerAndFallsBackToTheFolder()
{
    if (!m_bus->isRunning())
        QSKIP("dbus-daemon is not installed");
    const QUrl saved = fileUrl(QStringLiteral("reel-42-720p.mp4"));
    const QUrl folder = QUrl::fromLocalFile(m_dir.path());

    QVERIFY(QDBusConnection::sessionBus().isConnected());
    // Nobody owns the file manager's name: the folder that holds the file opens instead.
    QVERIFY(FileActions::reveal(saved));
    QTRY_COMPARE(m_opened, QList<QUrl>{ folder });

    FakeFileManager fileManager;
    QDBusConnection bus = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("fake"));
    QVERIFY(bus.isConnected());
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fileManager,
                               QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));

    m_opened.clear();
    QVERIFY(FileActions::reveal(saved));
    QTRY_COMPARE(fileManager.shown, QStringList{ saved.toString() });
    QTest::qWait(100);
    QVERIFY2(m_opened.isEmpty(), "a file manager that answered is not followed by the folder");
    bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
}

QTEST_MAIN(TestFileActions)

#include "tst_fileactions.moc"
