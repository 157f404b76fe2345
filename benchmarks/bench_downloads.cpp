// Downloads a set of large files from a local server through DownloadManager at limits 3 and 10,
// and the same files with `curl --parallel --parallel-max N`, in the same run. Prints wall time,
// throughput, CPU time, the ratio to curl and the longest stall of the main thread's event loop,
// with how much of it the main thread's own work can account for.
//
//   bench_downloads [files=40] [megabytes=25]
//
// The server is `python3 -m http.server` in a process of its own, so its work is neither in the
// client's CPU time nor on the client's cores' main thread.

#include "BenchSupport.h"
#include "TestEnvironment.h"

#include "downloads/AppSettings.h"
#include "downloads/DownloadDestination.h"
#include "downloads/DownloadManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

struct Figures
{
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double longestStallMs = -1; // not measured
    double longestOwnStallMs = -1;
    bool complete = false;
};

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void makeFiles(const QString &folder, int count, qint64 bytes)
{
    QByteArray block(1 << 20, Qt::Uninitialized);
    quint32 state = 2463534242u;
    for (char &byte : block) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = char(state);
    }
    for (int n = 0; n < count; ++n) {
        QFile file(QDir(folder).filePath(QStringLiteral("clip-%1.mp4").arg(n)));
        file.open(QIODevice::WriteOnly);
        for (qint64 written = 0; written < bytes; written += block.size()) {
            block[0] = char(n); // every file differs
            file.write(block.constData(), std::min<qint64>(block.size(), bytes - written));
        }
    }
}

bool allSaved(const QString &folder, int count, qint64 bytes)
{
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files);
    return files.size() == count
            && std::all_of(files.cbegin(), files.cend(),
                           [bytes](const QFileInfo &file) { return file.size() == bytes; });
}

Figures runManager(const QList<QUrl> &urls, int limit, const QString &folder, qint64 bytes)
{
    DownloadDestination destination;
    destination.adoptFolder(QUrl::fromLocalFile(folder));
    AppSettings settings;
    settings.setMaxConcurrentDownloads(limit);
    DownloadManager manager(&destination, &settings);
    QList<Reel> reels;
    for (int n = 0; n < urls.size(); ++n) {
        Reel reel;
        reel.id = QString::number(n);
        reel.variants.insert(VideoQuality::hd720, urls.at(n));
        reels << reel;
    }

    QEventLoop loop;
    QObject::connect(&manager, &DownloadManager::summaryChanged, &loop, [&] {
        if (manager.activeCount() == 0)
            loop.quit();
    });
    StallMeter stalls;
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer clock;
    clock.start();
    manager.enqueue(reels, VideoQuality::hd720);
    loop.exec();

    Figures figures;
    figures.wallSeconds = clock.nsecsElapsed() / 1e9;
    figures.cpuSeconds = cpuSeconds(RUSAGE_SELF) - cpuBefore;
    figures.longestStallMs = stalls.longestMs();
    figures.longestOwnStallMs = stalls.longestOwnMs();
    figures.complete =
            manager.completedCount() == urls.size() && allSaved(folder, urls.size(), bytes);
    if (!figures.complete && manager.failedCount() > 0) {
        for (const DownloadItem &item : manager.items())
            if (item.state.kind() == DownloadState::Kind::failed)
                std::fprintf(stderr, "failed: %s\n", qPrintable(item.state.message()));
    }
    return figures;
}

Figures runCurl(const QList<QUrl> &urls, int limit, const QString &folder, qint64 bytes)
{
    QStringList arguments = { "--silent", "--show-error", "--fail", "--parallel",
                              "--parallel-max", QString::number(limit), "--output-dir", folder };
    for (const QUrl &url : urls)
        arguments << "--remote-name" << url.toString();
    QProcess curl;
    const double cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer clock;
    clock.start();
    curl.start("curl", arguments);
    curl.waitForFinished(-1);
    Figures figures;
    figures.wallSeconds = clock.nsecsElapsed() / 1e9;
    figures.cpuSeconds = cpuSeconds(RUSAGE_CHILDREN) - cpuBefore;
    figures.complete = curl.exitCode() == 0 && allSaved(folder, urls.size(), bytes);
    return figures;
}

