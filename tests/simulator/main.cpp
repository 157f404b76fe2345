// clipdock-simulator: the two platforms and their media on this machine, to run the app against
// by hand. It prints the environment that points the app at it:
//
//   build/tests/clipdock-simulator > /tmp/sim.env &
//   sleep 1; env $(cat /tmp/sim.env) build/clipdock
//
// Instagram (127.0.0.1) has a login page that sets a session and profiles with many pages of
// reels; Facebook (127.0.0.2) has its login page and the sample accounts of FacebookSimulator.
// The media server answers every .mp4/.m4a address with a file of a few hundred kilobytes (not a
// playable video) and every other address with a generated JPEG, so thumbnails, avatars, the demo
// profiles' pictures and downloads all work offline.

#include "FacebookSimulator.h"
#include "InstagramSimulator.h"
#include "LoginPages.h"
#include "MediaFixture.h"
#include "MediaSimulator.h"
#include "TestServer.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QImage>
#include <QTextStream>

namespace {

// A soft two-colour gradient, its colours taken from the address so each picture differs.
QByteArray pictureFor(const QString &path)
{
    const QByteArray digest = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Md5);
    const QColor from = QColor::fromHsv(quint8(digest[0]) * 360 / 256, 140, 230);
    const QColor to = QColor::fromHsv(quint8(digest[1]) * 360 / 256, 200, 120);
    QImage image(240, 400, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const double t = double(y) / image.height();
        const QRgb rgb = qRgb(int(from.red() * (1 - t) + to.red() * t),
                              int(from.green() * (1 - t) + to.green() * t),
                              int(from.blue() * (1 - t) + to.blue() * t));
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::fill(line, line + image.width(), rgb);
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return jpeg;
}

TestServer::Response mediaFor(const TestServer::Request &request)
{
    const QString path = request.url.path();
    if (path.endsWith(QLatin1String(".mp4")) || path.endsWith(QLatin1String(".m4a"))) {
        // A real MP4 with sound, so that "Audio only" has a sound to keep.
        const QByteArray type = path.endsWith(QLatin1String(".m4a")) ? "audio/mp4" : "video/mp4";
        return TestServer::Response::text(MediaFixture::mp4({ .atLeastBytes = 512 * 1024 }), 200,
                                          type);
    }
    return TestServer::Response::text(pictureFor(path), 200, "image/jpeg");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    TestServer media;
    media.routePrefix(QStringLiteral("/"), mediaFor);

    TestServer instagramServer;
    InstagramSimulator instagram(instagramServer);
    instagram.setMediaOrigin(media.origin());
    LoginPages::attach(instagramServer, SocialPlatform::instagram);
    const auto account = [](const QString &fullName, qint64 followers, bool verified) {
        InstagramSimulator::ProfileOptions options;
        options.fullName = fullName;
        options.followerCount = followers;
        options.verified = verified;
        return options;
    };
    auto nasa = account(QStringLiteral("NASA"), 98'400'000, true);
    nasa.repeats = 2;
    instagram.addProfile(QStringLiteral("nasa"), 480, 12, nasa);
    instagram.addProfile(QStringLiteral("natgeo"), 3000, 50,
                         account(QStringLiteral("National Geographic"), 283'000'000, true));
    instagram.addProfile(QStringLiteral("smallcreator"), 7, 12,
                         account(QStringLiteral("Small Creator"), 812, false));
    instagram.addProfile(QStringLiteral("nothingyet"), 0, 12);
    instagram.addProfile(QStringLiteral("busybee"), 120, 12);
    instagram.setPageResponse(QStringLiteral("busybee"), 3, TestServer::Response::text("Please wait a few minutes before you try again.", 429));
    // Refused twice on its second page, asking for eight seconds each time; then answered.
    instagram.addProfile(QStringLiteral("patient"), 60, 12);
    TestServer::Response slowDown =
            TestServer::Response::text("Please wait a few minutes before you try again.", 429);
    slowDown.headers = { { "Retry-After", "8" } };
    instagram.setPageResponse(QStringLiteral("patient"), 2, slowDown, 2);
    instagram.setRequireSession(true);

    TestServer facebookServer{ QHostAddress(QStringLiteral("127.0.0.2")) };
    FacebookSimulator facebook(facebookServer);
    facebook.addSampleAccounts();
    LoginPages::attach(facebookServer, SocialPlatform::facebook);

    QTextStream out(stdout);
    out << "CLIPDOCK_INSTAGRAM_ORIGIN=" << instagramServer.origin().toString() << '\n'
        << "CLIPDOCK_FACEBOOK_ORIGIN=" << facebookServer.origin().toString() << '\n'
        << "CLIPDOCK_PLACEHOLDER_ORIGIN=" << media.origin().toString() << '\n'
        << "CLIPDOCK_SAMPLE_MEDIA_ORIGIN=" << media.origin().toString() << '\n'
        << "CLIPDOCK_IG_CDN_MARKER=cdninstagram.sim\n"
        << "CLIPDOCK_FB_VIDEO_CDN_MARKER=fbcdn.sim\n"
        << "CLIPDOCK_IMAGE_CDN_PREFIX=scontent.sim\n"
        // Waits after a refusal of seconds rather than minutes.
        << "CLIPDOCK_RATE_LIMIT_WAITS_MS=5000,10000,20000\n";
    out.flush();
    QTextStream(stderr) << "Instagram profiles: nasa (480 reels), natgeo (3000), smallcreator (7), "
                           "nothingyet (0), busybee (rate-limited on its third page), patient\n"
                           "(refused twice on its second page, then answered).\n"
                           "Facebook pages: reels.page, videos.page, empty.page, broken.page.\n"
                           "Sign in on either login page with any name and password. Ctrl-C stops.\n";
    return app.exec();
}
