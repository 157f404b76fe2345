#include "LoginPages.h"

#include "TestServer.h"

#include <QUrlQuery>

namespace LoginPages {

QString loginPath(SocialPlatform platform)
{
    return platform == SocialPlatform::facebook ? QStringLiteral("/login/")
                                                : QStringLiteral("/accounts/login/");
}

QByteArrayList loginOrder(SocialPlatform platform)
{
    if (platform == SocialPlatform::facebook)
        return { "c_user", "xs", "fb_dtsg" };
    return { "csrftoken", "mid", "sessionid", "ds_user_id" };
}

void attach(TestServer &server, SocialPlatform platform, const QByteArrayList &order)
{
    const QString path = loginPath(platform);
    const QByteArray name = displayName(platform).toUtf8();

    server.route(path, TestServer::Response::text(
            "<!doctype html><html><head><title>Log in to " + name + "</title></head><body>"
            "<h1>" + name + " (local simulator)</h1>"
            "<form id=\"login\" method=\"post\" action=\"" + path.toUtf8() + "submit\">"
            "<input name=\"username\" placeholder=\"Name\" autofocus>"
            "<input name=\"password\" type=\"password\" placeholder=\"Password\">"
            "<button type=\"submit\">Log in</button></form></body></html>",
            200, "text/html; charset=utf-8"));

    const QByteArrayList names = order.isEmpty() ? loginOrder(platform) : order;
    server.route(path + QStringLiteral("submit"), [names](const TestServer::Request &request) {
        QByteArray user = QUrlQuery(QString::fromUtf8(request.body))
                                  .queryItemValue(QStringLiteral("username"))
                                  .toUtf8();
        if (user.isEmpty())
            user = "someone";
        const QByteArray id = QByteArray::number(qHash(user) % 100000000);
        const QHash<QByteArray, QByteArray> values{
            { "csrftoken", "csrf-" + id }, { "mid", "mid-" + id },
            { "sessionid", id + "%3Asecret" }, { "ds_user_id", id },
            { "c_user", id }, { "xs", id + "%3Asecret" }, { "fb_dtsg", "token-" + id } };
        TestServer::Response response;
        response.status = 302;
        response.contentType = "text/html";
        for (const QByteArray &cookieName : names) {
            response.headers.append(qMakePair(QByteArray("Set-Cookie"),
                                              cookieName + '=' + values.value(cookieName, id)
                                                      + "; Path=/; Max-Age=31536000"));
        }
        response.headers.append(qMakePair(QByteArray("Location"), QByteArray("/")));
        return response;
    });

    server.route(QStringLiteral("/"), TestServer::Response::text(
            "<!doctype html><html><head><title>" + name + "</title></head>"
            "<body>Signed in to the " + name + " simulator.</body></html>",
            200, "text/html; charset=utf-8"));
}

} // namespace LoginPages
