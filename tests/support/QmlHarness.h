#pragma once

// What the screens' QML tests and the gallery reach beyond the screens, as `harness`: fresh
// object graphs, the platforms' login pages and the update manifest served from loopback, a media
// server (see MediaSimulator) and the demo profiles' samples, folders to choose, and the desktop's
// URL opener intercepted. Made once the application exists; every origin points here.

#include "MediaSimulator.h"
#include "TestServer.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariant>

#include <memory>

class ContentView;
class ProfileFixture;
class QQmlEngine;
class QWebEnginePage;
class TestEnvironment;

class Harness : public QObject
{
    Q_OBJECT
    // Every address handed to the desktop (web pages, files, folders), never opened.
    Q_PROPERTY(QStringList openedUrls READ openedUrls NOTIFY openedUrlsChanged)
    // Where the gallery saves its pictures; empty outside the gallery.
    Q_PROPERTY(QString galleryDir READ galleryDir CONSTANT)

public:
    explicit Harness(const QString &galleryDir = {});
    ~Harness() override;

    // A whole new set of the window's objects; kept until the run ends.
    Q_INVOKABLE ContentView *newRoot();
    // A view model with a made-up profile the test delivers, and a download queue beside it.
    Q_INVOKABLE ProfileFixture *newProfileFixture();

    // The manifest announces `version`; `notes` undefined leaves the notes out.
    Q_INVOKABLE void serveManifest(const QString &version, const QVariant &notes = {});
    Q_INVOKABLE void failManifest(int status);
    Q_INVOKABLE void stallManifest();

    // Leaves the platform's session cookies in the browser, as its login page would.
    Q_INVOKABLE void signInBrowser(const QString &platform);
    Q_INVOKABLE void setClipboard(const QString &text);

    Q_INVOKABLE QUrl newFolder(const QString &name);
    // Takes a folder (or the file in its place) away, as the user might while the app runs;
    // `file` leaves a file in its place.
    Q_INVOKABLE void removeFolder(const QUrl &folder, bool file = false);
    Q_INVOKABLE bool isFolder(const QUrl &folder) const;

    // Whether the bundled icon font draws this character.
    Q_INVOKABLE bool iconFontHas(const QString &glyph) const;

    // A reel whose one variant is a file of the local media server ("video.mp4", "gated.mp4",
    // "missing.mp4"...), made unique by its id.
    Q_INVOKABLE QVariant mediaReel(const QString &id, const QString &file, qint64 viewCount = 0,
                                   qint64 likeCount = 0, qint64 durationSeconds = 65,
                                   const QUrl &thumbnailURL = {}) const;
    // A reel whose address never answers: a player of it waits, playing, for as long as it is
    // left to.
    Q_INVOKABLE QVariant silentReel(const QString &id, qint64 viewCount, qint64 likeCount,
                                    qint64 durationSeconds, const QUrl &thumbnailURL = {}) const;
    Q_INVOKABLE void openMediaGate() { m_mediaFiles.openGate(); }
    // The size of a local file, or -1 when there is none.
    Q_INVOKABLE qint64 fileSize(const QUrl &file) const;
    Q_INVOKABLE qint64 mediaSize() const { return MediaSimulator::defaultSize; }
    // The size of every demo sample video.
    static constexpr qsizetype sampleSize = 64 * 1024;
    Q_INVOKABLE qint64 sampleMediaSize() const { return sampleSize; }

    QString galleryDir() const;
    QStringList openedUrls() const { return m_opened; }
    Q_INVOKABLE void forgetOpenedUrls();

public Q_SLOTS:
    void openUrl(const QUrl &url);

Q_SIGNALS:
    void openedUrlsChanged();

private:
    TestServer m_instagram{ QHostAddress(QStringLiteral("127.0.0.1")) };
    TestServer m_facebook{ QHostAddress(QStringLiteral("127.0.0.2")) };
    TestServer m_updates;
    TestServer m_media;
    MediaSimulator m_mediaFiles{ m_media };
    QTemporaryDir m_folders;
    QStringList m_opened;
    QWebEnginePage *m_page;
    QString m_galleryDir;
};

// The set-up object of a QtQuickTest runner: starts the browser engine before the application,
// then isolates the environment (TestEnvironment) and hands `harness` to the QML engine.
class QmlTestSetup : public QObject
{
    Q_OBJECT
public:
    explicit QmlTestSetup(const QString &galleryDir = {});
    ~QmlTestSetup() override;

public Q_SLOTS:
    void applicationAvailable();
    void qmlEngineAvailable(QQmlEngine *engine);
    void cleanupTestCase();

private:
    QString m_galleryDir;
    std::unique_ptr<TestEnvironment> m_environment;
    std::unique_ptr<Harness> m_harness;
};
