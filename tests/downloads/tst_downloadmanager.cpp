#include "MediaFixture.h"
#include "MediaSimulator.h"
#include "TestEnvironment.h"
#include "TestServer.h"

#include "downloads/AppSettings.h"
#include "downloads/DownloadDestination.h"
#include "downloads/DownloadManager.h"
#include "downloads/MediaFile.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <QtTest>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using Kind = DownloadState::Kind;

bool isFinished(const DownloadItem &item)
{
    return item.state.kind() == Kind::completed || item.state.kind() == Kind::failed;
}

Reel reelAt(const QString &id, const QUrl &url, VideoQuality quality = VideoQuality::hd720)
{
    Reel reel;
    reel.id = id;
    reel.variants.insert(quality, url);
    reel.durationSeconds = 65;
    return reel;
}

// Root writes anywhere; while this lives, the main thread (the one that writes downloads) obeys
// file permissions like any user.
class WithoutPermissionOverride
{
public:
    WithoutPermissionOverride()
    {
        if (::geteuid() != 0 || ::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = { m_saved[0], m_saved[1] };
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        m_dropped = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~WithoutPermissionOverride()
    {
        if (m_dropped)
            ::syscall(SYS_capset, &m_header, m_saved);
    }

private:
    __user_cap_header_struct m_header{ _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct m_saved[2]{};
    bool m_dropped = false;
};

// Keeps every thread of the global pool, where the sound of an audio download is copied, busy
// until released, so that a test can act while a copy is due.
class PoolHold
{
public:
    PoolHold()
    {
        for (int n = 0; n < pool()->maxThreadCount(); ++n)
            pool()->start([this] { m_gate.acquire(); });
    }
    ~PoolHold() { release(); }
    // Lets the pool go on and waits until it has done everything it holds.
    void release()
    {
        if (!std::exchange(m_released, true))
            m_gate.release(pool()->maxThreadCount());
        pool()->waitForDone();
    }

private:
    static QThreadPool *pool() { return QThreadPool::globalInstance(); }
    QSemaphore m_gate;
    bool m_released = false;
};

} // namespace

class TestDownloadManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void queueBookkeeping();
    void limitHoldsAndEachFinishStartsOne_data();
    void limitHoldsAndEachFinishStartsOne();
    void cancelAndStopEndTransfersForGood_data();
    void cancelAndStopEndTransfersForGood();
    void retryAfterFailure_data();
    void retryAfterFailure();
    void secondDownloadReplacesTheFile_data();
    void secondDownloadReplacesTheFile();
    void audioOnlyKeepsTheSoundAlone_data();
    void audioOnlyKeepsTheSoundAlone();
    void alreadySavedIsNotFetchedAgain_data();
    void alreadySavedIsNotFetchedAgain();
    void readOnlyFolderFailsEachItemAndGoesOn();
    void hostileIdsStayInsideTheFolder();
    void crashLeftoversGoAtStart();
    void progressIsAnnouncedAtMostTenTimesASecond();
    void missingDefaultFolderIsCreated();

private:
    void makeManager(int limit);
    QStringList folderEntries() const
    {
        return QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                        | QDir::NoDotAndDotDot, QDir::Name);
    }
    QList<Kind> kinds() const
    {
        QList<Kind> list;
        for (const DownloadItem &item : m_manager->items())
            list << item.state.kind();
        return list;
    }
    QByteArray saved(const QString &name) const
    {
        QFile file(QDir(m_folder).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
};

void TestDownloadManager::init()
{
    TestEnvironment::clearSettings();
    m_root = std::make_unique<QTemporaryDir>();
    m_folder = m_root->filePath("Reels");
    QDir().mkpath(m_folder);
    m_server = std::make_unique<TestServer>();
    m_media = std::make_unique<MediaSimulator>(*m_server);
}

void TestDownloadManager::cleanup()
{
    m_modelTester.reset();
    m_manager.reset();
    // Every ending leaves no part file behind.
    for (const QString &name : folderEntries())
        QVERIFY2(!MediaFile::isPartFileName(name), qPrintable(name));
    m_media.reset();
    m_server.reset();
}

void TestDownloadManager::makeManager(int limit)
{
    m_destination = std::make_unique<DownloadDestination>();
    QVERIFY(m_destination->adoptFolder(QUrl::fromLocalFile(m_folder)));
    m_settings = std::make_unique<AppSettings>();
    m_settings->setMaxConcurrentDownloads(limit);
    m_manager = std::make_unique<DownloadManager>(m_destination.get(), m_settings.get());
    m_modelTester = std::make_unique<QAbstractItemModelTester>(
            m_manager->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void TestDownloadManager::queueBookkeeping()
{
    makeManager(3);
    QSignalSpy presented(m_manager.get(), &DownloadManager::isPresentedChanged);
    m_manager->enqueue(QList<Reel>{}, VideoQuality::hd720);
    QVERIFY(m_manager->isPresented()); // an empty list still opens the sheet
    QCOMPARE(m_manager->statusLine(), "0 of 0 downloaded");

    // Reel 42 offers only 1080p: the other qualities fetch its default address.
    Reel reel = reelAt("42", m_media->url("clip.mp4"), VideoQuality::hd1080);
    reel.postedAt = QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC);
    const Reel missing = reelAt("7", m_media->url("missing.mp4"));
    m_manager->enqueue(QVariantList{ QVariant::fromValue(reel), QVariant::fromValue(reel),
                                     QVariant::fromValue(missing) }, "720p");
    m_manager->enqueue({ reel }, VideoQuality::audio);
    QStringList ids;
    for (const DownloadItem &item : m_manager->items())
        ids << item.id;
    QCOMPARE(ids, QStringList({ "42#720p", "7#720p", "42#Audio only" }));
    QCOMPARE(m_manager->statusLine(), "3 in progress · 0 of 3 done");

    QTRY_COMPARE(kinds(), QList<Kind>({ Kind::completed, Kind::failed, Kind::completed }));
    QCOMPARE(saved("reel-42-720p.mp4"), MediaFixture::mp4());
    // A file manager sorting by date shows the reels in posting order.
    for (const char *name : { "reel-42-720p.mp4", "reel-42-Audio only.m4a" })
        QCOMPARE(QFileInfo(QDir(m_folder).filePath(name)).lastModified(), reel.postedAt);
    QCOMPARE(m_manager->state("42")->kind(), Kind::completed);
    const QModelIndex first = m_manager->model()->index(0);
    QCOMPARE(first.data(DownloadListModel::TitleRole), "720p · 1:05");
    QCOMPARE(first.data(DownloadListModel::KindRole), "completed");
    QVERIFY(!m_manager->state("8"));
    QCOMPARE(m_manager->overallProgress(), 2.0 / 3.0);
    QCOMPARE(m_manager->statusLine(), "2 done · 1 failed");
    QCOMPARE(presented.size(), 1);

    m_manager->clearFinished();
    QCOMPARE(m_manager->itemCount(), 0);
    QVERIFY(!m_manager->isPresented());
}

void TestDownloadManager::limitHoldsAndEachFinishStartsOne_data()
{
    QTest::addColumn<int>("limit");
    QTest::newRow("limit 3") << 3;
    QTest::newRow("limit 10, past one connection pool") << 10;
}

void TestDownloadManager::limitHoldsAndEachFinishStartsOne()
{
    QFETCH(int, limit);
    const int count = limit + 3;
    makeManager(limit);
    QList<Reel> reels;
    for (int n = 0; n < count; ++n)
        reels << reelAt(QString::number(n),
                        m_media->url("gated.mp4", 4096 + n, QStringLiteral("n=%1").arg(n)));

    // After every settled change (a finish and the start it causes) the running transfers fill
    // the limit as far as queued items allow.
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
    QCOMPARE(kinds().count(Kind::downloading), limit);
    QCOMPARE(kinds().count(Kind::queued), count - limit);
    QCOMPARE(m_server->maxOpenConnections(), limit);

    m_media->openGate();
    QTRY_COMPARE_WITH_TIMEOUT(kinds().count(Kind::completed), count, 20000);
    QCOMPARE(violations, 0);
    QVERIFY(m_server->maxOpenConnections() <= limit);
    QCOMPARE(m_server->requests().size(), count);
    QCOMPARE(saved(QStringLiteral("reel-%1-720p.mp4").arg(count - 1)),
             MediaSimulator::content(4096 + count - 1));
}

void TestDownloadManager::cancelAndStopEndTransfersForGood_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("cancel") << "cancel";
    QTest::newRow("cancel, retry, cancel again") << "cancel twice";
    QTest::newRow("retry while running, then cancel") << "restart";
    QTest::newRow("stop all") << "stop";
}

void TestDownloadManager::cancelAndStopEndTransfersForGood()
{
    QFETCH(QString, action);
    makeManager(1);
    const Reel slow = reelAt("slow", m_media->url("slow.mp4", 8 * 1024 * 1024));
    const Reel next = reelAt("next", m_media->url("video.mp4", 2048));
    m_manager->enqueue({ slow, next }, VideoQuality::hd720);
    QTRY_VERIFY(m_manager->items().at(0).state.progress() > 0.0);

    QString message = "Cancelled";
    if (action == "stop") {
        m_manager->stopAll();
        message = "Stopped";
        QCOMPARE(m_manager->items().at(1).state, DownloadState::failed("Stopped"));
    } else {
        if (action != "restart")
            m_manager->cancel("slow#720p");
        if (action != "cancel") {
            // A retry starts over: the earlier transfer ends, it does not run on beside the new.
            m_manager->retry("slow#720p");
            QTRY_COMPARE(m_server->requestCount("/media/slow.mp4"), 2);
            QTRY_COMPARE(m_server->openConnections(), 1);
            m_manager->cancel("slow#720p");
        }
        // The freed slot went to the next item.
        QTRY_COMPARE(m_manager->items().at(1).state.kind(), Kind::completed);
    }
    QCOMPARE(m_manager->items().at(0).state, DownloadState::failed(message));

    // Late progress or a late end of the aborted transfer never revives the item.
    QTest::qWait(300);
    QCOMPARE(m_manager->items().at(0).state, DownloadState::failed(message));
    QCOMPARE(folderEntries(), action == "stop" ? QStringList() : QStringList("reel-next-720p.mp4"));
    const bool startedTwice = action == "cancel twice" || action == "restart";
    QCOMPARE(m_server->requestCount("/media/slow.mp4"), startedTwice ? 2 : 1);

    // A removed item's result is dropped.
    m_manager->clearFinished();
    QTest::qWait(100);
    QCOMPARE(m_manager->itemCount(), 0);
}

void TestDownloadManager::retryAfterFailure_data()
{
    QTest::addColumn<bool>("all");
    QTest::newRow("retry one") << false;
    QTest::newRow("retry all failed") << true;
}

void TestDownloadManager::retryAfterFailure()
{
    QFETCH(bool, all);
    int calls = 0;
    m_server->route("/media/flaky.mp4", [&calls](const TestServer::Request &) {
        return ++calls == 1 ? TestServer::Response::text("try later\n", 503)
                            : TestServer::Response::text("video", 200, "video/mp4");
    });
    makeManager(3);
    m_manager->enqueue({ reelAt("9", m_server->url("/media/flaky.mp4")) }, VideoQuality::hd720);
    QTRY_COMPARE(m_manager->items().at(0).state, DownloadState::failed("HTTP 503: try later"));
    QVERIFY(m_manager->hasFailures());

    if (all)
        m_manager->retryAllFailed();
    else
        m_manager->retry("9#720p");
    QTRY_COMPARE(m_manager->items().at(0).state.kind(), Kind::completed);
    QCOMPARE(m_manager->items().at(0).state.fileURL(),
             QUrl::fromLocalFile(QDir(m_folder).filePath("reel-9-720p.mp4")));
    QCOMPARE(saved("reel-9-720p.mp4"), "video");
}

void TestDownloadManager::secondDownloadReplacesTheFile_data()
{
    QTest::addColumn<bool>("linkAtName");
    QTest::addColumn<QString>("second"); // the file of the second download, 1000 bytes or...
    QTest::addColumn<qsizetype>("secondSize");
    QTest::addColumn<QString>("refusal"); // ...why it is refused; empty: it replaces the first

    QTest::newRow("a file at the name") << false << "video.mp4" << qsizetype(1000) << QString();
    QTest::newRow("a link at the name") << true << "video.mp4" << qsizetype(1000) << QString();
    QTest::newRow("an empty answer keeps the earlier file")
            << false << "video.mp4" << qsizetype(0) << "The server sent an empty file.";
    QTest::newRow("an encoded answer keeps the earlier file")
            << false << "encoded.mp4" << qsizetype(1000)
            << "The server sent the file in an encoding it was not asked for (gzip).";
}

void TestDownloadManager::secondDownloadReplacesTheFile()
{
    QFETCH(bool, linkAtName);
    QFETCH(QString, second);
    QFETCH(qsizetype, secondSize);
    QFETCH(QString, refusal);
    const QString outside = m_root->filePath("outside.mp4");
    QFile victim(outside);
    QVERIFY(victim.open(QIODevice::WriteOnly));
    victim.write("keep me");
    victim.close();
    const QString target = QDir(m_folder).filePath("reel-42-720p.mp4");
    if (linkAtName)
        QVERIFY(QFile::link(outside, target));
    makeManager(3);

    m_manager->enqueue({ reelAt("42", m_media->url("video.mp4", 3000)) }, VideoQuality::hd720);
    QTRY_COMPARE(m_manager->items().at(0).state.kind(), Kind::completed);
    m_manager->clearFinished();
    m_manager->enqueue({ reelAt("42", m_media->url(second, secondSize)) }, VideoQuality::hd720);
    QTRY_VERIFY(isFinished(m_manager->items().at(0)));
    if (refusal.isEmpty()) {
        QCOMPARE(m_manager->items().at(0).state.kind(), Kind::completed);
        QCOMPARE(saved("reel-42-720p.mp4"), MediaSimulator::content(secondSize));
    } else {
        QCOMPARE(m_manager->items().at(0).state, DownloadState::failed(refusal));
        QCOMPARE(saved("reel-42-720p.mp4"), MediaSimulator::content(3000));
    }
    QCOMPARE(folderEntries(), QStringList("reel-42-720p.mp4"));
    QVERIFY(!QFileInfo(target).isSymLink());
    QFile untouched(outside);
    QVERIFY(untouched.open(QIODevice::ReadOnly));
    QCOMPARE(untouched.readAll(), "keep me");
}

void TestDownloadManager::alreadySavedIsNotFetchedAgain_data()
{
    QTest::addColumn<QString>("atName"); // what stands at reel 1's name: "file", "empty", "link"
    QTest::addColumn<bool>("skipSaved");
    QTest::addColumn<bool>("fetched");

    QTest::newRow("a saved file is kept") << "file" << true << false;
    QTest::newRow("a stale empty file is fetched again") << "empty" << true << true;
    QTest::newRow("a link is no saved file") << "link" << true << true;
    QTest::newRow("the setting off, by default") << "file" << false << true;
}

void TestDownloadManager::alreadySavedIsNotFetchedAgain()
{
    QFETCH(QString, atName);
    QFETCH(bool, skipSaved);
    QFETCH(bool, fetched);
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    const QString target = QDir(m_folder).filePath("reel-1-720p.mp4");
    const QString outside = m_root->filePath("outside.mp4");
    QFile file(atName == "link" ? outside : target);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(atName == "empty" ? "" : "kept");
    file.close();
    if (atName == "link")
        QVERIFY(QFile::link(outside, target));
    makeManager(3);
    if (skipSaved)
        m_settings->setSkipSavedReels(true);

    // Reel 2 is never saved and waits at the gate; it has no posting time.
    m_manager->enqueue({ reelAt("1", m_media->url("video.mp4", 1000)),
                         reelAt("2", m_media->url("gated.mp4", 2000)) }, VideoQuality::hd720);
    if (!fetched) {
        // At once, and counted as done.
        QCOMPARE(m_manager->items().at(0).state,
                 DownloadState::alreadySaved(QUrl::fromLocalFile(target)));
        QCOMPARE(m_manager->statusLine(), "1 in progress · 1 of 2 done");
        QCOMPARE(m_manager->overallProgress(), 0.5);
    }
    m_media->openGate();
    QTRY_COMPARE(kinds(), QList<Kind>({ Kind::completed, Kind::completed }));
    QCOMPARE(m_manager->items().at(0).state.isAlreadySaved(), !fetched);
    QCOMPARE(m_server->requestCount("/media/video.mp4"), fetched ? 1 : 0);
    QCOMPARE(saved("reel-1-720p.mp4"), fetched ? MediaSimulator::content(1000) : "kept");
    QCOMPARE(QFileInfo(target).isSymLink(), false);
    // Without a posting time a file keeps the time it was saved.
    QVERIFY(QFileInfo(QDir(m_folder).filePath("reel-2-720p.mp4")).lastModified() >= before);
}

void TestDownloadManager::audioOnlyKeepsTheSoundAlone_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("action"); // taken while the sound is being copied
    QTest::addColumn<QString>("refusal"); // empty: the sound replaces the earlier file

    QTest::newRow("with sound") << "clip.mp4" << QString() << QString();
    QTest::newRow("without sound") << "mute.mp4" << QString() << "This reel has no sound.";
    QTest::newRow("not an MP4") << "video.mp4" << QString()
                                << "Invalid data found when processing input";
    QTest::newRow("cancelled while copied") << "clip.mp4" << "cancel" << "Cancelled";
    QTest::newRow("stopped while copied") << "clip.mp4" << "stop" << "Stopped";
    QTest::newRow("window closed while copied") << "clip.mp4" << "close" << QString();
}

void TestDownloadManager::audioOnlyKeepsTheSoundAlone()
{
    QFETCH(QString, file);
    QFETCH(QString, action);
    QFETCH(QString, refusal);
    const QString name = "reel-42-Audio only.m4a";
    QFile earlier(QDir(m_folder).filePath(name));
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write("keep me");
    earlier.close();
    makeManager(3);

    std::optional<PoolHold> hold;
    if (!action.isEmpty())
        hold.emplace();
    m_manager->enqueue({ reelAt("42", m_media->url(file, 4000), VideoQuality::audio) },
                       VideoQuality::audio);
    if (!action.isEmpty()) {
        // The rendition has arrived and the audio file is begun: two part files.
        const auto partFiles = [this] {
            const QStringList names = folderEntries();
            return std::count_if(names.cbegin(), names.cend(), MediaFile::isPartFileName);
        };
        QTRY_COMPARE(partFiles(), 2);
        if (action == "cancel") {
            m_manager->cancel("42#Audio only");
        } else if (action == "stop") {
            m_manager->stopAll();
        } else {
            m_modelTester.reset();
            m_manager.reset();
        }
        hold->release();
        QTest::qWait(100);
    }
    if (m_manager) {
        QTRY_VERIFY(isFinished(m_manager->items().at(0)));
        const DownloadState state = m_manager->items().at(0).state;
        QCOMPARE(state, refusal.isEmpty()
                         ? DownloadState::completed(QUrl::fromLocalFile(earlier.fileName()))
                         : DownloadState::failed(refusal));
    }
    QCOMPARE(folderEntries(), QStringList(name));
    if (!refusal.isEmpty() || action == "close") {
        QCOMPARE(saved(name), "keep me");
        return;
    }
    // One audio stream, as long as the rendition's, to the frame.
    const MediaFixture::Probe kept = MediaFixture::probe(earlier.fileName());
    QCOMPARE(kept.error, QString());
    QCOMPARE(kept.audioStreams, 1);
    QCOMPARE(kept.videoStreams, 0);
    QCOMPARE(kept.audioCodec, "aac");
    const MediaFixture::Probe rendition = MediaFixture::probe(MediaFixture::mp4());
    QCOMPARE(kept.audioPackets, rendition.audioPackets);
    QVERIFY2(std::abs(kept.audioSeconds - rendition.audioSeconds) <= MediaFixture::audioFrameSeconds,
             qPrintable(QStringLiteral("%1 s, not %2 s").arg(kept.audioSeconds)
                                .arg(rendition.audioSeconds)));
}

void TestDownloadManager::readOnlyFolderFailsEachItemAndGoesOn()
{
    makeManager(1);
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner);
    {
        WithoutPermissionOverride asUser;
        m_manager->enqueue({ reelAt("1", m_media->url("video.mp4")),
                             reelAt("2", m_media->url("video.mp4")) }, VideoQuality::hd720);
        QTRY_COMPARE(kinds(), QList<Kind>({ Kind::failed, Kind::failed }));
    }
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const DownloadItem &item : m_manager->items())
        QCOMPARE(item.state.message(), qt_error_string(EACCES));
    QVERIFY(folderEntries().isEmpty());
}

