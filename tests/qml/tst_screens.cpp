// Runs QML tests (the screens' tests, and the gallery that renders them) against the real C++
// objects, with the platforms' login pages and the update manifest served from loopback and the
// desktop's URL opener intercepted.

#include "auth/BrowserStore.h"
#include "browsing/ContentView.h"
#include "LoginPages.h"
#include "ProfileFixture.h"
#include "MediaSimulator.h"
#include "TestEnvironment.h"
#include "TestServer.h"

#include <QBuffer>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkCookie>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExtensionPlugin>
#include <QRawFont>
#include <QTemporaryDir>
#include <QtQuickTest>
#include <QtWebEngineQuick>
#include <QWebEnginePage>

#include <memory>

Q_IMPORT_QML_PLUGIN(ClipDockPlugin)

// What the QML tests reach beyond the screens: fresh object graphs and the local servers.
class Harness : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QStringList openedUrls READ openedUrls NOTIFY openedUrlsChanged)
    // Where the gallery saves its pictures.
    Q_PROPERTY(QString galleryDir READ galleryDir CONSTANT)

public:
    Harness()
    {
        LoginPages::attach(m_instagram, SocialPlatform::instagram);
        LoginPages::attach(m_facebook, SocialPlatform::facebook);
        TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", m_instagram.origin() },
                                      { "CLIPDOCK_FACEBOOK_ORIGIN", m_facebook.origin() },
                                      { "CLIPDOCK_UPDATE_ORIGIN", m_updates.origin() } });
        // The browser reports cookie changes only while its profile has a page.
        m_page = new QWebEnginePage(BrowserStore::profile(), this);
        m_page->load(QUrl(QStringLiteral("about:blank")));
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
        // Files and folders handed to the desktop are recorded too, never opened.
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
        TestServer::Response never;
        never.stall = true;
        m_media.route(QStringLiteral("/silent.mp4"), never);
        // The demo profiles' sample videos, served here so a demo download completes offline.
        for (const char *prefix : { "/mp4/", "/html/", "/gtv-videos-bucket/" })
            m_media.routePrefix(QString::fromLatin1(prefix), [](const TestServer::Request &) {
                return TestServer::Response::text(MediaSimulator::content(sampleSize), 200, "video/mp4");
            });
        // And their pictures, all one plain square.
        QByteArray picture;
        QBuffer buffer(&picture);
        buffer.open(QIODevice::WriteOnly);
        QImage square(8, 8, QImage::Format_RGB32);
        square.fill(Qt::darkCyan);
        square.save(&buffer, "PNG");
        m_media.routePrefix(QStringLiteral("/seed/"), [picture](const TestServer::Request &) {
            return TestServer::Response::text(picture, 200, "image/png");
        });
        TestEnvironment::setOrigins({ { "CLIPDOCK_SAMPLE_MEDIA_ORIGIN", m_media.origin() },
                                      { "CLIPDOCK_PLACEHOLDER_ORIGIN", m_media.origin() } });
    }

    ~Harness() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    // A whole new set of the window's objects; kept until the run ends.
    Q_INVOKABLE ContentView *newRoot() { return new ContentView(this); }
    // A view model with a made-up profile the test delivers, and a download queue beside it.
    Q_INVOKABLE ProfileFixture *newProfileFixture() { return new ProfileFixture(this); }

    // The manifest announces `version`; `notes` undefined leaves the notes out.
    Q_INVOKABLE void serveManifest(const QString &version, const QVariant &notes = {})
    {
        QJsonObject manifest{ { "latest_version", version },
                              { "download_url", "https://updates.invalid/clipdock-" + version } };
        if (notes.isValid() && !notes.isNull())
            manifest.insert("release_notes", notes.toString());
        m_updates.route(manifestPath(), TestServer::Response::json(QJsonDocument(manifest).toJson()));
    }
    Q_INVOKABLE void failManifest(int status)
    {
        m_updates.route(manifestPath(), TestServer::Response::json("{}", status));
    }
    Q_INVOKABLE void stallManifest()
    {
        TestServer::Response never;
        never.stall = true;
        m_updates.route(manifestPath(), never);
    }

    // Leaves the platform's session cookies in the browser, as its login page would.
    Q_INVOKABLE void signInBrowser(const QString &platform)
    {
        const bool facebook = platform == QLatin1String("facebook");
        const QUrl origin = facebook ? m_facebook.origin() : m_instagram.origin();
        const QList<QByteArray> names = facebook ? QList<QByteArray>{ "c_user", "xs" }
                                                 : QList<QByteArray>{ "sessionid" };
        for (const QByteArray &name : names) {
            QNetworkCookie cookie(name, "value-" + name);
            cookie.setPath(QStringLiteral("/"));
            cookie.setExpirationDate(QDateTime::currentDateTime().addDays(1));
            BrowserStore::instance()->setCookie(cookie, origin);
        }
    }

    Q_INVOKABLE void setClipboard(const QString &text) { QGuiApplication::clipboard()->setText(text); }

    Q_INVOKABLE QUrl newFolder(const QString &name)
    {
        QDir(m_folders.path()).mkpath(name);
        return QUrl::fromLocalFile(m_folders.filePath(name));
    }
    // Takes a folder (or the file in its place) away, as the user might while the app runs;
    // `file` leaves a file in its place.
    Q_INVOKABLE void removeFolder(const QUrl &folder, bool file = false)
    {
        if (QFileInfo(folder.toLocalFile()).isDir())
            QDir(folder.toLocalFile()).removeRecursively();
        else
            QFile::remove(folder.toLocalFile());
        if (file) {
            QFile blocker(folder.toLocalFile());
            blocker.open(QIODevice::WriteOnly);
        }
    }
    Q_INVOKABLE bool isFolder(const QUrl &folder) const { return QFileInfo(folder.toLocalFile()).isDir(); }

    // Whether the bundled icon font draws this character.
    Q_INVOKABLE bool iconFontHas(const QString &glyph) const
    {
        static const QRawFont font(QStringLiteral(":/qt/qml/ClipDock/fonts/MaterialIcons-Regular.ttf"), 16);
        return font.isValid() && glyph.size() == 1 && font.supportsCharacter(glyph.at(0));
    }

    QString galleryDir() const
    {
#ifdef GALLERY_DIR
        QDir().mkpath(QStringLiteral(GALLERY_DIR));
        return QStringLiteral(GALLERY_DIR);
#else
        return {};
#endif
    }

    // A reel whose one variant is a file of the local media server ("video.mp4", "gated.mp4",
    // "missing.mp4"...; see MediaSimulator), made unique by its id.
    Q_INVOKABLE QVariant mediaReel(const QString &id, const QString &file, qint64 viewCount = 0,
                                   qint64 likeCount = 0, qint64 durationSeconds = 65,
                                   const QUrl &thumbnailURL = {}) const
    {
        Reel reel;
        reel.id = id;
        reel.variants.insert(VideoQuality::hd720,
                             m_mediaFiles.url(file, MediaSimulator::defaultSize, "id=" + id));
        reel.viewCount = viewCount;
        reel.likeCount = likeCount;
        reel.durationSeconds = durationSeconds;
        reel.thumbnailURL = thumbnailURL;
        reel.postedAt = QDateTime::currentDateTime();
        return QVariant::fromValue(reel);
    }
    // A reel whose address never answers: a player of it waits, playing, for as long as it is
    // left to.
    Q_INVOKABLE QVariant silentReel(const QString &id, qint64 viewCount, qint64 likeCount,
                                    qint64 durationSeconds, const QUrl &thumbnailURL = {}) const
    {
        Reel reel = mediaReel(id, {}, viewCount, likeCount, durationSeconds, thumbnailURL)
                            .value<Reel>();
        reel.variants.insert(VideoQuality::hd720, m_media.url("/silent.mp4?id=" + id));
        return QVariant::fromValue(reel);
    }
    Q_INVOKABLE void openMediaGate() { m_mediaFiles.openGate(); }
    // The size of a local file, or -1 when there is none.
    Q_INVOKABLE qint64 fileSize(const QUrl &file) const
    {
        const QFileInfo info(file.toLocalFile());
        return info.isFile() ? info.size() : -1;
    }
    Q_INVOKABLE qint64 mediaSize() const { return MediaSimulator::defaultSize; }
    // The size of every demo sample video.
    static constexpr qsizetype sampleSize = 64 * 1024;
    Q_INVOKABLE qint64 sampleMediaSize() const { return sampleSize; }

    QStringList openedUrls() const { return m_opened; }
    Q_INVOKABLE void forgetOpenedUrls() { m_opened.clear(); emit openedUrlsChanged(); }

