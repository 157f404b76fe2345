#pragma once

// One run of the command line: signs in as asked, fetches the profile through the same sources as
// the app, then prints it or downloads its reels through the download queue, and ends with an
// exit status. Everything runs on the main thread's event loop; nothing blocks.

#include "cli/CliOptions.h"
#include "core/Async.h"
#include "core/InstagramProfile.h"
#include "core/Reel.h"

#include <QObject>
#include <QPointer>
#include <QSet>

#include <optional>

class AppSettings;
class BrowserStore;
class DownloadDestination;
class DownloadManager;
class PlatformAuth;
class ProfileServiceType;
class QTimer;

class CliRunner : public QObject
{
    Q_OBJECT
public:
    // After a signal the status is 128 + its number: 130 for Ctrl-C, 143 for SIGTERM, 129 for a
    // hang-up. No status leaves a partial file behind.
    enum ExitStatus {
        allSaved = 0,   // every reel asked for saved, or the whole profile listed
        partlyDone = 1, // some items failed, or the profile's reels stopped coming part way
        usageError = 2,
        fetchFailed = 3, // nothing of the profile arrived
        interrupted = 130,
    };

    // `browserReady`: the browser engine is set up, so a signed-in Facebook session can be read
    // through the hidden page.
    CliRunner(CliOptions options, bool browserReady, QObject *parent = nullptr);
    ~CliRunner() override;

    // Starts the run; finished() follows once, from the event loop.
    void start();
    // Ctrl-C, a termination request or a hang-up: cancels the fetch or stops every transfer, lets
    // the queue wind down, says so and ends with `status` (128 + the signal).
    void interrupt(int status = interrupted);

Q_SIGNALS:
    void finished(int status);

private:
    bool setUpSignIn();
    bool readCookiesFile();
    void fetch();
    void onFetched(bool cancelled, const QString &error);
    void list();
    void download();
    void onQueueChanged();
    void finishDownload();
    void scheduleRedraw();
    void clearLive();
    void drawLive();
    void end(int status);
    std::optional<qsizetype> receivedIfIncomplete() const;
    QList<Reel> reelsInRange() const;

    const CliOptions m_options;
    const bool m_browserReady;
    BrowserStore *m_store = nullptr;
    PlatformAuth *m_instagramAuth = nullptr;
    PlatformAuth *m_facebookAuth = nullptr;
    ProfileServiceType *m_service = nullptr;
    std::optional<Cancellation> m_fetch;
    std::optional<InstagramProfile> m_profile;
    QList<Reel> m_reels;
    // Why the reels stopped coming before the last page, when they did.
    std::optional<QString> m_walkError;
    int m_pagesRead = 0;
    // Set when the walk was ended because a whole page was older than the date range's start.
    std::optional<QDateTime> m_stoppedBefore;

    DownloadDestination *m_destination = nullptr;
    AppSettings *m_settings = nullptr;
    QPointer<DownloadManager> m_manager;
    QStringList m_missing;
    QSet<QString> m_reported;
    bool m_terminal = false;
    int m_liveLines = 0;
    QTimer *m_redraw = nullptr;

    bool m_interrupted = false;
    int m_interruptStatus = interrupted;
    bool m_ended = false;
};
