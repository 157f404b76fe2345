#include "DownloadReels.h"
#include "MediaFixture.h"
#include "MediaSimulator.h"
#include "PartFiles.h"
#include "TestEnvironment.h"
#include "TestFiles.h"
#include "TestServer.h"

#include "downloads/AppSettings.h"
#include "downloads/DownloadDestination.h"
#include "downloads/DownloadManager.h"

#include <QtTest>

using Kind = DownloadState::Kind;

class TestDownloadManager : public QObject
{
    Q_OBJECT

    // Downloads go to m_folder, chosen; or, with `chosen` off, to the Downloads folder, not made.
    void makeManager(int limit, bool chosen = true)
    {
        m_destination = std::make_unique<DownloadDestination>();
        if (!chosen)
            QVERIFY(QDir(m_folder = m_destination->folderPath()).removeRecursively());
        QVERIFY(!chosen || m_destination->adoptFolder(QUrl::fromLocalFile(m_folder)));
        m_settings = std::make_unique<AppSettings>();
        m_settings->setMaxConcurrentDownloads(limit);
        m_manager = std::make_unique<DownloadManager>(m_destination.get(), m_settings.get());
        m_modelTester = std::make_unique<QAbstractItemModelTester>(
                m_manager->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    QStringList entries() const { return TestFiles::entries(m_folder); }
    QString path(const QString &name) const { return QDir(m_folder).filePath(name); }
    QByteArray saved(const QString &name) const { return TestFiles::read(path(name)); }
    DownloadState stateAt(int row) const { return m_manager->items().at(row).state; }
    QList<Kind> kinds() const
    {
        QList<Kind> list;
        for (const DownloadItem &item : m_manager->items())
            list << item.state.kind();
        return list;
    }

    TestEnvironment m_environment;
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_folder;
    std::unique_ptr<TestServer> m_server;
    std::unique_ptr<MediaSimulator> m_media;
    std::unique_ptr<DownloadDestination> m_destination;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<DownloadManager> m_manager;
    std::unique_ptr<QAbstractItemModelTester> m_modelTester;

private Q_SLOTS:
    void init()
    {
        TestEnvironment::clearSettings();
        m_root = std::make_unique<QTemporaryDir>();
        m_folder = m_root->filePath("Reels");
        QDir().mkpath(m_folder);
        m_server = std::make_unique<TestServer>();
        m_media = std::make_unique<MediaSimulator>(*m_server);
    }
    void cleanup()
    {
        m_modelTester.reset();
        m_manager.reset();
        // Every ending leaves no part file behind.
        QCOMPARE(partFilesIn(m_folder), QStringList());
        m_media.reset();
        m_server.reset();
    }

    void queueBookkeeping()
    {
        makeManager(3);
        QSignalSpy presented(m_manager.get(), &DownloadManager::isPresentedChanged);
        m_manager->enqueue(QList<Reel>{}, VideoQuality::hd720);
        QVERIFY(m_manager->isPresented()); // an empty list still opens the sheet

        // Reel 42 offers only 1080p: the other qualities fetch its default address.
        Reel reel = reelAt("42", m_media->url("clip.mp4"), VideoQuality::hd1080);
        reel.postedAt = QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC);
        const Reel missing = reelAt("7", m_media->url("missing.mp4"));
        m_manager->enqueue(QVariantList{ QVariant::fromValue(reel), QVariant::fromValue(reel),
                                         QVariant::fromValue(missing) }, "720p");
        m_manager->enqueue({ reel }, VideoQuality::audio);

        QTRY_COMPARE(kinds(), QList<Kind>({ Kind::completed, Kind::failed, Kind::completed }));
        QCOMPARE(saved("reel-42-720p.mp4"), MediaFixture::mp4());
        // A file manager sorting by date shows the reels in posting order.
        for (const char *name : { "reel-42-720p.mp4", "reel-42-Audio only.m4a" })
            QCOMPARE(QFileInfo(path(name)).lastModified(), reel.postedAt);
        QCOMPARE(m_manager->model()->index(0).data(DownloadListModel::TitleRole), "720p · 1:05");
        QVERIFY(!m_manager->state("8")); // a reel never queued
        m_server->route("/media/missing.mp4", TestServer::Response::text("video", 200, "video/mp4"));
        m_manager->retryAllFailed();
        QTRY_COMPARE(stateAt(1), DownloadState::completed(QUrl::fromLocalFile(path("reel-7-720p.mp4"))));
        QCOMPARE(presented.size(), 1);

        m_manager->clearFinished();
        QVERIFY(!m_manager->isPresented());
        // A cleared item may be asked for again.
        m_manager->enqueue({ missing }, VideoQuality::hd720);
        QCOMPARE(m_manager->itemCount(), 1);
    }

    void limitHoldsAndEachFinishStartsOne_data()
    {
        QTest::addColumn<int>("limit");
        QTest::newRow("limit 3") << 3;
        QTest::newRow("limit 10, past one connection pool") << 10;
    }
    void limitHoldsAndEachFinishStartsOne()
    {
        QFETCH(int, limit);
        const int count = limit + 3;
        makeManager(limit);
        QList<Reel> reels;
        for (int n = 0; n < count; ++n)
            reels << reelAt(QString::number(n), m_media->url("gated.mp4", 4096 + n, QStringLiteral("n=%1").arg(n)));
        // After every settled change (a finish and the start it causes) the running transfers
        // fill the limit as far as queued items allow.
        int violations = 0;
        connect(m_manager.get(), &DownloadManager::summaryChanged, this, [&] {
            const auto all = kinds();
            const auto running = all.count(Kind::downloading);
            if (running != std::min<qsizetype>(limit, running + all.count(Kind::queued)))
                ++violations;
        });
        m_manager->enqueue(reels, VideoQuality::hd720);

        QTRY_COMPARE(m_media->waitingAtGate(), limit);
        QTest::qWait(200); // nothing more may start while all slots are taken
        QCOMPARE(m_server->requests().size(), limit);

        m_media->openGate();
        QTRY_COMPARE_WITH_TIMEOUT(kinds().count(Kind::completed), count, 20000);
        QCOMPARE(violations, 0);
        QVERIFY(m_server->maxOpenConnections() <= limit);
        QCOMPARE(m_server->requests().size(), count);
        QCOMPARE(saved(QStringLiteral("reel-%1-720p.mp4").arg(count - 1)),
                 MediaSimulator::content(4096 + count - 1));
    }

    // Of a slow transfer and one queued behind it, with one slot.
    void cancelAndStopEndTransfersForGood_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("cancel") << QStringList{ "cancel" };
        QTest::newRow("cancel, retry, cancel again") << QStringList{ "cancel", "retry", "cancel" };
        QTest::newRow("retry while running, then cancel") << QStringList{ "retry", "cancel" };
        QTest::newRow("stop all") << QStringList{ "stop" };
    }
    void cancelAndStopEndTransfersForGood()
    {
        QFETCH(QStringList, steps);
        makeManager(1);
        m_manager->enqueue({ reelAt("slow", m_media->url("slow.mp4", 8 * 1024 * 1024)),
                             reelAt("next", m_media->url("video.mp4", 2048)) }, VideoQuality::hd720);
        QTRY_VERIFY(stateAt(0).progress() > 0.0);
        const int started = int(steps.count("retry")) + 1;
        for (const QString &step : steps) {
            if (step == "stop") {
                m_manager->stopAll();
            } else if (step == "cancel") {
                m_manager->cancel("slow#720p");
            } else {
                // A retry starts over: the earlier transfer ends, it does not run on beside the new.
                m_manager->retry("slow#720p");
                QTRY_COMPARE(m_server->requestCount("/media/slow.mp4"), started);
                QTRY_COMPARE(m_server->openConnections(), 1);
            }
        }
        const bool stopped = steps == QStringList{ "stop" };
        const DownloadState ended = DownloadState::failed(stopped ? "Stopped" : "Cancelled");
        QCOMPARE(stateAt(0), ended);
        // The freed slot went to the next item, unless everything stopped.
        const DownloadState next = DownloadState::completed(QUrl::fromLocalFile(path("reel-next-720p.mp4")));
        QTRY_COMPARE(stateAt(1), stopped ? ended : next);
        // Late progress or a late end of the aborted transfer never revives the item.
        QTest::qWait(300);
        QCOMPARE(stateAt(0), ended);
        QCOMPARE(entries(), stopped ? QStringList() : QStringList("reel-next-720p.mp4"));
        QCOMPARE(m_server->requestCount("/media/slow.mp4"), started);
    }

