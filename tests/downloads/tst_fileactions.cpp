#include "DesktopFakes.h"
#include "PrivateSessionBus.h"
#include "TestEnvironment.h"
#include "TestFiles.h"

#include "downloads/FileActions.h"

#include <QtTest>

#include <cerrno>
#include <optional>
#include <system_error>

class TestFileActions : public QObject
{
    Q_OBJECT

    QUrl fileUrl(const QString &name) const { return QUrl::fromLocalFile(m_dir.filePath(name)); }

    TestEnvironment m_environment;
    QTemporaryDir m_dir;
    // A bus of this test's own, so the desktop's real file manager is never asked.
    PrivateSessionBus m_bus;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(TestFiles::write(m_dir.filePath("reel-42-720p.mp4"), "video"));
        QVERIFY(QDir(m_dir.path()).mkdir("folder"));
    }

    // Files are handed on only when they exist; a missing folder (deleted, or a Downloads folder
    // never made) is made first, and what cannot be opened comes back as the reason for the sheet.
    // A file is shown by the file manager on the bus when one answers, else its folder opens.
    void onlyExistingLocalEntriesAreHandedOn_data()
    {
        QTest::addColumn<QString>("action"); // "show": reveal, with a file manager on the bus
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QUrl>("opened"); // what the desktop is asked to open
        QTest::addColumn<QString>("reason");

        const QUrl saved = fileUrl("reel-42-720p.mp4");
        const QUrl folder = fileUrl("folder");
        const QUrl missing = fileUrl("reel-7-720p.mp4");
        const QUrl web("https://example.invalid/reel.mp4");
        const QString underFile = saved.toLocalFile() + "/reels";
        const QString notLocal = "The download folder must be a folder on this computer.";
        QTest::newRow("open a saved file") << "open" << saved << saved << "";
        QTest::newRow("open a folder") << "open" << folder << QUrl() << "";
        QTest::newRow("open a missing file") << "open" << missing << QUrl() << "";
        QTest::newRow("open a web address") << "open" << web << QUrl() << "";
        QTest::newRow("open a relative path") << "open" << QUrl("file:reel.mp4") << QUrl() << "";
        QTest::newRow("open folder: folder") << "openFolder" << folder << folder << "";
        QTest::newRow("open folder: missing, made with its parent")
                << "openFolder" << fileUrl("gone/Downloads") << fileUrl("gone/Downloads") << "";
        QTest::newRow("open folder: a file") << "openFolder" << saved << QUrl()
                << QStringLiteral("\u201c%1\u201d is a file, not a folder.").arg(saved.toLocalFile());
        QTest::newRow("open folder: under a file") << "openFolder" << QUrl::fromLocalFile(underFile) << QUrl()
                << QStringLiteral("Couldn't create \u201c%1\u201d: %2.")
                           .arg(underFile, QString::fromLocal8Bit(std::generic_category().message(ENOTDIR)));
        QTest::newRow("open folder: a web address") << "openFolder" << web << QUrl() << notLocal;
        QTest::newRow("reveal: its folder") << "reveal" << saved << QUrl::fromLocalFile(m_dir.path()) << "";
        QTest::newRow("reveal: the file manager shows it") << "show" << saved << QUrl() << "";
        QTest::newRow("reveal a missing file") << "reveal" << missing << QUrl() << "";
    }
    void onlyExistingLocalEntriesAreHandedOn()
    {
        QFETCH(QString, action);
        QFETCH(QUrl, url);
        QFETCH(QUrl, opened);
        const bool fileManager = action == "show";
        if (fileManager && !m_bus.isRunning())
            QSKIP("dbus-daemon is not installed");
        std::optional<FakeFileManager> manager;
        if (fileManager)
            QVERIFY(manager.emplace(m_bus.address()).isServing());
        FakeDesktopOpener desktop({ "file", "https" });
        QString refused;
        const bool result = action == "open" ? FileActions::open(url)
                : action == "openFolder"     ? (refused = FileActions::openFolder(url)).isEmpty()
                                             : FileActions::reveal(url);
        QCOMPARE(result, !opened.isEmpty() || fileManager);
        QTEST(refused, "reason");
        if (manager)
            QTRY_COMPARE(manager->shown, QStringList{ url.toString() });
        // An answer from the file manager is not followed by the folder.
        QTest::qWait(fileManager ? 100 : 0);
        QTRY_COMPARE(desktop.opened, opened.isEmpty() ? QList<QUrl>{} : QList<QUrl>{ opened });
        if (action == "openFolder" && result)
            QVERIFY(QFileInfo(url.toLocalFile()).isDir());
    }
};

QTEST_MAIN(TestFileActions)
#include "tst_fileactions.moc"
