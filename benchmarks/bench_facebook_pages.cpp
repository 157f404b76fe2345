// Reads the simulated Facebook sample accounts with the app's own waits (CLIPDOCK_FB_SETTLE_MS and
// CLIPDOCK_FB_SCROLL_MS when set, else the defaults) and prints how long each takes to show, and
// how many pages and scroll passes that took. Nearly all of it is waiting for the page to settle
// and for lazily loaded videos, so one round per account tells the story.

#include "FacebookSimulator.h"
#include "Spin.h"
#include "TestEnvironment.h"
#include "TestServer.h"

#include "auth/BrowserStore.h"
#include "auth/PlatformAuth.h"
#include "core/Config.h"
#include "core/WebIdentity.h"
#include "sources/RealFacebookService.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QNetworkCookie>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEnginePage>
#include <QtWebEngineQuick>

#include <cstdio>

namespace {

using Tab = FacebookSimulator::Tab;

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QtWebEngineQuick::initialize();
    QGuiApplication app(argc, argv);
    TestEnvironment environment;
    TestServer server{ QHostAddress(QStringLiteral("127.0.0.2")) };
    FacebookSimulator facebook(server);
    facebook.pointAppAtIt();
    facebook.addSampleAccounts();

    // The engine applies cookies given to the store only once a page of the profile loads.
    QWebEnginePage blank(BrowserStore::profile());
    QSignalSpy loaded(&blank, &QWebEnginePage::loadFinished);
    blank.load(QUrl(QStringLiteral("about:blank")));
    loaded.wait(20000);
    PlatformAuth auth(SocialPlatform::facebook, nullptr);
    for (const auto &[name, value] : { std::pair("c_user", "1"), std::pair("xs", "bench") }) {
        QNetworkCookie cookie(name, value);
        cookie.setDomain(server.origin().host());
        cookie.setPath(QStringLiteral("/"));
        BrowserStore::instance()->setCookie(cookie, server.origin());
    }
    spinUntil([&] { return auth.isSignedIn(); }, 10000);
    if (!auth.isSignedIn()) {
        std::fprintf(stderr, "could not sign in to the simulated Facebook\n");
        return 1;
    }

    RealFacebookService service(&auth, WebIdentity::desktopUserAgent());
    std::printf("Facebook sample accounts, settle %d ms, %d ms per scroll pass, at most %d passes\n",
                Config::current().facebookSettleMs, Config::current().facebookScrollMs,
                RealFacebookService::scrollPasses);
    for (const char *account : { "reels.page", "videos.page", "empty.page" }) {
        const QString handle = QString::fromLatin1(account);
        server.clearRequests();
        qsizetype reels = 0;
        bool finished = false;
        QString error;
        QElapsedTimer clock;
        clock.start();
        service.fetchProfile(handle, Cancellation(),
                             [&](const InstagramProfile &, const QList<Reel> &found) { reels = found.size(); },
                             [&](const Outcome<InstagramServiceError> &outcome) {
                                 finished = true;
                                 if (outcome.failed())
                                     error = outcome.error().errorDescription();
                             });
        spinUntil([&] { return finished; }, 120000);
        const double seconds = clock.nsecsElapsed() / 1e9;
        // The last report of a scroll may still be on its way.
        spinUntil([] { return false; }, 200);
        QStringList passes;
        for (Tab tab : { Tab::reels, Tab::videos }) {
            if (!facebook.requests(handle, tab).isEmpty())
                passes.append(QString::number(facebook.scrollsSeen(handle, tab)));
        }
        std::printf("  %-12s %6.2f s  %lld pages, scroll passes %-5s %lld reels%s\n", account, seconds,
                    static_cast<long long>(passes.size()), qPrintable(passes.join(u'+')),
                    static_cast<long long>(reels), error.isEmpty() ? "" : " (no video: HTTP 0)");
    }
    return 0;
}