// Each figure's median across the runs; complete only when every run was.
Figures median(const QList<Figures> &runs)
{
    const auto middle = [&](auto field) {
        QList<double> values;
        for (const Figures &run : runs)
            values << run.*field;
        std::sort(values.begin(), values.end());
        return values.at(values.size() / 2);
    };
    Figures figures;
    figures.wallSeconds = middle(&Figures::wallSeconds);
    figures.cpuSeconds = middle(&Figures::cpuSeconds);
    figures.longestStallMs = middle(&Figures::longestStallMs);
    figures.longestOwnStallMs = middle(&Figures::longestOwnStallMs);
    figures.complete = std::all_of(runs.cbegin(), runs.cend(),
                                   [](const Figures &run) { return run.complete; });
    return figures;
}

void print(const char *who, int limit, const Figures &figures, double totalMB, double curlWall)
{
    std::printf("%-16s limit %2d  wall %6.2f s  %7.1f MB/s  cpu %6.2f s", who, limit,
                figures.wallSeconds, totalMB / figures.wallSeconds, figures.cpuSeconds);
    if (curlWall > 0)
        std::printf("  wall/curl %.2f", figures.wallSeconds / curlWall);
    if (figures.longestStallMs >= 0)
        std::printf("  longest main-thread stall %.1f ms (own work at most %.1f ms)",
                    figures.longestStallMs, figures.longestOwnStallMs);
    std::printf("%s\n", figures.complete ? "" : "  INCOMPLETE");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 40;
    const qint64 bytes = (argc > 2 ? std::atoll(argv[2]) : 25) * 1024 * 1024;
    // A run of a gigabyte over loopback lasts about a second, so single runs are noisy: each
    // figure is the median of several rounds, curl and the queue taking turns.
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    TestEnvironment environment; // settings and folders in a temporary home

    QTemporaryDir work;
    const QString served = work.filePath("served");
    QDir().mkpath(served);
    makeFiles(served, count, bytes);

    LocalFileServer server;
    if (!server.start(served)) {
        std::fprintf(stderr, "the local server did not start\n");
        return 1;
    }
    QList<QUrl> urls;
    for (int n = 0; n < count; ++n)
        urls << server.url(QStringLiteral("clip-%1.mp4").arg(n));

    const double totalMB = double(count) * double(bytes) / (1024.0 * 1024.0);
    std::printf("%d files of %lld MB (%.0f MB) from python3 -m http.server; %d cores; "
                "median of %d rounds\n",
                count, bytes / (1024 * 1024), totalMB, QThread::idealThreadCount(), rounds);
    for (int limit : { 3, 10 }) {
        const QString curlFolder = work.filePath(QStringLiteral("curl-%1").arg(limit));
        const QString appFolder = work.filePath(QStringLiteral("app-%1").arg(limit));
        QList<Figures> curlRuns, appRuns;
        for (int round = 0; round < rounds; ++round) {
            QDir().mkpath(curlFolder);
            QDir().mkpath(appFolder);
            curlRuns << runCurl(urls, limit, curlFolder, bytes);
            QDir(curlFolder).removeRecursively();
            appRuns << runManager(urls, limit, appFolder, bytes);
            QDir(appFolder).removeRecursively();
        }
        const Figures curl = median(curlRuns);
        const Figures app = median(appRuns);
        print("curl --parallel", limit, curl, totalMB, 0);
        print("DownloadManager", limit, app, totalMB, curl.wallSeconds);
        double worstStall = 0;
        double worstOwnStall = 0;
        for (const Figures &run : appRuns) {
            worstStall = std::max(worstStall, run.longestStallMs);
            worstOwnStall = std::max(worstOwnStall, run.longestOwnStallMs);
        }
        std::printf("%-16s limit %2d  longest main-thread stall over all rounds %.1f ms "
                    "(own work at most %.1f ms)\n",
                    "", limit, worstStall, worstOwnStall);
    }
    return 0;
}
