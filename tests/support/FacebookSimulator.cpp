#include "FacebookSimulator.h"

#include "TestEnvironment.h"

#include <QTcpSocket>

namespace {

const QString videoCdnHost = QStringLiteral("video.fbcdn.sim");
const QString instagramCdnHost = QStringLiteral("media.cdninstagram.sim");
const QString imageCdnHost = QStringLiteral("scontent.sim");

QByteArray escapedForJson(const QString &address)
{
    return address.toUtf8().replace("/", "\\/").replace("&", "\\u0026");
}

QByteArray jsonData(const QStringList &videos, const QStringList &thumbnails)
{
    QByteArrayList items;
    for (const QString &video : videos)
        items.append("{\"playable_url\":\"" + escapedForJson(video) + "\"}");
    for (const QString &thumbnail : thumbnails)
        items.append("{\"image\":{\"uri\":\"" + thumbnail.toUtf8().replace("/", "\\u002F") + "\"}}");
    return "<script type=\"application/json\">{\"items\":[" + items.join(',') + "]}</script>\n";
}

// Watches for scrolls to the bottom: the page has no window, so no scroll event fires, and it
// looks at the scroll position instead. Each one is reported to the server, reveals the next lazy
// address, and ends back at the top so that the next scroll moves the page again.
QByteArray scrollWatcher(const FacebookSimulator::Page &page)
{
    QByteArrayList escaped;
    for (const QString &video : page.lazyVideos)
        escaped.append('"' + escapedForJson(video).replace("\\", "\\\\") + '"');
    return "<script>(function () {\n"
           "  const lazy = [" + escaped.join(',') + "];\n"
           "  const revealHeight = " + QByteArray::number(page.revealHeight) + ";\n"
           "  const endless = " + (page.endless ? "true" : "false") + ";\n"
           "  let revealed = 0;\n"
           "  setInterval(function () {\n"
           "    if (window.scrollY <= 0) return;\n"
           "    fetch(location.pathname + '/scrolled', { method: 'POST', keepalive: true }).catch(() => {});\n"
           "    const more = revealed < lazy.length;\n"
           "    if (more) {\n"
           "      const data = document.createElement('script');\n"
           "      data.type = 'application/json';\n"
           "      data.textContent = '{\"playable_url\":\"' + lazy[revealed++] + '\"}';\n"
           "      document.body.appendChild(data);\n"
           "    }\n"
           "    if ((more || endless) && revealHeight > 0) {\n"
           "      const filler = document.createElement('div');\n"
           "      filler.style.height = revealHeight + 'px';\n"
           "      document.body.appendChild(filler);\n"
           "    }\n"
           "    window.scrollTo(0, 0);\n"
           "  }, 10);\n"
           "})();</script>\n";
}

} // namespace

FacebookSimulator::FacebookSimulator(TestServer &server) : m_server(server) { }

void FacebookSimulator::pointAppAtIt() const
{
    qputenv("CLIPDOCK_FB_VIDEO_CDN_MARKER", "fbcdn.sim");
    qputenv("CLIPDOCK_IG_CDN_MARKER", "cdninstagram.sim");
    qputenv("CLIPDOCK_IMAGE_CDN_PREFIX", imageCdnHost.toUtf8());
    TestEnvironment::setOrigins({ { "CLIPDOCK_FACEBOOK_ORIGIN", m_server.origin() } });
}

QString FacebookSimulator::path(const QString &handle, Tab tab)
{
    return u'/' + handle + (tab == Tab::reels ? QStringLiteral("/reels") : QStringLiteral("/videos"));
}

QUrl FacebookSimulator::url(const QString &handle, Tab tab) const
{
    return m_server.url(path(handle, tab));
}

QList<TestServer::Request> FacebookSimulator::requests(const QString &handle, Tab tab) const
{
    return m_server.requests(path(handle, tab));
}

int FacebookSimulator::scrollsSeen(const QString &handle, Tab tab) const
{
    return m_server.requestCount(path(handle, tab) + QStringLiteral("/scrolled"));
}

