#pragma once

// A local HTTP server for tests: it answers registered paths with canned or computed responses,
// records every request it receives, and listens on loopback only, on a free port.

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QUrl>

#include <functional>

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

        static Response json(const QByteArray &body, int status = 200);
        static Response text(const QByteArray &body, int status = 200,
                             const QByteArray &contentType = "text/plain");
    };

    using Handler = std::function<Response(const Request &)>;

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

    QList<Request> requests() const { return m_requests; }
    QList<Request> requests(const QString &path) const;
    int requestCount(const QString &path) const { return int(requests(path).size()); }
    void clearRequests() { m_requests.clear(); }

    // Writes a complete response on a socket.
    static void writeResponse(QTcpSocket *socket, const Response &response);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    QHostAddress m_address;
    quint16 m_port = 0;
    QHash<QString, Handler> m_routes;
    QList<Request> m_requests;
};
