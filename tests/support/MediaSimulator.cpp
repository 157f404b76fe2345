#include "MediaSimulator.h"

#include "MediaFixture.h"
#include "TestServer.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

#include <sys/socket.h>

namespace {

constexpr qsizetype slowPiece = 16 * 1024;
constexpr int slowIntervalMs = 20;
constexpr qsizetype chunkedPiece = 64 * 1024;

qsizetype requestedSize(const TestServer::Request &request)
{
    bool ok = false;
    const qsizetype size =
            QUrlQuery(request.url).queryItemValue(QStringLiteral("size")).toLongLong(&ok);
    return ok && size >= 0 ? size : MediaSimulator::defaultSize;
}

TestServer::Handler fileOfType(const QByteArray &contentType)
{
    return [contentType](const TestServer::Request &request) {
        return TestServer::Response::text(MediaSimulator::content(requestedSize(request)), 200,
                                          contentType);
    };
}

// Runs `then` once everything written so far has left for the kernel.
void whenWritten(QTcpSocket *socket, std::function<void()> then)
{
    if (socket->bytesToWrite() == 0) {
        then();
        return;
    }
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(socket, &QTcpSocket::bytesWritten, socket,
                                   [socket, then, connection] {
        if (socket->bytesToWrite() > 0)
            return;
        QObject::disconnect(*connection);
        then();
    });
}

// Closes with a reset rather than an orderly end: lingering for zero seconds makes the kernel
// send RST.
void reset(QTcpSocket *socket)
{
    const linger immediately{ 1, 0 };
    ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &immediately,
                 sizeof immediately);
    socket->abort();
}

void writeChunked(QTcpSocket *socket, const QByteArray &body)
{
    TestServer::writeHead(socket, 200, "video/mp4", { { "Transfer-Encoding", "chunked" } });
    for (qsizetype at = 0; at < body.size(); at += chunkedPiece) {
        const QByteArray piece = body.mid(at, chunkedPiece);
        socket->write(QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n");
    }
    socket->write("0\r\n\r\n");
}

} // namespace

MediaSimulator::MediaSimulator(TestServer &server, QObject *parent)
    : QObject(parent), m_server(server)
{
    server.route(QStringLiteral("/media/video.mp4"), fileOfType("video/mp4"));
    server.route(QStringLiteral("/media/audio.m4a"), fileOfType("audio/mp4"));
    server.route(QStringLiteral("/media/file.bin"), fileOfType("application/octet-stream"));
    server.route(QStringLiteral("/media/untyped.mp4"), fileOfType({})); // no header is written
    server.route(QStringLiteral("/media/page.html"), TestServer::Response::text(
            "<!doctype html><html><body>Log in to continue</body></html>", 200,
            "text/html; charset=utf-8"));
    server.route(QStringLiteral("/media/data.json"),
                 TestServer::Response::json(R"({"status":"fail","message":"login_required"})"));
    server.route(QStringLiteral("/media/moved.mp4"), [](const TestServer::Request &request) {
        TestServer::Response response = TestServer::Response::text({}, 302, "text/plain");
        response.headers = { { "Location", "/media/video.mp4?size="
                                                   + QByteArray::number(requestedSize(request)) } };
        return response;
    });
    server.route(QStringLiteral("/media/redirect.mp4"), [](const TestServer::Request &request) {
        const QUrlQuery query(request.url);
        TestServer::Response response = TestServer::Response::text({}, 302, "text/plain");
        response.headers = { { "Location", query.hasQueryItem(QStringLiteral("to"))
                                                   ? query.queryItemValue(QStringLiteral("to"),
                                                                          QUrl::FullyDecoded)
                                                             .toUtf8()
                                                   : request.url.toEncoded() } };
        return response;
    });
    server.route(QStringLiteral("/media/chain.mp4"), [](const TestServer::Request &request) {
        const int hops = QUrlQuery(request.url).queryItemValue(QStringLiteral("hops")).toInt();
        const QByteArray size = "size=" + QByteArray::number(requestedSize(request));
        TestServer::Response response = TestServer::Response::text({}, 302, "text/plain");
        response.headers = { { "Location", hops > 0 ? "/media/chain.mp4?" + size + "&hops="
                                                            + QByteArray::number(hops - 1)
                                                    : "/media/video.mp4?" + size } };
        return response;
    });
    server.route(QStringLiteral("/media/encoded.mp4"), [](const TestServer::Request &request) {
        TestServer::Response response = TestServer::Response::text(
                content(requestedSize(request)), 200, "video/mp4");
        response.headers = { { "Content-Encoding", "gzip" } };
        return response;
    });
    server.route(QStringLiteral("/media/missing.mp4"),
                 TestServer::Response::text(notFoundPage(), 404, "text/html; charset=utf-8"));
    server.route(QStringLiteral("/media/broken.mp4"), TestServer::Response::text({}, 500, {}));
    // Made when first asked for: encoding takes a moment that most tests need not spend.
    server.route(QStringLiteral("/media/clip.mp4"), [](const TestServer::Request &) {
        return TestServer::Response::text(MediaFixture::mp4(), 200, "video/mp4");
    });
    server.route(QStringLiteral("/media/mute.mp4"), [](const TestServer::Request &) {
        return TestServer::Response::text(MediaFixture::mp4({ .sound = false }), 200,
                                          "video/mp4");
    });

    server.routeRaw(QStringLiteral("/media/unsized.mp4"),
                    [](const TestServer::Request &request, QTcpSocket *socket) {
        writeChunked(socket, content(requestedSize(request)));
    });
    server.routeRaw(QStringLiteral("/media/slow.mp4"),
                    [this](const TestServer::Request &request, QTcpSocket *socket) {
        serveSlowly(socket, requestedSize(request));
    });
    server.routeRaw(QStringLiteral("/media/stalled.mp4"),
                    [](const TestServer::Request &request, QTcpSocket *socket) {
        const qsizetype size = requestedSize(request);
        TestServer::writeHead(socket, 200, "video/mp4", {}, size);
        socket->write(content(size).left(size / 4));
    });
    server.routeRaw(QStringLiteral("/media/reset.mp4"),
                    [](const TestServer::Request &request, QTcpSocket *socket) {
        const qsizetype size = requestedSize(request);
        TestServer::writeHead(socket, 200, "video/mp4", {}, size);
        socket->write(content(size).left(size / 2));
        whenWritten(socket, [socket] { reset(socket); });
    });
    server.routeRaw(QStringLiteral("/media/short.mp4"),
                    [](const TestServer::Request &request, QTcpSocket *socket) {
        const qsizetype size = requestedSize(request);
        TestServer::writeHead(socket, 200, "video/mp4", {}, size);
        socket->write(content(size).left(size / 2));
        socket->disconnectFromHost(); // after what is pending has been written
    });
    server.routeRaw(QStringLiteral("/media/gated.mp4"),
                    [this](const TestServer::Request &request, QTcpSocket *socket) {
        serveGated(socket, requestedSize(request));
    });
}

