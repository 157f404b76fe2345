// The word a finished batch of downloads gets, asked of a notification service that stands in
// for the desktop's on a private session bus.

#include "DesktopFakes.h"
#include "DownloadReels.h"
#include "MediaSimulator.h"
#include "PrivateSessionBus.h"
#include "TestEnvironment.h"
#include "TestServer.h"

#include "downloads/AppSettings.h"
#include "downloads/BatchNotifier.h"
#include "downloads/DownloadDestination.h"
#include "downloads/DownloadManager.h"

#include <QWindow>
#include <QtTest>

class TestBatchNotifier : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_bus.isRunning())
            QSKIP("dbus-daemon is not installed");
    }

    // Each batch is a list of what becomes of its items: "saved", "failed" or "stopped" (by the
    // user); batches run one after the other. The notification service offers actions or not.
    void aFinishedBatchIsToldWhileTheAppIsNotInFront_data()
    {
        QTest::addColumn<QStringList>("batches");
        QTest::addColumn<bool>("actions");
        QTest::addColumn<bool>("active");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<bool>("opensFolder");

        QTest::newRow("saved, with an action") << QStringList{ "saved saved" } << true << false
                << QStringList{ "2 reels saved to ~/Downloads" } << true;
        QTest::newRow("one saved, no actions offered") << QStringList{ "saved" } << false << false
                << QStringList{ "1 reel saved to ~/Downloads" } << false;
        QTest::newRow("each batch counts its own")
                << QStringList{ "saved", "failed saved stopped failed" } << true << false
                << QStringList{ "1 reel saved to ~/Downloads", "1 saved, 2 failed" } << true;
        QTest::newRow("all failed: no folder to open") << QStringList{ "failed" } << true << false
                << QStringList{ "1 reel failed to download" } << false;
        QTest::newRow("stopped by the user only") << QStringList{ "stopped stopped" } << true << false
                << QStringList{} << false;
        // Last: on the offscreen platform the application stays active once a window was.
        QTest::newRow("window active") << QStringList{ "saved" } << true << true << QStringList{} << false;
    }

    void aFinishedBatchIsToldWhileTheAppIsNotInFront()
    {
        QFETCH(QStringList, batches);
        QFETCH(bool, actions);
        QFETCH(bool, active);
        QFETCH(QStringList, said);
        QFETCH(bool, opensFolder);
        const QStringList offered = actions ? QStringList{ "body", "actions" } : QStringList{ "body" };
        FakeNotifications fake(m_bus.address(), offered);
        QVERIFY(fake.isServing());
        QWindow window;
        if (active) {
            window.show();
            window.requestActivate();
            QVERIFY(QTest::qWaitForWindowActive(&window));
        }
        QTRY_COMPARE(QGuiApplication::applicationState() == Qt::ApplicationActive, active);

        DownloadDestination destination;
        AppSettings settings;
        DownloadManager manager(&destination, &settings);
        BatchNotifier notifier(&manager, &destination);
        const QMap<QString, QString> files{ { "saved", "video.mp4" }, { "failed", "missing.mp4" },
                                            { "stopped", "stalled.mp4" } };
        for (const QString &batch : std::as_const(batches)) {
            QList<Reel> reels;
            for (const QString &outcome : batch.split(u' ')) {
                const QString id = QString::number(++m_reels);
                reels << reelAt(id, m_media.url(files[outcome], 1024, "n=" + id));
            }
            manager.enqueue(reels, VideoQuality::hd720);
            for (const Reel &reel : std::as_const(reels)) {
                if (reel.variants.value(VideoQuality::hd720).path().endsWith("stalled.mp4"))
                    manager.cancel(DownloadItem::makeId(reel.id, VideoQuality::hd720));
            }
            QTRY_COMPARE(manager.activeCount(), 0);
        }
        // What is not said is given its time to arrive all the same.
        QTest::qWait(300);
        QTRY_COMPARE(fake.summaries, said);
        QCOMPARE(!said.isEmpty() && !fake.actions.last().isEmpty(), opensFolder);
        FakeDesktopOpener desktop({ "file" });
        emit fake.ActionInvoked(uint(fake.summaries.size()) + 100, BatchNotifier::openFolderAction);
        QTRY_COMPARE(desktop.opened, opensFolder ? QList<QUrl>{ destination.folderURL() } : QList<QUrl>());
    }

private:
    TestEnvironment m_environment;
    PrivateSessionBus m_bus;
    TestServer m_server;
    MediaSimulator m_media{ m_server };
    int m_reels = 0;
};

QTEST_MAIN(TestBatchNotifier)

#include "tst_batchnotifier.moc"
