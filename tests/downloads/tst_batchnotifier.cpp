// The word a finished batch of downloads gets, asked of a notification service that stands in
// for the desktop's on a private session bus.

#include "MediaSimulator.h"
#include "PrivateSessionBus.h"
#include "TestEnvironment.h"
#include "TestServer.h"

#include "downloads/AppSettings.h"
#include "downloads/BatchNotifier.h"
#include "downloads/DownloadDestination.h"
#include "downloads/DownloadManager.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QScopeGuard>
#include <QWindow>
#include <QtTest>

#include <memory>

class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList capabilities;
    QStringList summaries;
    QList<QStringList> actions;

public Q_SLOTS:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString &appName, uint replacesId, const QString &icon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int timeout)
    {
        Q_UNUSED(replacesId); Q_UNUSED(body); Q_UNUSED(hints); Q_UNUSED(timeout);
        const bool named = appName == QLatin1String("Clip Dock")
                && icon == QLatin1String("app.clipdock.ClipDock");
        summaries.append(named ? summary : QStringLiteral("unnamed: ") + summary);
        this->actions.append(actions);
        return uint(summaries.size()) + 100;
    }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString &actionKey);
};

class TestBatchNotifier : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void record(const QUrl &url) { m_opened.append(url); }

private Q_SLOTS:
    void initTestCase()
    {
        m_bus = std::make_unique<PrivateSessionBus>();
        if (!m_bus->isRunning())
            QSKIP("dbus-daemon is not installed");
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "record");
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    // Each batch is a list of what becomes of its items: "saved", "failed" or "stopped" (by the
    // user); batches run one after the other. `service` is what the notification service offers:
    // "actions", "plain" or "none" (no service at all).
    void aFinishedBatchIsToldWhileTheAppIsNotInFront_data()
    {
        QTest::addColumn<QStringList>("batches");
        QTest::addColumn<QString>("service");
        QTest::addColumn<bool>("active");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<bool>("opensFolder");

        QTest::newRow("saved, with an action") << QStringList{ "saved saved" } << "actions" << false
                << QStringList{ "2 reels saved to ~/Downloads" } << true;
        QTest::newRow("one saved, no actions offered") << QStringList{ "saved" } << "plain" << false
                << QStringList{ "1 reel saved to ~/Downloads" } << false;
        QTest::newRow("each batch counts its own")
                << QStringList{ "saved", "failed saved stopped failed" } << "actions" << false
                << QStringList{ "1 reel saved to ~/Downloads", "1 saved, 2 failed" } << true;
        QTest::newRow("all failed: no folder to open") << QStringList{ "failed" } << "actions" << false
                << QStringList{ "1 reel failed to download" } << false;
        QTest::newRow("stopped by the user only") << QStringList{ "stopped stopped" } << "actions"
                << false << QStringList{} << false;
        QTest::newRow("no notification service") << QStringList{ "saved" } << "none" << false
                << QStringList{} << false;
        // Last: on the offscreen platform the application stays active once a window was.
        QTest::newRow("window active") << QStringList{ "saved" } << "actions" << true
                << QStringList{} << false;
    }

    void aFinishedBatchIsToldWhileTheAppIsNotInFront()
    {
        QFETCH(QStringList, batches);
        QFETCH(QString, service);
        QFETCH(bool, active);
        QFETCH(QStringList, said);
        QFETCH(bool, opensFolder);

        FakeNotifications fake;
        fake.capabilities = service == QLatin1String("actions")
                ? QStringList{ "body", "actions" } : QStringList{ "body" };
        QDBusConnection bus = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("fake"));
        const auto unregister = qScopeGuard([&bus] {
            bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
            bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
        });
        if (service != QLatin1String("none")) {
            QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &fake,
                                       QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
            QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.Notifications")));
        }
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
        for (const QString &batch : std::as_const(batches)) {
            QList<Reel> reels;
            for (const QString &outcome : batch.split(u' ')) {
                Reel reel;
                reel.id = QString::number(++m_reels);
                const QString file = outcome == QLatin1String("saved") ? "video.mp4"
                        : outcome == QLatin1String("failed")           ? "missing.mp4"
                                                                       : "stalled.mp4";
                reel.variants.insert(VideoQuality::hd720, m_media.url(file, 1024, "n=" + reel.id));
                reels.append(reel);
            }
            manager.enqueue(reels, VideoQuality::hd720);
            for (const Reel &reel : std::as_const(reels)) {
                if (reel.variants.value(VideoQuality::hd720).path().endsWith(QLatin1String("stalled.mp4")))
                    manager.cancel(DownloadItem::makeId(reel.id, VideoQuality::hd720));
            }
            QTRY_COMPARE(manager.activeCount(), 0);
        }
        // What is not said is given its time to arrive all the same.
        QTest::qWait(300);
        QTRY_COMPARE(fake.summaries, said);
        if (said.isEmpty())
            return;
        QCOMPARE(fake.actions.last().isEmpty(), !opensFolder);
        if (!opensFolder)
            return;
        m_opened.clear();
        emit fake.ActionInvoked(uint(fake.summaries.size()) + 100, BatchNotifier::openFolderAction);
        QTRY_COMPARE(m_opened, QList<QUrl>{ destination.folderURL() });
    }

private:
    TestEnvironment m_environment;
    std::unique_ptr<PrivateSessionBus> m_bus;
    TestServer m_server;
    MediaSimulator m_media{ m_server };
    QList<QUrl> m_opened;
    int m_reels = 0;
};

QTEST_MAIN(TestBatchNotifier)

#include "tst_batchnotifier.moc"
