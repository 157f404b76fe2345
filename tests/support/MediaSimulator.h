#pragma once

// Media files as a platform's content servers hand them out, with every fault a transfer can
// meet. Attach it to a TestServer; each fault has a path of its own under "/media/". Every path
// takes "?size=N" for the length of its body (default 256 KiB); any other query item (say
// "&n=3") is ignored, so tests can give each reel an address of its own. Bodies are
// content(size), so a test can compare what was saved byte for byte.
//
//   video.mp4     200 video/mp4 with Content-Length
//   unsized.mp4   200 video/mp4, chunked, no Content-Length
//   audio.m4a     200 audio/mp4
//   file.bin      200 application/octet-stream
//   untyped.mp4   200 with no Content-Type header at all
//   page.html     200 text/html (a login page where a video was expected)
//   data.json     200 application/json
//   moved.mp4     302 to video.mp4 (same size)
//   redirect.mp4  302 to the address in "to" (percent-encoded, any scheme, any host); without
//                 "to", to itself
//   chain.mp4     "hops=N": 302 to chain.mp4 with N-1, a new address each time; at 0 to
//                 video.mp4 (same size)
//   encoded.mp4   200 video/mp4 with Content-Encoding: gzip (the body itself is not compressed)
//   slow.mp4      200 video/mp4 with Content-Length, 16 KiB every 20 ms
//   stalled.mp4   200 with Content-Length, a quarter of the body, then silence with the
//                 connection left open
//   reset.mp4     200 with Content-Length, half the body, then a reset (RST)
//   short.mp4     200 with Content-Length, half the body, then an orderly close
//   gated.mp4     200 with Content-Length, the headers at once and the body only once the gate
//                 is open (openGate()); lets a test hold any number of transfers in flight
//   missing.mp4   404 text/html with the multi-line page notFoundPage() (CRLF after its
//                 first line, LF after the others)
//   broken.mp4    500 with an empty body
//   clip.mp4      200 video/mp4, a real MP4 with sound and picture: MediaFixture::mp4() (takes
//                 no size)
//   mute.mp4      200 video/mp4, a real MP4 with a picture and no sound: MediaFixture::mp4()
//                 with `sound` off (takes no size)

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QTcpSocket;
class TestServer;

class MediaSimulator : public QObject
{
    Q_OBJECT
public:
    static constexpr qsizetype defaultSize = 256 * 1024;

    // Registers every path on `server`, which must outlive the simulator.
    explicit MediaSimulator(TestServer &server, QObject *parent = nullptr);

    // The address of `file` ("video.mp4") with `size` bytes; `tag` makes it unique ("n=3").
    QUrl url(const QString &file, qsizetype size = defaultSize, const QString &tag = {}) const;

    // The body every path serves for `size` bytes: not text, not constant, the same every time.
    static QByteArray content(qsizetype size);
    // The body of missing.mp4.
    static QByteArray notFoundPage();

    // Transfers waiting at gated.mp4 for their body, and the gate itself (closed at first).
    int waitingAtGate() const;
    void openGate();

private:
    void serveGated(QTcpSocket *socket, qsizetype size);
    void serveSlowly(QTcpSocket *socket, qsizetype size);

    TestServer &m_server;
    bool m_gateOpen = false;
    struct Waiting
    {
        QPointer<QTcpSocket> socket;
        qsizetype size;
    };
    QList<Waiting> m_waiting;
};