void FacebookSimulator::setPage(const QString &handle, Tab tab, const Page &page)
{
    if (page.reset) {
        m_server.routeRaw(path(handle, tab), [](const TestServer::Request &, QTcpSocket *socket) {
            socket->abort();
        });
        return;
    }
    auto response = TestServer::Response::text(html(page), page.status, "text/html; charset=utf-8");
    response.stall = page.stall;
    m_server.route(path(handle, tab), response);
    m_server.route(path(handle, tab) + QStringLiteral("/scrolled"), TestServer::Response::text({}, 204));
}

QByteArray FacebookSimulator::html(const Page &page)
{
    QByteArray html = "<!doctype html>\n<html><head><meta charset=\"utf-8\">";
    if (!page.title.isEmpty())
        html += "<title>" + page.title.toHtmlEscaped().toUtf8() + "</title>";
    html += "</head>\n<body>\n<div style=\"height: 2000px\">Facebook (local simulator)</div>\n";
    html += jsonData(page.embeddedVideos, page.thumbnails);
    for (const QString &video : page.textVideos)
        html += "<p>" + video.toHtmlEscaped().toUtf8() + "</p>\n";
    for (const QString &video : page.elementVideos)
        html += "<video muted preload=\"none\" src=\"" + video.toHtmlEscaped().toUtf8() + "\"></video>\n";
    for (int i = 0; i < page.blobVideoElements; ++i) {
        html += "<video muted preload=\"none\"></video><script>document.body.lastElementChild"
                ".previousElementSibling.src = URL.createObjectURL(new Blob(['clip'], "
                "{ type: 'video/mp4' }));</script>\n";
    }
    html += scrollWatcher(page);
    return html + "</body></html>\n";
}

void FacebookSimulator::addSampleAccounts()
{
    Page reels;
    reels.title = QStringLiteral("Reels Page | Facebook");
    reels.embeddedVideos = { videoAddress(QStringLiteral("reels-1")), videoAddress(QStringLiteral("reels-2")) };
    reels.textVideos = { videoAddress(QStringLiteral("reels-1")) };
    reels.elementVideos = { servedAddress(QStringLiteral("/media/reels-3.mp4")) };
    reels.thumbnails = { imageAddress(QStringLiteral("reels-1")), imageAddress(QStringLiteral("reels-2")) };
    setPage(QStringLiteral("reels.page"), Tab::reels, reels);

    Page noVideo;
    noVideo.thumbnails = { imageAddress(QStringLiteral("videos-0")) };
    setPage(QStringLiteral("videos.page"), Tab::reels, noVideo);
    Page videos;
    videos.title = QStringLiteral("Videos Page - Facebook Watch");
    videos.embeddedVideos = { videoAddress(QStringLiteral("videos-1")), instagramVideoAddress(QStringLiteral("videos-2")) };
    videos.thumbnails = { imageAddress(QStringLiteral("videos-1")) };
    setPage(QStringLiteral("videos.page"), Tab::videos, videos);

    Page empty;
    empty.title = QStringLiteral("Empty Page | Facebook");
    setPage(QStringLiteral("empty.page"), Tab::reels, empty);
    empty.thumbnails = { imageAddress(QStringLiteral("empty-1")) };
    setPage(QStringLiteral("empty.page"), Tab::videos, empty);

    Page broken;
    broken.reset = true;
    setPage(QStringLiteral("broken.page"), Tab::reels, broken);
}

QString FacebookSimulator::videoAddress(const QString &name)
{
    return QStringLiteral("https://%1/v/t42/%2.mp4?_nc_cat=1&oh=00_sim").arg(videoCdnHost, name);
}

QString FacebookSimulator::instagramVideoAddress(const QString &name)
{
    return QStringLiteral("https://%1/o1/v/%2.mp4?efg=sim").arg(instagramCdnHost, name);
}

QString FacebookSimulator::otherVideoAddress(const QString &name)
{
    return QStringLiteral("https://videos.example.invalid/%1.mp4").arg(name);
}

QString FacebookSimulator::imageAddress(const QString &name)
{
    return QStringLiteral("https://%1/v/t39/%2.jpg?stp=dst-jpg").arg(imageCdnHost, name);
}

QString FacebookSimulator::servedAddress(const QString &path) const
{
    return m_server.url(path).toString();
}
