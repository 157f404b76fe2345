#include "LoginPages.h"

#include "TestServer.h"

#include <QUrlQuery>

namespace LoginPages {

QString loginPath(SocialPlatform platform)
{
    return platform == SocialPlatform::facebook ? QStringLiteral("/login/")
                                                : QStringLiteral("/accounts/login/");
}

void attach(TestServer &server, SocialPlatform platform)
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

    server.route(path + QStringLiteral("submit"), [platform](const TestServer::Request &request) {
        QByteArray user = QUrlQuery(QString::fromUtf8(request.body))
                                  .queryItemValue(QStringLiteral("username"))
                                  .toUtf8();
        if (user.isEmpty())
            user = "someone";
        const QByteArray id = QByteArray::number(qHash(user) % 100000000);
        TestServer::Response response;
        response.status = 302;
        response.contentType = "text/html";
        const QByteArray attributes = "; Path=/; Max-Age=31536000";
        if (platform == SocialPlatform::facebook) {
            response.headers = { { "Set-Cookie", "c_user=" + id + attributes },
                                 { "Set-Cookie", "xs=" + id + "%3Asecret" + attributes },
                                 { "Set-Cookie", "fb_dtsg=token-" + id + attributes } };
        } else {
            response.headers = { { "Set-Cookie", "sessionid=" + id + "%3Asecret" + attributes },
                                 { "Set-Cookie", "csrftoken=csrf-" + id + attributes },
                                 { "Set-Cookie", "ds_user_id=" + id + attributes } };
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
