#include "TestServer.h"

#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QMetaEnum>
#include <QPointer>
#include <QTcpSocket>

#include <algorithm>

namespace {

QByteArray reasonPhrase(int status)
{
    const auto meta = QMetaEnum::fromType<QHttpServerResponder::StatusCode>();
    const char *key = meta.valueToKey(status);
    return key ? QByteArray(key) : QByteArray("Status");
}

QByteArray methodName(QHttpServerRequest::Method method)
{
    const auto meta = QMetaEnum::fromType<QHttpServerRequest::Method>();
    const char *key = meta.valueToKey(int(method));
    return key ? QByteArray(key).toUpper() : QByteArray("UNKNOWN");
}

} // namespace

QByteArray TestServer::Request::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool TestServer::Request::hasHeader(const QByteArray &name) const
{
    for (const auto &header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

TestServer::Response TestServer::Response::json(const QByteArray &body, int status)
{
    Response response;
    response.status = status;
    response.body = body;
    return response;
}

TestServer::Response TestServer::Response::text(const QByteArray &body, int status,
                                                const QByteArray &contentType)
{
    Response response;
    response.status = status;
    response.body = body;
    response.contentType = contentType;
    return response;
}

TestServer::TestServer(const QHostAddress &address, QObject *parent)
    : QAbstractHttpServer(parent), m_address(address)
{
    m_port = listen(address, 0);
    if (m_port == 0)
        qFatal("TestServer: cannot listen on %s", qPrintable(address.toString()));
}

QUrl TestServer::origin() const
{
    return QUrl(QStringLiteral("http://%1:%2").arg(m_address.toString()).arg(m_port));
}

QUrl TestServer::url(const QString &pathAndQuery) const
{
    return QUrl(origin().toString() + pathAndQuery);
}

void TestServer::route(const QString &path, Handler handler)
{
    m_routes.insert(path, std::move(handler));
}

void TestServer::route(const QString &path, const Response &response)
{
    route(path, [response](const Request &) { return response; });
}

void TestServer::routeRaw(const QString &path, RawHandler handler)
{
    m_rawRoutes.insert(path, std::move(handler));
}

QList<TestServer::Request> TestServer::requests(const QString &path) const
{
    QList<Request> matching;
    for (const Request &request : m_requests) {
        if (request.url.path() == path)
            matching.append(request);
    }
    return matching;
}

void TestServer::writeResponse(QTcpSocket *socket, const Response &response)
{
    if (response.endless) {
        streamForever(socket, response);
        return;
    }
    writeHead(socket, response.status, response.contentType, response.headers,
              response.body.size());
    socket->write(response.body);
}

void TestServer::writeHead(QTcpSocket *socket, int status, const QByteArray &contentType,
                           const Headers &headers, std::optional<qint64> contentLength)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status)
            + "\r\n";
    if (!contentType.isEmpty())
        head += "Content-Type: " + contentType + "\r\n";
    for (const auto &[name, value] : headers)
        head += name + ": " + value + "\r\n";
    if (contentLength)
        head += "Content-Length: " + QByteArray::number(*contentLength) + "\r\n";
    head += "\r\n";
    socket->write(head);
}

void TestServer::track(QTcpSocket *socket)
{
    if (m_openSockets.contains(socket))
        return;
    m_openSockets.insert(socket);
    m_maxOpenConnections = std::max(m_maxOpenConnections, openConnections());
    const auto forget = [this, socket] { m_openSockets.remove(socket); };
    connect(socket, &QAbstractSocket::disconnected, this, forget);
    connect(socket, &QObject::destroyed, this, forget);
}

void TestServer::routePrefix(const QString &prefix, Handler handler)
{
    m_prefixRoutes.append({ prefix, std::move(handler) });
}

bool TestServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    Request recorded{ methodName(request.method()), request.url(), request.headers(), request.body() };
    m_requests.append(recorded);
    track(socket);

    const auto raw = m_rawRoutes.constFind(request.url().path());
    if (raw != m_rawRoutes.constEnd()) {
        (*raw)(recorded, socket);
        return true;
    }
    Handler handler = m_routes.value(request.url().path());
    for (auto it = m_prefixRoutes.cbegin(); !handler && it != m_prefixRoutes.cend(); ++it) {
        if (request.url().path().startsWith(it->first))
            handler = it->second;
    }
    if (!handler)
        return false;
    const Response response = handler(recorded);
    if (!response.stall)
        writeResponse(socket, response);
    return true;
}

void TestServer::streamForever(QTcpSocket *socket, const Response &response)
{
    // Without a length the body ends only when the connection does.
    writeHead(socket, response.status, response.contentType, response.headers);
    const QByteArray body = response.body.isEmpty() ? QByteArray(" ") : response.body;
    const QByteArray piece = body.repeated(std::max<qsizetype>(1, 64 * 1024 / body.size()));
    auto sent = std::make_shared<qint64>(0);
    const auto more = [socket = QPointer<QTcpSocket>(socket), piece, sent] {
        // A little ahead of the kernel at a time, so the writes follow the reader's pace.
        while (socket && socket->state() == QAbstractSocket::ConnectedState
               && socket->bytesToWrite() < 1024 * 1024 && *sent < endlessLimit) {
            if (socket->write(piece) < 0)
                return;
            *sent += piece.size();
        }
        if (socket && socket->state() == QAbstractSocket::ConnectedState
            && *sent >= endlessLimit) {
            ++s_exhaustedStreams;
            socket->disconnectFromHost();
        }
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, more);
    more();
}

void TestServer::missingHandler(const QHttpServerRequest &, QTcpSocket *socket)
{
    writeResponse(socket, Response::text("no route\n", 404));
}
