#pragma once

// Facebook's account pages, played on a TestServer: for tests, and for running the app by hand.
//
// Put it on a server at 127.0.0.2, so that Facebook keeps its cookies apart from Instagram's on
// 127.0.0.1, and point the app at it:
//
//     TestServer server{ QHostAddress(QStringLiteral("127.0.0.2")) };
//     FacebookSimulator facebook(server);
//     facebook.pointAppAtIt();
//     FacebookSimulator::Page page;
//     page.title = QStringLiteral("Nasa | Facebook");
//     page.embeddedVideos = { FacebookSimulator::videoAddress(QStringLiteral("launch")) };
//     facebook.setPage(QStringLiteral("nasa"), FacebookSimulator::Tab::reels, page);
//
// Addresses on a page are written the ways the platform writes them: inside the page's JSON data
// with escaped slashes and ampersands, as plain text, as video elements, or revealed one at a time
// as the page is scrolled to its bottom. The "https" CDN addresses are only found, never served.
//
// Every page tells the server each time it is scrolled to its bottom (scrollsSeen()), then goes
// back to the top, so that each scroll is seen even once the page has stopped growing.

#include "TestServer.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

class FacebookSimulator
{
public:
    enum class Tab { reels, videos };

    struct Page
    {
        QString title;              // the document title as written; no <title> when empty
        QStringList embeddedVideos; // in the JSON data: "https:\/\/..." with "\u0026" for "&"
        QStringList textVideos;     // as plain text in the body
        QStringList elementVideos;  // as <video src="...">
        int blobVideoElements = 0;  // video elements playing a page-local blob: address
        QStringList thumbnails;     // in the JSON data, slashes written as "\u002F"
        QStringList lazyVideos;     // each scroll to the bottom reveals the next, in JSON data
        int revealHeight = 2000;    // the page grows by this much with each lazy video revealed
        bool endless = false;       // every scroll to the bottom grows the page, lazy videos left or not
        int status = 200;           // the page's content comes with this status whatever it is
        bool stall = false;         // the page never answers
        bool reset = false;         // the connection is dropped unanswered; stays so for the path
    };

    explicit FacebookSimulator(TestServer &server);

    // Points the app's Facebook origin at the server and its three CDN markers at the hosts of
    // videoAddress(), instagramVideoAddress() and imageAddress(), then reloads the configuration.
    void pointAppAtIt() const;

    // Serves `page` at "/<handle>/reels" or "/<handle>/videos"; a later page replaces it.
    void setPage(const QString &handle, Tab tab, const Page &page);
    static QString path(const QString &handle, Tab tab);
    QUrl url(const QString &handle, Tab tab) const;
    // The requests the server received for that page, in order.
    QList<TestServer::Request> requests(const QString &handle, Tab tab) const;
    // How many times that page has been scrolled to its bottom.
    int scrollsSeen(const QString &handle, Tab tab) const;

    // Accounts ready to browse:
    //   "reels.page"  /reels: title "Reels Page | Facebook", three videos (the first written both
    //                 escaped and plainly, one a video element), two thumbnails.
    //   "videos.page" /reels: no title, no video, one thumbnail; /videos: title
    //                 "Videos Page - Facebook Watch", two videos, one thumbnail.
    //   "empty.page"  /reels and /videos: title "Empty Page | Facebook", no video; /videos has one
    //                 thumbnail.
    //   "broken.page" /reels drops the connection unanswered.
    void addSampleAccounts();

    // An MP4 address on the simulated Facebook video CDN, with a query.
    static QString videoAddress(const QString &name);
    // An MP4 address on the simulated Instagram CDN.
    static QString instagramVideoAddress(const QString &name);
    // An MP4 address on a host no marker names.
    static QString otherVideoAddress(const QString &name);
    // A JPEG address on the simulated image CDN.
    static QString imageAddress(const QString &name);
    // An address the server itself answers (a video element's source; not served unless routed).
    QString servedAddress(const QString &path) const;

    static QByteArray html(const Page &page);

private:
    TestServer &m_server;
};

Q_DECLARE_METATYPE(FacebookSimulator::Page)