    // What stands at reel 1's name ("kept" in a file, an empty file, or a link to such a file outside)
    // is replaced by a good answer only, never followed; skipping saved reels keeps a non-empty file.
    void whatStandsAtTheName_data()
    {
        QTest::addColumn<QString>("atName"); // "file", "empty" or "link"; "skip ...": the setting on
        QTest::addColumn<QString>("answer"); // a media file with its query
        QTest::addColumn<bool>("fetched");
        QTest::addColumn<QString>("refusal"); // empty: the answer replaces what stands there
        QTest::newRow("a file is replaced") << "file" << "video.mp4" << true << "";
        QTest::newRow("a link is replaced") << "link" << "video.mp4" << true << "";
        QTest::newRow("an empty answer keeps the file")
                << "file" << "video.mp4?size=0" << true << "The server sent an empty file.";
        QTest::newRow("an encoded answer keeps the file") << "file" << "encoded.mp4" << true
                << "The server sent the file in an encoding it was not asked for (gzip).";
        QTest::newRow("skip: a saved file is kept") << "skip file" << "video.mp4" << false << "";
        QTest::newRow("skip: a stale empty file is fetched again") << "skip empty" << "video.mp4" << true << "";
        QTest::newRow("skip: a link is no saved file") << "skip link" << "video.mp4" << true << "";
    }
    void whatStandsAtTheName()
    {
        QFETCH(QString, atName);
        QFETCH(QString, answer);
        QFETCH(bool, fetched);
        QFETCH(QString, refusal);
        const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
        const QString target = path("reel-1-720p.mp4");
        const QString outside = m_root->filePath("outside.mp4");
        const bool link = atName.endsWith("link");
        QVERIFY(TestFiles::write(link ? outside : target, atName.endsWith("empty") ? "" : "kept"));
        QVERIFY(!link || QFile::link(outside, target));
        makeManager(3);
        if (atName.startsWith("skip")) // off by default
            m_settings->setSkipSavedReels(true);
        m_manager->enqueue({ reelAt("1", m_server->url("/media/" + answer)) }, VideoQuality::hd720);
        QTRY_COMPARE(m_manager->activeCount(), 0);
        const QUrl file = QUrl::fromLocalFile(target);
        QCOMPARE(stateAt(0), !refusal.isEmpty() ? DownloadState::failed(refusal)
                                 : fetched      ? DownloadState::completed(file)
                                                : DownloadState::alreadySaved(file));
        QCOMPARE(m_server->requests().size(), fetched ? 1 : 0);
        QCOMPARE(saved("reel-1-720p.mp4"),
                 fetched && refusal.isEmpty() ? MediaSimulator::content(MediaSimulator::defaultSize) : "kept");
        QCOMPARE(entries(), QStringList("reel-1-720p.mp4"));
        QCOMPARE(TestFiles::read(outside), link ? "kept" : "");
        // Without a posting time a file keeps the time it was saved.
        QVERIFY(QFileInfo(target).lastModified() >= before);
    }