QUrl MediaSimulator::url(const QString &file, qsizetype size, const QString &tag) const
{
    QString query = QStringLiteral("?size=%1").arg(size);
    if (!tag.isEmpty())
        query += u'&' + tag;
    return m_server.url(QStringLiteral("/media/") + file + query);
}

QByteArray MediaSimulator::content(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = 2463534242u;
    for (qsizetype i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes[i] = char(state & 0xff);
    }
    return bytes;
}

QByteArray MediaSimulator::notFoundPage()
{
    return "<!DOCTYPE html>\r\n"
           "<html lang=\"en\">\n"
           "  <head><title>Page not found</title></head>\n"
           "  <body>\n"
           "\t<h1>Sorry, this page isn't available.</h1>\n"
           "\t<p>The link you followed may be broken, or the page may have been removed.</p>\n"
           "  </body>\n"
           "</html>\n";
}

int MediaSimulator::waitingAtGate() const
{
    int count = 0;
    for (const Waiting &waiting : m_waiting) {
        if (waiting.socket && waiting.socket->state() == QAbstractSocket::ConnectedState)
            ++count;
    }
    return count;
}

void MediaSimulator::openGate()
{
    m_gateOpen = true;
    for (const Waiting &waiting : std::exchange(m_waiting, {})) {
        if (waiting.socket)
            waiting.socket->write(content(waiting.size));
    }
}

void MediaSimulator::serveGated(QTcpSocket *socket, qsizetype size)
{
    TestServer::writeHead(socket, 200, "video/mp4", {}, size);
    if (m_gateOpen)
        socket->write(content(size));
    else
        m_waiting.append({ socket, size });
}

void MediaSimulator::serveSlowly(QTcpSocket *socket, qsizetype size)
{
    TestServer::writeHead(socket, 200, "video/mp4", {}, size);
    // The timer belongs to the socket, so a client that goes away stops it.
    auto *timer = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    const QByteArray body = content(size);
    connect(timer, &QTimer::timeout, socket, [socket, timer, sent, body] {
        socket->write(body.mid(*sent, slowPiece));
        *sent += slowPiece;
        if (*sent >= body.size()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(slowIntervalMs);
}
