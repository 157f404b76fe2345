#pragma once

// A local HTTP server for tests: it answers registered paths with canned or computed responses
// (or hands the socket to a raw handler that answers at its own pace), records every request it
// receives, counts the connections open at once, and listens on loopback only, on a free port.

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QSet>
#include <QUrl>

#include <functional>
#include <optional>

class TestServer : public QAbstractHttpServer
{
    Q_OBJECT
public:
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    struct Request
    {
        QByteArray method;
        QUrl url;
        Headers headers; // in the order received
        QByteArray body;

        // The first header of that name, compared case-insensitively; empty when absent.
        QByteArray header(const QByteArray &name) const;
        bool hasHeader(const QByteArray &name) const;
    };

    struct Response
    {
        int status = 200;
        QByteArray contentType = "application/json";
        QByteArray body;
        Headers headers;
        // Keep the connection open and never answer.
        bool stall = false;
        // Send the head without a length, then the body over and over, never ending it: the
        // connection stays until the client goes away (or endlessLimit bytes have gone out, so
        // that a client that never stops reading cannot fill the machine's memory).
        bool endless = false;

        static Response json(const QByteArray &body, int status = 200);
        static Response text(const QByteArray &body, int status = 200,
                             const QByteArray &contentType = "text/plain");
    };

    static constexpr qint64 endlessLimit = 64 * 1024 * 1024;

    using Handler = std::function<Response(const Request &)>;
    // Answers on the socket itself, at its own pace: headers, then a body in pieces, a stall, a
    // reset (QTcpSocket::abort()) or an early close. The socket may be kept (through a QPointer)
    // after the handler returns; the server deletes it once the client disconnects.
    using RawHandler = std::function<void(const Request &, QTcpSocket *)>;

    // 127.0.0.1 by default; 127.0.0.2 gives a second host with cookies of its own.
    explicit TestServer(const QHostAddress &address = QHostAddress::LocalHost,
                        QObject *parent = nullptr);

    // "http://127.0.0.1:<port>", without a trailing slash.
    QUrl origin() const;
    QUrl url(const QString &pathAndQuery) const;

    // Answers every request whose path is exactly `path`; a later route for the same path
    // replaces the earlier one. Unknown paths get 404.
    void route(const QString &path, Handler handler);
    void route(const QString &path, const Response &response);
    void routeRaw(const QString &path, RawHandler handler);
    // Answers every request whose path starts with `prefix` and has no route of its own.
    void routePrefix(const QString &prefix, Handler handler);

    QList<Request> requests() const { return m_requests; }
    QList<Request> requests(const QString &path) const;
    int requestCount(const QString &path) const { return int(requests(path).size()); }
    void clearRequests() { m_requests.clear(); }

    // Connections that have sent a request and are still open: now, and the most at once since
    // the server started or the last resetConnectionCount().
    int openConnections() const { return int(m_openSockets.size()); }
    int maxOpenConnections() const { return m_maxOpenConnections; }
    void resetConnectionCount() { m_maxOpenConnections = openConnections(); }

    // Endless responses, of any server of this process, that ran up to endlessLimit because
    // their client kept reading.
    static int exhaustedStreams() { return s_exhaustedStreams; }

    // Writes a complete response on a socket, or starts an endless one.
    static void writeResponse(QTcpSocket *socket, const Response &response);
    // Writes only the status line and headers; Content-Length only when `contentLength` is given.
    static void writeHead(QTcpSocket *socket, int status, const QByteArray &contentType,
                          const Headers &headers = {}, std::optional<qint64> contentLength = {});

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    static void streamForever(QTcpSocket *socket, const Response &response);

    QHostAddress m_address;
    quint16 m_port = 0;
    void track(QTcpSocket *socket);

    QHash<QString, Handler> m_routes;
    QHash<QString, RawHandler> m_rawRoutes;
    QList<std::pair<QString, Handler>> m_prefixRoutes;
    QSet<QTcpSocket *> m_openSockets;
    int m_maxOpenConnections = 0;
    QList<Request> m_requests;
    inline static int s_exhaustedStreams = 0;
};
