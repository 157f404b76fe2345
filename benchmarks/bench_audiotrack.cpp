// Times how long keeping the sound of a rendition takes (AudioTrack: its audio stream copied
// into an .m4a) for renditions of 10 MB and 100 MB, against the transfer of the same file from a
// local server, and how late the main thread's event loop ran meanwhile.
//
//   bench_audiotrack [megabytes...]   (default 10 100) [--rounds=N] (default 5)
//
// Each rendition is a real MP4: 360x640 MPEG-4 picture near 800 kbit/s and 128 kbit/s AAC sound,
// a ten-second clip repeated to the size asked for. The server is `python3 -m http.server` in a
// process of its own, so its work is not on this process's threads.

#include "BenchSupport.h"
#include "MediaFixture.h"
#include "TestEnvironment.h"

#include "downloads/AudioTrack.h"
#include "downloads/Downloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// One transfer into a part file in `folder`; null when it failed.
std::shared_ptr<PartFile> transfer(const QUrl &url, const QString &folder, double *ms)
{
    Downloader downloader({}, {});
    std::shared_ptr<PartFile> part;
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    downloader.download(url, folder, Cancellation(), [&](const Downloader::Result &result) {
        if (result.succeeded())
            part = result.value();
        else if (result.failed())
            std::fprintf(stderr, "transfer failed: %s\n", qPrintable(result.error().description()));
        loop.quit();
    });
    loop.exec();
    *ms = clock.nsecsElapsed() / 1e6;
    return part;
}

// One copy of the sound; false when it failed.
bool keepSound(const std::shared_ptr<PartFile> &rendition, double *ms, double *stallMs)
{
    QObject context;
    QEventLoop loop;
    bool kept = false;
    StallMeter stalls;
    QElapsedTimer clock;
    clock.start();
    AudioTrack::extract(rendition, Cancellation(), &context, [&](const AudioTrack::Result &result) {
        kept = result.succeeded();
        if (result.failed())
            std::fprintf(stderr, "copy failed: %s\n", qPrintable(result.error().description()));
        loop.quit();
    });
    loop.exec();
    *ms = clock.nsecsElapsed() / 1e6;
    *stallMs = stalls.longestMs();
    return kept;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QList<qint64> sizes;
    int rounds = 5;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument.startsWith(QLatin1String("--rounds=")))
            rounds = std::max(1, argument.mid(9).toInt());
        else
            sizes << argument.toLongLong() * 1024 * 1024;
    }
    if (sizes.isEmpty())
        sizes = { 10 * 1024 * 1024, 100 * 1024 * 1024 };
    TestEnvironment environment; // settings and folders in a temporary home

    QTemporaryDir work;
    const QString served = work.filePath("served");
    const QString saved = work.filePath("saved");
    QDir().mkpath(served);
    QDir().mkpath(saved);
    for (qint64 size : sizes) {
        QString error;
        MediaFixture::Options options;
        options.seconds = 10;
        options.pictureSize = { 360, 640 };
        options.pictureBitRate = 800'000;
        options.atLeastBytes = size;
        if (!MediaFixture::write(QDir(served).filePath(QStringLiteral("clip-%1.mp4").arg(size)),
                                 options, &error)) {
            std::fprintf(stderr, "cannot make the rendition: %s\n", qPrintable(error));
            return 1;
        }
    }

    LocalFileServer server;
    if (!server.start(served)) {
        std::fprintf(stderr, "the local server did not start\n");
        return 1;
    }

    std::printf("renditions from python3 -m http.server; %d cores; median of %d rounds\n",
                QThread::idealThreadCount(), rounds);
    for (qint64 size : sizes) {
        const QString file = QDir(served).filePath(QStringLiteral("clip-%1.mp4").arg(size));
        const MediaFixture::Probe probe = MediaFixture::probe(file);
        const QUrl url = server.url(QStringLiteral("clip-%1.mp4").arg(size));
        QList<double> transfers, copies, stalls;
        bool complete = true;
        for (int round = 0; round < rounds; ++round) {
            double transferMs = 0, copyMs = 0, stallMs = 0;
            const std::shared_ptr<PartFile> rendition = transfer(url, saved, &transferMs);
            complete = complete && rendition && keepSound(rendition, &copyMs, &stallMs);
            transfers << transferMs;
            copies << copyMs;
            stalls << stallMs;
        }
        const double transferMs = median(transfers);
        const double copyMs = median(copies);
        std::printf("%6.1f MB (%5.0f s, %6d audio packets)  transfer %7.1f ms  sound copied in "
                    "%6.1f ms = %5.1f%% of the transfer  longest main-thread stall during the "
                    "copy %.1f ms%s\n",
                    QFileInfo(file).size() / (1024.0 * 1024.0), probe.audioSeconds,
                    probe.audioPackets, transferMs, copyMs, 100.0 * copyMs / transferMs,
                    *std::max_element(stalls.cbegin(), stalls.cend()),
                    complete ? "" : "  INCOMPLETE");
        std::fflush(stdout);
    }
    return 0;
}
