#include "DesktopFakes.h"
#include "PrivateSessionBus.h"
#include "TestEnvironment.h"
#include "TestFiles.h"

#include "downloads/FileActions.h"

#include <QDesktopServices>
#include <QtTest>

#include <cerrno>
#include <memory>
#include <system_error>

class TestFileActions : public QObject
{
    Q_OBJECT

    QUrl fileUrl(const QString &name) const { return QUrl::fromLocalFile(m_dir.filePath(name)); }

    TestEnvironment m_environment;
    QTemporaryDir m_dir;
    std::unique_ptr<PrivateSessionBus> m_bus;
    QList<QUrl> m_opened;

public Q_SLOTS:
    void record(const QUrl &url) { m_opened.append(url); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(TestFiles::write(m_dir.filePath("reel-42-720p.mp4"), "video"));
        QVERIFY(QDir(m_dir.path()).mkdir("folder"));
        for (const char *scheme : { "file", "https" })
            QDesktopServices::setUrlHandler(scheme, this, "record");
        // A bus of this test's own, so the desktop's real file manager is never asked.
        m_bus = std::make_unique<PrivateSessionBus>();
    }
    void cleanupTestCase()
    {
        for (const char *scheme : { "file", "https" })
            QDesktopServices::unsetUrlHandler(scheme);
    }
    void init() { m_opened.clear(); }

    // Files are handed on only when they exist. A folder that is missing is made first (a chosen
    // folder that was deleted, or a Downloads folder that was never created); what cannot be
    // opened comes back as the reason, for the sheet to show.
    void onlyExistingLocalEntriesAreHandedOn_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<bool>("handedOn");
        QTest::addColumn<QString>("reason");

        const QUrl saved = fileUrl("reel-42-720p.mp4");
        const QUrl folder = fileUrl("folder");
        const QUrl missing = fileUrl("reel-7-720p.mp4");
        const QUrl web("https://example.invalid/reel.mp4");
        const QString underFile = saved.toLocalFile() + "/reels";
        const QString notLocal = "The download folder must be a folder on this computer.";
        QTest::newRow("open a saved file") << "open" << saved << true << "";
        QTest::newRow("open a folder") << "open" << folder << false << "";
        QTest::newRow("open a missing file") << "open" << missing << false << "";
        QTest::newRow("open a web address") << "open" << web << false << "";
        QTest::newRow("open nothing") << "open" << QUrl() << false << "";
        QTest::newRow("open a relative path") << "open" << QUrl("file:reel.mp4") << false << "";
        QTest::newRow("open folder: folder") << "openFolder" << folder << true << "";
        QTest::newRow("open folder: missing, made with its parent")
                << "openFolder" << fileUrl("gone/Downloads") << true << "";
        QTest::newRow("open folder: a file") << "openFolder" << saved << false
                << QStringLiteral("\u201c%1\u201d is a file, not a folder.").arg(saved.toLocalFile());
        QTest::newRow("open folder: under a file") << "openFolder" << QUrl::fromLocalFile(underFile) << false
                << QStringLiteral("Couldn't create \u201c%1\u201d: %2.")
                           .arg(underFile, QString::fromLocal8Bit(std::generic_category().message(ENOTDIR)));
        QTest::newRow("open folder: a web address") << "openFolder" << web << false << notLocal;
        QTest::newRow("open folder: nothing") << "openFolder" << QUrl() << false << notLocal;
        QTest::newRow("reveal a missing file") << "reveal" << missing << false << "";
        QTest::newRow("reveal a web address") << "reveal" << web << false << "";
    }
    void onlyExistingLocalEntriesAreHandedOn()
    {
        QFETCH(QString, action);
        QFETCH(QUrl, url);
        QFETCH(bool, handedOn);
        QString refused;
        const bool result = action == "open" ? FileActions::open(url)
                : action == "openFolder"     ? (refused = FileActions::openFolder(url)).isEmpty()
                                             : FileActions::reveal(url);
        QCOMPARE(result, handedOn);
        QTEST(refused, "reason");
        QCOMPARE(m_opened, handedOn ? QList<QUrl>{ url } : QList<QUrl>{});
        if (action == "openFolder" && handedOn)
            QVERIFY(QFileInfo(url.toLocalFile()).isDir());
    }

    // Without a file manager on the bus the folder that holds the file opens instead; one that
    // answers is not followed by the folder.
    void revealAsksTheFileManagerAndFallsBackToTheFolder()
    {
        if (!m_bus->isRunning())
            QSKIP("dbus-daemon is not installed");
        const QUrl saved = fileUrl("reel-42-720p.mp4");
        QVERIFY(FileActions::reveal(saved));
        QTRY_COMPARE(m_opened, QList<QUrl>{ QUrl::fromLocalFile(m_dir.path()) });

        FakeFileManager fileManager(m_bus->address());
        QVERIFY(fileManager.isServing());
        m_opened.clear();
        QVERIFY(FileActions::reveal(saved));
        QTRY_COMPARE(fileManager.shown, QStringList{ saved.toString() });
        QTest::qWait(100);
        QCOMPARE(m_opened, QList<QUrl>());
    }
};

QTEST_MAIN(TestFileActions)
#include "tst_fileactions.moc"