public slots:
    void openUrl(const QUrl &url)
    {
        m_opened.append(url.toString());
        emit openedUrlsChanged();
    }

signals:
    void openedUrlsChanged();

private:
    static QString manifestPath() { return QStringLiteral("/apps/clip-dock/manifest.json"); }

    TestServer m_instagram{ QHostAddress(QStringLiteral("127.0.0.1")) };
    TestServer m_facebook{ QHostAddress(QStringLiteral("127.0.0.2")) };
    TestServer m_updates;
    TestServer m_media;
    MediaSimulator m_mediaFiles{ m_media };
    QTemporaryDir m_folders;
    QStringList m_opened;
    QWebEnginePage *m_page;
};

class Setup : public QObject
{
    Q_OBJECT
public:
    // Runs before the application object exists, which the browser engine requires.
    Setup() { QtWebEngineQuick::initialize(); }

public slots:
    void applicationAvailable()
    {
        m_environment = std::make_unique<TestEnvironment>();
        QCoreApplication::setApplicationVersion(QStringLiteral("2.0.3"));
        m_harness = std::make_unique<Harness>();
    }
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
        engine->rootContext()->setContextProperty(QStringLiteral("harness"), m_harness.get());
    }
    void cleanupTestCase() { m_harness.reset(); }

private:
    std::unique_ptr<TestEnvironment> m_environment;
    std::unique_ptr<Harness> m_harness;
};

QUICK_TEST_MAIN_WITH_SETUP(clipdock_qml, Setup)

#include "tst_screens.moc"