void TestDownloadManager::hostileIdsStayInsideTheFolder()
{
    makeManager(10);
    const QStringList ids = { "../../escape", "a/b", "a_b", "..", ".hidden", "line\nbreak",
                              QString(300, u'x') };
    QList<Reel> reels;
    for (const QString &id : ids)
        reels << reelAt(id, m_media->url("video.mp4", 100));
    m_manager->enqueue(reels, VideoQuality::hd720);
    QTRY_COMPARE(kinds().count(Kind::completed), ids.size());

    QCOMPARE(folderEntries().size(), ids.size()); // one file each, none shared
    QCOMPARE(QDir(m_root->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList("Reels"));
    QCOMPARE(saved("reel-a_b-720p.mp4"), MediaSimulator::content(100));
    for (const DownloadItem &item : m_manager->items())
        QCOMPARE(QFileInfo(item.state.fileURL().toLocalFile()).absolutePath(), m_folder);
}

void TestDownloadManager::crashLeftoversGoAtStart()
{
    QFile leftover(QDir(m_folder).filePath(".clipdock-123456abcdef.part"));
    QVERIFY(leftover.open(QIODevice::WriteOnly));
    leftover.close();
    makeManager(3);
    QVERIFY(!leftover.exists());
}

void TestDownloadManager::progressIsAnnouncedAtMostTenTimesASecond()
{
    makeManager(3);
    int rowChanges = 0;
    QList<int> percents;
    connect(m_manager->model(), &QAbstractItemModel::dataChanged, this,
            [&](const QModelIndex &index) {
        ++rowChanges;
        percents << index.data(DownloadListModel::PercentRole).toInt();
    });
    QElapsedTimer clock;
    clock.start();
    // 64 pieces, one every 20 ms.
    m_manager->enqueue({ reelAt("1", m_media->url("slow.mp4", 1024 * 1024)) }, VideoQuality::hd720);
    QTRY_COMPARE_WITH_TIMEOUT(m_manager->items().at(0).state.kind(), Kind::completed, 20000);

    // Two changes of kind, and progress once per tick at most.
    QVERIFY2(rowChanges <= 2 + clock.elapsed() / DownloadListModel::progressIntervalMs,
             qPrintable(QString::number(rowChanges)));
    QVERIFY(std::any_of(percents.cbegin(), percents.cend(),
                        [](int percent) { return percent > 0 && percent < 100; }));
    QVERIFY(std::is_sorted(percents.cbegin(), percents.cend()));
}

void TestDownloadManager::missingDefaultFolderIsCreated()
{
    DownloadDestination destination; // never chosen: the user's Downloads folder, not there yet
    QDir(destination.folderPath()).removeRecursively();
    AppSettings settings;
    DownloadManager manager(&destination, &settings);
    manager.enqueue({ reelAt("1", m_media->url("video.mp4", 10)) }, VideoQuality::hd720);
    QTRY_COMPARE(manager.completedCount(), 1);
    QVERIFY(QFile::exists(QDir(destination.folderPath()).filePath("reel-1-720p.mp4")));
}

QTEST_GUILESS_MAIN(TestDownloadManager)
#include "tst_downloadmanager.moc"
