#pragma once

// A loaded profile for the screens' tests, the gallery and the grid benchmark: a view model fed
// by a source the caller drives, a download queue with its own folder, and a local server for
// the pictures and the media. Reels are made up: reel i is "reel-<i>", posted i days ago unless
// told otherwise, with a picture of its own served from loopback.

#include "browsing/ReelsViewModel.h"
#include "downloads/AppSettings.h"
#include "downloads/DownloadDestination.h"
#include "downloads/DownloadManager.h"

#include <QHash>
#include <QObject>
#include <QTemporaryDir>
#include <QVariantMap>

#include <memory>

class MediaSimulator;
class ScriptedSource;
class TestServer;

class ProfileFixture : public QObject
{
    Q_OBJECT
    Q_PROPERTY(ReelsViewModel *viewModel READ viewModel CONSTANT)
    Q_PROPERTY(DownloadManager *downloadManager READ downloadManager CONSTANT)
    Q_PROPERTY(DownloadDestination *destination READ destination CONSTANT)

public:
    explicit ProfileFixture(QObject *parent = nullptr);
    ~ProfileFixture() override;

    ReelsViewModel *viewModel() const { return m_viewModel; }
    DownloadManager *downloadManager() const { return m_downloadManager; }
    DownloadDestination *destination() const { return m_destination; }

    // Searches and delivers the profile with its first `count` reels; the fetch goes on until
    // finish(). Options (all optional):
    //   daysAgo     list of ages in days, one per reel (reels beyond the list: i days)
    //   displayName, username, followers, verified   the profile
    //   thumbnails  "served" (default), "failing" or "stalled"
    //   stalled     list of reel indexes whose media never finishes downloading
    Q_INVOKABLE void load(int count, const QVariantMap &options = {});
    // Delivers `count` more reels after those already delivered.
    Q_INVOKABLE void loadMore(int count);
    // Tells the step the fetch is on; with `waitMs`, that it waits that long before going on.
    Q_INVOKABLE void tellStep(const QString &text, int waitMs = 0);
    // Ends the fetch normally.
    Q_INVOKABLE void finish();
    // Ends the fetch with a failure that says `message`.
    Q_INVOKABLE void fail(const QString &message);
    // Reel `index` as the sources deliver it.
    Q_INVOKABLE QVariant reel(int index) const;

private:
    Reel makeReel(int index) const;
    void deliver();

    std::unique_ptr<TestServer> m_server;
    std::unique_ptr<MediaSimulator> m_media;
    std::unique_ptr<ScriptedSource> m_source;
    QTemporaryDir m_folder;
    PlatformAuth *m_instagramAuth;
    PlatformAuth *m_facebookAuth;
    DownloadDestination *m_destination;
    AppSettings *m_settings;
    ReelsViewModel *m_viewModel;
    DownloadManager *m_downloadManager;
    QVariantMap m_options;
    QList<Reel> m_reels;
    mutable QHash<int, QByteArray> m_pictures;
};
