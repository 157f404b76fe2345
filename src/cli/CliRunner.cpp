#include "cli/CliRunner.h"

#include "auth/BrowserStore.h"
#include "auth/PlatformAuth.h"
#include "cli/CliFormat.h"
#include "cli/NetscapeCookies.h"
#include "core/Http.h"
#include "core/URLRouter.h"
#include "core/WebIdentity.h"
#include "downloads/AppSettings.h"
#include "downloads/DownloadDestination.h"
#include "downloads/DownloadManager.h"
#include "sources/MultiPlatformService.h"
#include "sources/RealFacebookService.h"
#include "sources/RealInstagramService.h"

#include <QDir>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr int redrawIntervalMs = 100;

void write(FILE *stream, const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void out(const QString &text)
{
    write(stdout, text.toUtf8());
}

// A note or an error for the person at the terminal, never mixed into what programs read. It
// quotes servers and files, so it is made inert as a whole.
void note(const QString &text)
{
    write(stderr, QStringLiteral("%1: %2\n")
                          .arg(CliArguments::programName, CliFormat::printable(text))
                          .toUtf8());
}

int terminalWidth()
{
    winsize size{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

// Where a date range begins: reels posted before it are older than any it takes. None for a
// range without a beginning. Reels come newest first, so a page of only such reels ends the walk.
std::optional<QDateTime> rangeStart(const DateRangeFilter &filter, const QDateTime &now)
{
    using Kind = DateRangeFilter::Kind;
    const QDateTime local = now.toLocalTime();
    switch (filter.kind()) {
    case Kind::all:
        return std::nullopt;
    case Kind::today:
        return QDate::currentDate().startOfDay();
    // "Last N days" takes reels less than N + 1 whole days old.
    case Kind::last7:
        return local.addDays(-8);
    case Kind::last30:
        return local.addDays(-31);
    case Kind::last90:
        return local.addDays(-91);
    case Kind::thisYear:
        return QDate(local.date().year(), 1, 1).startOfDay();
    case Kind::custom:
        return filter.start().toLocalTime().date().startOfDay();
    }
    return std::nullopt;
}

// The browser engine refuses to start as root with its sandbox on, and takes the process with it.
bool browserCanStart()
{
    if (::geteuid() != 0)
        return true;
    return qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(QLatin1String("--no-sandbox"))
            || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX");
}

} // namespace

CliRunner::CliRunner(CliOptions options, bool browserReady, QObject *parent)
    : QObject(parent),
      m_options(std::move(options)),
      m_browserReady(browserReady),
      m_terminal(::isatty(STDOUT_FILENO) == 1)
{
}

CliRunner::~CliRunner()
{
    // Transfers and their part files go before the sources and sign-in they depend on.
    delete m_manager;
}

void CliRunner::start()
{
    if (!setUpSignIn())
        return;
    fetch();
}

bool CliRunner::setUpSignIn()
{
    const DetectedLink link = *URLRouter::detect(m_options.link);

    if (!m_options.cookiesFile.isEmpty() && !readCookiesFile())
        return false;

    // A detached store: no browser engine, so no display is needed. The sessions come from the
    // jar, which holds the app's kept cookies or the file's.
    m_store = new BrowserStore(nullptr, this);
    m_instagramAuth = new PlatformAuth(SocialPlatform::instagram, m_store, this);
    m_facebookAuth = new PlatformAuth(SocialPlatform::facebook, m_store, this);

    ProfileServiceType *instagram = nullptr;
    ProfileServiceType *facebook = nullptr;
    if (!m_options.demo) {
        instagram = new RealInstagramService(m_instagramAuth, WebIdentity::instagramAppID(),
                                             WebIdentity::desktopUserAgent(), this);
        // Facebook pages are read in the app's browser, which a cookies file cannot sign in.
        if (m_browserReady && m_options.cookiesFile.isEmpty())
            facebook = new RealFacebookService(m_facebookAuth, WebIdentity::desktopUserAgent(), this);
    }
    m_service = new MultiPlatformService(m_instagramAuth, m_facebookAuth, instagram, facebook, this);

    if (m_options.demo)
        return true;
    const QString platform = displayName(link.platform);
    if (link.platform == SocialPlatform::facebook && !m_options.cookiesFile.isEmpty()) {
        note(tr("a cookies file signs in to Instagram only (Facebook pages are read in the "
                "app's browser): answering with the demo source"));
        return true;
    }
    PlatformAuth *auth = link.platform == SocialPlatform::facebook ? m_facebookAuth
                                                                   : m_instagramAuth;
    if (!auth->isSignedIn()) {
        const QString how = link.platform == SocialPlatform::instagram
                ? tr("sign in in the app, or pass --cookies FILE")
                : tr("sign in in the app");
        note(tr("not signed in to %1: answering with the demo source (%2)")
                     .arg(platform, how));
        return true;
    }
    if (link.platform == SocialPlatform::facebook && !browserCanStart()) {
        note(tr("the browser that reads Facebook pages cannot start as root with its sandbox "
                "on; run as a normal user"));
        end(fetchFailed);
        return false;
    }
    return true;
}

bool CliRunner::readCookiesFile()
{
    const QString &path = m_options.cookiesFile;
    QFile file(path);
    const auto fail = [this](const QString &message) {
        note(message);
        end(usageError);
        return false;
    };
    const auto unreadable = [&] {
        return fail(tr("cannot read the cookies file %1: %2")
                            .arg(path, file.errorString()));
    };
    if (!file.open(QIODevice::ReadOnly))
        return unreadable();
    // At most one byte over the limit, whatever the file claims to be: a device or a pipe has no
    // size to ask for, and /dev/zero never ends.
    QByteArray text;
    while (text.size() <= NetscapeCookies::maximumFileSize) {
        const QByteArray chunk = file.read(NetscapeCookies::maximumFileSize + 1 - text.size());
        if (chunk.isEmpty())
            break;
        text += chunk;
    }
    if (file.error() != QFileDevice::NoError)
        return unreadable();
    if (text.size() > NetscapeCookies::maximumFileSize)
        return fail(tr("the cookies file %1 is over %2 MiB: too large for a cookies file")
                            .arg(path, QString::number(NetscapeCookies::maximumFileSize >> 20)));
    const auto parsed = NetscapeCookies::parse(text, QDateTime::currentDateTimeUtc());
    if (const auto *error = std::get_if<NetscapeCookies::ParseError>(&parsed))
        return fail(tr("the cookies file %1 is not in Netscape format, %2")
                            .arg(path, error->message));
    // This run's cookies only: the app's kept sessions stay as they are on disk.
    Http::jar()->stopSaving();
    Http::jar()->setAllCookies(std::get<QList<QNetworkCookie>>(parsed));
    return true;
}

void CliRunner::fetch()
{
    m_fetch = Cancellation();
    const bool showFetching = ::isatty(STDERR_FILENO) == 1;
    const auto start = rangeStart(m_options.dateFilter, QDateTime::currentDateTime());
    m_service->fetchProfile(
            m_options.link, *m_fetch,
            [this, showFetching, start](const InstagramProfile &profile, const QList<Reel> &reels) {
        // Each delivery carries the whole list; the reels new in it are the page just read.
        const QList<Reel> page = reels.mid(m_reels.size());
        m_profile = profile;
        m_reels = reels;
        ++m_pagesRead;
        if (showFetching)
            write(stderr, (QStringLiteral("\r\x1b[2K")
                           + tr("Fetching @%1: %2 reels")
                                     .arg(CliFormat::printable(profile.username),
                                          QString::number(reels.size())))
                                  .toUtf8());
        // Pinned reels atop the first page may be old; only a whole page of older reels says
        // that the rest is older too.
        if (start && !page.isEmpty()
            && std::all_of(page.cbegin(), page.cend(),
                           [&start](const Reel &reel) { return reel.postedAt < *start; })) {
            m_stoppedBefore = start;
            m_fetch->cancel();
        }
    },
            [this, showFetching](const FetchStep &step) {
        if (!step.isWaiting())
            return;
        if (showFetching)
            write(stderr, "\r\x1b[2K");
        note(step.withSecondsLeft(int((qint64(step.waitMs) + 999) / 1000)));
    },
            [this, showFetching](const Outcome<InstagramServiceError> &outcome) {
        if (showFetching)
            write(stderr, "\r\x1b[2K");
        onFetched(outcome.wasCancelled(),
                  outcome.failed() ? outcome.error().errorDescription() : QString());
    });
}

void CliRunner::onFetched(bool cancelled, const QString &error)
{
    m_fetch.reset();
    if (m_interrupted || (cancelled && !m_stoppedBefore)) {
        note(tr("Interrupted."));
        end(m_interruptStatus);
        return;
    }
    if (m_stoppedBefore) {
        const QString format = m_stoppedBefore->time() == QTime(0, 0)
                ? QStringLiteral("yyyy-MM-dd")
                : QStringLiteral("yyyy-MM-dd hh:mm");
        note((m_pagesRead == 1 ? tr("stopped after %1 page: the rest is older than %2")
                               : tr("stopped after %1 pages: the rest is older than %2"))
                     .arg(QString::number(m_pagesRead), m_stoppedBefore->toString(format)));
    }
    if (!error.isEmpty() && !m_profile) {
        note(error);
        end(fetchFailed);
        return;
    }
    // A later page failed: what came is listed or downloaded, and the run says it is not all.
    if (!error.isEmpty())
        m_walkError = error;
    if (!m_profile) {
        note(tr("the source delivered no profile"));
        end(fetchFailed);
        return;
    }
    if (m_options.command == CliOptions::Command::list)
        list();
    else
        download();
}

void CliRunner::list()
{
    const QList<Reel> reels = reelsInRange();
    if (m_options.json) {
        QByteArray lines = CliFormat::profileJson(*m_profile) + '\n';
        for (const Reel &reel : reels)
            lines += CliFormat::reelJson(reel) + '\n';
        write(stdout, lines);
    } else {
        out(CliFormat::profileText(*m_profile) + u'\n' + CliFormat::reelTable(reels));
    }
    end(allSaved);
}

void CliRunner::download()
{
    // The app's rule: chosen reels when there are any, otherwise the date filter.
    QList<Reel> chosen;
    if (!m_options.ids.isEmpty()) {
        for (const QString &id : m_options.ids) {
            const auto found = std::find_if(m_reels.cbegin(), m_reels.cend(),
                                            [&id](const Reel &reel) { return reel.id == id; });
            if (found == m_reels.cend())
                m_missing.append(id);
            else
                chosen.append(*found);
        }
    } else {
        chosen = reelsInRange();
    }

    m_destination = new DownloadDestination(this);
    if (!m_options.dir.isEmpty()) {
        if (!QDir().mkpath(m_options.dir) || !m_destination->useFolderForThisRun(m_options.dir)) {
            note(tr("cannot make or use the folder %1").arg(m_options.dir));
            end(usageError);
            return;
        }
    }
    const QString folder = m_destination->withAccess([](const QString &path) { return path; });

    if (chosen.isEmpty()) {
        if (m_missing.isEmpty()) {
            note(m_walkError ? tr("nothing to download: none of the reels received matches")
                             : tr("nothing to download: no reel of @%1 matches")
                                       .arg(m_profile->username));
            end(allSaved);
        } else {
            out(CliFormat::summary({}, m_missing, folder, false, receivedIfIncomplete()));
            end(partlyDone);
        }
        return;
    }

    m_settings = new AppSettings(this);
    if (m_options.jobs)
        m_settings->overrideMaxConcurrentDownloads(*m_options.jobs);
    // Unlike the app, where it is a setting, a run leaves files saved before alone by default.
    m_settings->overrideSkipSavedReels(!m_options.overwrite);
    m_manager = new DownloadManager(m_destination, m_settings, this);
    if (m_terminal) {
        m_redraw = new QTimer(this);
        m_redraw->setSingleShot(true);
        m_redraw->setInterval(redrawIntervalMs);
        connect(m_redraw, &QTimer::timeout, this, [this] {
            clearLive();
            drawLive();
        });
        connect(m_manager, &DownloadManager::overallProgressChanged, this,
                &CliRunner::scheduleRedraw);
    }
    connect(m_manager, &DownloadManager::summaryChanged, this, &CliRunner::onQueueChanged);
    m_manager->enqueue(chosen, m_options.quality);
    onQueueChanged();
}

void CliRunner::onQueueChanged()
{
    if (!m_manager || m_ended)
        return;
    QStringList lines;
    for (const DownloadItem &item : m_manager->items()) {
        const auto kind = item.state.kind();
        if (kind != DownloadState::Kind::completed && kind != DownloadState::Kind::failed)
            continue;
        if (m_reported.contains(item.id))
            continue;
        m_reported.insert(item.id);
        // What the interruption stopped is told once, in the summary.
        if (!m_interrupted)
            lines.append(CliFormat::finishedLine(item));
    }
    clearLive();
    if (!lines.isEmpty())
        out(lines.join(u'\n') + u'\n');
    if (m_manager->activeCount() == 0) {
        finishDownload();
        return;
    }
    if (m_terminal)
        drawLive();
}

void CliRunner::finishDownload()
{
    if (m_ended || !m_manager)
        return;
    clearLive();
    const QString folder = m_destination->withAccess([](const QString &path) { return path; });
    out(CliFormat::summary(m_manager->items(), m_missing, folder, m_interrupted,
                           receivedIfIncomplete()));
    if (m_interrupted) {
        // The queue winds down with the manager: every transfer is aborted and takes its part
        // file with it. Later, since this may run inside the manager's own signal.
        m_manager->deleteLater();
        end(m_interruptStatus);
        return;
    }
    end(m_manager->failedCount() > 0 || !m_missing.isEmpty() ? partlyDone : allSaved);
}

void CliRunner::interrupt(int status)
{
    if (m_ended || m_interrupted)
        return;
    m_interrupted = true;
    m_interruptStatus = status;
    if (m_fetch) {
        m_fetch->cancel(); // the cancelled completion ends the run
        return;
    }
    if (m_manager) {
        m_manager->stopAll();
        finishDownload();
        return;
    }
    note(tr("Interrupted."));
    end(status);
}

QList<Reel> CliRunner::reelsInRange() const
{
    const QDateTime now = QDateTime::currentDateTime();
    QList<Reel> taken;
    for (const Reel &reel : m_reels) {
        if (m_options.dateFilter.includes(reel.postedAt, now))
            taken.append(reel);
    }
    return taken;
}

std::optional<qsizetype> CliRunner::receivedIfIncomplete() const
{
    return m_walkError ? std::optional<qsizetype>(m_reels.size()) : std::nullopt;
}

void CliRunner::scheduleRedraw()
{
    if (m_redraw && !m_redraw->isActive())
        m_redraw->start();
}

void CliRunner::clearLive()
{
    if (m_liveLines == 0)
        return;
    // Back to the first live line, then clear to the end of the screen.
    out(QStringLiteral("\x1b[%1F\x1b[J").arg(m_liveLines));
    m_liveLines = 0;
}

void CliRunner::drawLive()
{
    if (!m_manager || m_ended || m_liveLines > 0)
        return;
    const int width = terminalWidth() - 1;
    QStringList lines;
    for (const DownloadItem &item : m_manager->items()) {
        if (item.state.kind() == DownloadState::Kind::downloading)
            lines.append(CliFormat::liveLine(item, width));
    }
    lines.append(QStringLiteral("%1  %2%")
                         .arg(CliFormat::printable(m_manager->statusLine()),
                              QString::number(m_manager->overallPercent()))
                         .left(width));
    QString text;
    for (const QString &line : std::as_const(lines))
        text += QStringLiteral("\r\x1b[2K") + line + u'\n';
    out(text);
    m_liveLines = int(lines.size());
}

void CliRunner::end(int status)
{
    if (m_ended)
        return;
    m_ended = true;
    if (m_fetch)
        m_fetch->cancel();
    // Last, so that it follows the listing or the summary.
    if (m_walkError) {
        note(CliFormat::incompleteNote(m_profile->username, m_reels.size(), *m_walkError));
        if (status == allSaved)
            status = partlyDone;
    }
    post(this, [this, status] { Q_EMIT finished(status); });
}
