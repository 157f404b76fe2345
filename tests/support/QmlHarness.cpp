#include "QmlHarness.h"

#include "auth/BrowserStore.h"
#include "browsing/ContentView.h"
#include "LoginPages.h"
#include "ProfileFixture.h"
#include "TestEnvironment.h"

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
#include <QRawFont>
#include <QWebEnginePage>
#include <QtWebEngineQuick>

namespace {

const QString manifestPath = QStringLiteral("/apps/clip-dock/manifest.json");

TestServer::Response never()
{
    TestServer::Response response;
    response.stall = true;
    return response;
}

} // namespace

Harness::Harness(const QString &galleryDir) : m_galleryDir(galleryDir)
{
    LoginPages::attach(m_instagram, SocialPlatform::instagram);
    LoginPages::attach(m_facebook, SocialPlatform::facebook);
    // The browser reports cookie changes only while its profile has a page.
    m_page = new QWebEnginePage(BrowserStore::profile(), this);
    m_page->load(QUrl(QStringLiteral("about:blank")));
    for (const char *scheme : { "http", "https", "file" })
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "openUrl");
    m_media.route(QStringLiteral("/silent.mp4"), never());
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
    TestEnvironment::setOrigins({ { "CLIPDOCK_INSTAGRAM_ORIGIN", m_instagram.origin() },
                                  { "CLIPDOCK_FACEBOOK_ORIGIN", m_facebook.origin() },
                                  { "CLIPDOCK_UPDATE_ORIGIN", m_updates.origin() },
                                  { "CLIPDOCK_SAMPLE_MEDIA_ORIGIN", m_media.origin() },
                                  { "CLIPDOCK_PLACEHOLDER_ORIGIN", m_media.origin() } });
}

Harness::~Harness()
{
    for (const char *scheme : { "http", "https", "file" })
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

ContentView *Harness::newRoot()
{
    return new ContentView(this);
}

ProfileFixture *Harness::newProfileFixture()
{
    return new ProfileFixture(this);
}

void Harness::serveManifest(const QString &version, const QVariant &notes)
{
    QJsonObject manifest{ { "latest_version", version },
                          { "download_url", "https://updates.invalid/clipdock-" + version } };
    if (notes.isValid() && !notes.isNull())
        manifest.insert("release_notes", notes.toString());
    m_updates.route(manifestPath, TestServer::Response::json(QJsonDocument(manifest).toJson()));
}

void Harness::failManifest(int status)
{
    m_updates.route(manifestPath, TestServer::Response::json("{}", status));
}

void Harness::stallManifest()
{
    m_updates.route(manifestPath, never());
}

void Harness::signInBrowser(const QString &platform)
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

void Harness::setClipboard(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

QUrl Harness::newFolder(const QString &name)
{
    QDir(m_folders.path()).mkpath(name);
    return QUrl::fromLocalFile(m_folders.filePath(name));
}

void Harness::removeFolder(const QUrl &folder, bool file)
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

bool Harness::isFolder(const QUrl &folder) const
{
    return QFileInfo(folder.toLocalFile()).isDir();
}

bool Harness::iconFontHas(const QString &glyph) const
{
    static const QRawFont font(QStringLiteral(":/qt/qml/ClipDock/fonts/MaterialIcons-Regular.ttf"), 16);
    return font.isValid() && glyph.size() == 1 && font.supportsCharacter(glyph.at(0));
}

QVariant Harness::mediaReel(const QString &id, const QString &file, qint64 viewCount,
                            qint64 likeCount, qint64 durationSeconds, const QUrl &thumbnailURL) const
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

QVariant Harness::silentReel(const QString &id, qint64 viewCount, qint64 likeCount,
                             qint64 durationSeconds, const QUrl &thumbnailURL) const
{
    Reel reel = mediaReel(id, {}, viewCount, likeCount, durationSeconds, thumbnailURL).value<Reel>();
    reel.variants.insert(VideoQuality::hd720, m_media.url("/silent.mp4?id=" + id));
    return QVariant::fromValue(reel);
}

qint64 Harness::fileSize(const QUrl &file) const
{
    const QFileInfo info(file.toLocalFile());
    return info.isFile() ? info.size() : -1;
}

QString Harness::galleryDir() const
{
    if (!m_galleryDir.isEmpty())
        QDir().mkpath(m_galleryDir);
    return m_galleryDir;
}

void Harness::forgetOpenedUrls()
{
    m_opened.clear();
    Q_EMIT openedUrlsChanged();
}

void Harness::openUrl(const QUrl &url)
{
    m_opened.append(url.toString());
    Q_EMIT openedUrlsChanged();
}

QmlTestSetup::QmlTestSetup(const QString &galleryDir) : m_galleryDir(galleryDir)
{
    // Before the application object exists, which the browser engine requires.
    QtWebEngineQuick::initialize();
}

QmlTestSetup::~QmlTestSetup() = default;

void QmlTestSetup::applicationAvailable()
{
    m_environment = std::make_unique<TestEnvironment>();
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0.3"));
    m_harness = std::make_unique<Harness>(m_galleryDir);
}

void QmlTestSetup::qmlEngineAvailable(QQmlEngine *engine)
{
    engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
    engine->rootContext()->setContextProperty(QStringLiteral("harness"), m_harness.get());
}

void QmlTestSetup::cleanupTestCase()
{
    m_harness.reset();
}
