// Walks a simulated 250-page Instagram profile and prints where the time goes per page: in the
// simulated server building its answers, and in the client (network stack, JSON, reels,
// de-duplication, the update).

#include "InstagramSimulator.h"
#include "TestEnvironment.h"
#include "TestServer.h"

#include "auth/BrowserStore.h"
#include "auth/PlatformAuth.h"
#include "core/Http.h"
#include "core/WebIdentity.h"
#include "sources/RealInstagramService.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkCookie>

#include <cstdio>

namespace {

constexpr int runs = 5;
constexpr int parseRounds = 2000;

struct Walk
{
    qint64 wallNs = 0;
    qint64 serverNs = 0;
    int pages = 0;
    qsizetype reels = 0;
};

Walk walkOnce(RealInstagramService &service, InstagramSimulator &simulator)
{
    Walk walk;
    const qint64 serverBefore = simulator.handlerNanoseconds();
    const int pagesBefore = simulator.pagesServed();
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    service.fetchProfile(QStringLiteral("bench"), Cancellation(),
                         [&](const InstagramProfile &, const QList<Reel> &reels) {
        walk.reels = reels.size();
    }, [&](const Outcome<InstagramServiceError> &outcome) {
        if (outcome.failed())
            std::fprintf(stderr, "walk failed: %s\n", qPrintable(outcome.error().errorDescription()));
        loop.quit();
    });
    loop.exec();
    walk.wallNs = clock.nsecsElapsed();
    walk.serverNs = simulator.handlerNanoseconds() - serverBefore;
    walk.pages = simulator.pagesServed() - pagesBefore;
    return walk;
}

// One page as the server sends it, fetched once, then decoded and parsed many times over.
double parseMsPerPage(const QUrl &origin, const QString &userID)
{
    QNetworkRequest request = Http::request(QUrl(origin.toString() + InstagramSimulator::clipsPath));
    request.setRawHeader("Content-Type", "application/x-www-form-urlencoded");
    QByteArray body;
    QEventLoop loop;
    Http::send(request, "POST", "target_user_id=" + userID.toUtf8() + "&page_size=12",
               Cancellation(), &loop, [&](const Outcome<NetworkError, HttpResponse> &answer) {
        if (answer.succeeded())
            body = answer.value().body;
        loop.quit();
    });
    loop.exec();

    QElapsedTimer clock;
    clock.start();
    qsizetype parsed = 0;
    for (int round = 0; round < parseRounds; ++round) {
        const QJsonArray items = QJsonDocument::fromJson(body).object().value("items").toArray();
        for (const QJsonValue &item : items)
            parsed += RealInstagramService::parseReel(item.toObject()).has_value();
    }
    if (parsed == 0)
        std::fprintf(stderr, "no reel parsed\n");
    return clock.nsecsElapsed() / 1e6 / parseRounds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TestEnvironment environment;
    TestServer server;
    InstagramSimulator simulator(server);
    InstagramSimulator::ProfileOptions options;
    options.repeats = 2;
    options.ending = InstagramSimulator::Ending::repeatForever;
    simulator.addProfile(QStringLiteral("bench"), 12 * 260, 12, options);
    TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", server.origin() } });

    QNetworkCookie session("sessionid", "bench");
    session.setDomain(server.origin().host());
    session.setPath(QStringLiteral("/"));
    Http::jar()->insertCookie(session);
    BrowserStore store;
    PlatformAuth auth(SocialPlatform::instagram, &store);
    RealInstagramService service(&auth, WebIdentity::instagramAppID(), WebIdentity::desktopUserAgent());

    walkOnce(service, simulator); // warm-up: connections, allocations
    Walk total;
    for (int run = 0; run < runs; ++run) {
        const Walk walk = walkOnce(service, simulator);
        total.wallNs += walk.wallNs;
        total.serverNs += walk.serverNs;
        total.pages += walk.pages;
        total.reels = walk.reels;
    }

    const double pages = total.pages;
    const double wallMs = total.wallNs / 1e6 / pages;
    const double serverMs = total.serverNs / 1e6 / pages;
    std::printf("Instagram page walk: %d runs of %d pages, %lld reels each\n", runs,
                total.pages / runs, static_cast<long long>(total.reels));
    std::printf("  per page, whole round trip:            %8.3f ms\n", wallMs);
    std::printf("  per page, server building its answer:  %8.3f ms\n", serverMs);
    std::printf("  per page, client (incl. network stack):%8.3f ms\n", wallMs - serverMs);
    std::printf("  per page, client JSON + parseReel:     %8.3f ms\n",
                parseMsPerPage(server.origin(), simulator.userID(QStringLiteral("bench"))));
    return 0;
}