    void audioOnlyKeepsTheSoundAlone_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("action"); // taken while the sound is being copied
        QTest::addColumn<QString>("refusal"); // empty: the sound replaces the earlier file
        QTest::newRow("with sound") << "clip.mp4" << QString() << QString();
        QTest::newRow("without sound") << "mute.mp4" << QString() << "This reel has no sound.";
        QTest::newRow("not an MP4") << "video.mp4" << QString() << "Invalid data found when processing input";
        QTest::newRow("cancelled while copied") << "clip.mp4" << "cancel" << "Cancelled";
        QTest::newRow("window closed while copied") << "clip.mp4" << "close" << QString();
    }
    void audioOnlyKeepsTheSoundAlone()
    {
        QFETCH(QString, file);
        QFETCH(QString, action);
        QFETCH(QString, refusal);
        const QString name = "reel-42-Audio only.m4a";
        QVERIFY(TestFiles::write(path(name), "keep me"));
        makeManager(3);
        const auto hold = action.isEmpty() ? nullptr : std::make_unique<PoolHold>();
        m_manager->enqueue({ reelAt("42", m_media->url(file, 4000), VideoQuality::audio) },
                           VideoQuality::audio);
        if (!action.isEmpty()) {
            // The rendition has arrived and the audio file is begun: two part files.
            QTRY_COMPARE(entries().size(), 3);
            if (action == "cancel") {
                m_manager->cancel("42#Audio only");
            } else {
                m_modelTester.reset();
                m_manager.reset();
            }
            hold->release();
            QTest::qWait(100);
        }
        if (m_manager) {
            QTRY_COMPARE(m_manager->activeCount(), 0);
            QCOMPARE(stateAt(0), refusal.isEmpty() ? DownloadState::completed(QUrl::fromLocalFile(path(name)))
                                                   : DownloadState::failed(refusal));
        }
        QCOMPARE(entries(), QStringList(name));
        if (!refusal.isEmpty() || action == "close") {
            QCOMPARE(saved(name), "keep me");
            return;
        }
        // One audio stream, as long as the rendition's, to the frame.
        const MediaFixture::Probe kept = MediaFixture::probe(path(name));
        const MediaFixture::Probe rendition = MediaFixture::probe(MediaFixture::mp4());
        QCOMPARE(QList<int>({ kept.audioStreams, kept.videoStreams, kept.audioPackets }),
                 QList<int>({ 1, 0, rendition.audioPackets }));
        QCOMPARE(kept.audioCodec, "aac");
        QVERIFY(std::abs(kept.audioSeconds - rendition.audioSeconds) <= MediaFixture::audioFrameSeconds);
    }

    void readOnlyFolderFailsEachItemAndGoesOn()
    {
        makeManager(1);
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner);
        WithoutPermissionOverride asUser;
        m_manager->enqueue({ reelAt("1", m_media->url("video.mp4")),
                             reelAt("2", m_media->url("video.mp4")) }, VideoQuality::hd720);
        const DownloadState refused = DownloadState::failed(qt_error_string(EACCES));
        QTRY_COMPARE(stateAt(1), refused);
        QCOMPARE(stateAt(0), refused);
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // At start the part files a crash left go: not one still held, nor what a link points to, nor
    // another name. Then each id gets a file of its own inside the folder (fewer files if not).
    void hostileIdsStayInsideTheFolder()
    {
        for (const char *name : { ".clipdock-0123456789ab.part", ".clipdock-ffffffffffff.part", "notes.part" })
            QVERIFY(TestFiles::write(path(name)));
        QVERIFY(QFile::link("/etc/hostname", path(".clipdock-aaaaaaaaaaaa.part")));
        QString error;
        auto held = PartFile::create(m_folder, &error);
        QVERIFY2(held, qPrintable(error));
        makeManager(10);
        QCOMPARE(entries(), QStringList({ QFileInfo(held->path()).fileName(), "notes.part" }));
        QVERIFY(QFile::exists("/etc/hostname"));
        held.reset();
        const QStringList ids = { "../../escape", "a/b", "a_b", "..", "line\nbreak", QString(300, u'x') };
        QList<Reel> reels;
        for (const QString &id : ids)
            reels << reelAt(id, m_media->url("video.mp4", 100));
        m_manager->enqueue(reels, VideoQuality::hd720);
        QTRY_COMPARE(kinds().count(Kind::completed), ids.size());
        QCOMPARE(entries().size(), ids.size() + 1); // and notes.part
        QCOMPARE(saved("reel-a_b-720p.mp4"), MediaSimulator::content(100));
    }

    // In the Downloads folder, made at the first transfer.
    void progressIsAnnouncedAtMostTenTimesASecond()
    {
        makeManager(3, false);
        QList<int> percents; // at each change of the row
        connect(m_manager->model(), &QAbstractItemModel::dataChanged, this, [&](const QModelIndex &index) {
            percents << index.data(DownloadListModel::PercentRole).toInt();
        });
        QElapsedTimer clock;
        clock.start();
        // 64 pieces, one every 20 ms.
        m_manager->enqueue({ reelAt("1", m_media->url("slow.mp4", 1024 * 1024)) }, VideoQuality::hd720);
        QTRY_COMPARE_WITH_TIMEOUT(stateAt(0).kind(), Kind::completed, 20000);
        // Two changes of kind, and progress once per tick at most.
        QVERIFY2(percents.size() <= 2 + clock.elapsed() / DownloadListModel::progressIntervalMs,
                 qPrintable(QString::number(percents.size())));
        QVERIFY(std::any_of(percents.cbegin(), percents.cend(), [](int percent) { return percent > 0 && percent < 100; }));
        QVERIFY(std::is_sorted(percents.cbegin(), percents.cend()));
        QCOMPARE(saved("reel-1-720p.mp4"), MediaSimulator::content(1024 * 1024));
    }
};

QTEST_GUILESS_MAIN(TestDownloadManager)
#include "tst_downloadmanager.moc"
