#include "downloads/DownloadManager.h"

#include "core/Http.h"
#include "downloads/AppSettings.h"
#include "downloads/AudioTrack.h"
#include "downloads/DownloadDestination.h"
#include "downloads/Downloader.h"
#include "downloads/MediaFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QNetworkAccessManager>

#include <cmath>

namespace {

// What a cancelled or stopped item says, which also tells it from one that failed.
QString cancelledMessage()
{
    return DownloadManager::tr("Cancelled");
}

QString stoppedMessage()
{
    return DownloadManager::tr("Stopped");
}

bool isFinished(const DownloadItem &item)
{
    return item.state.kind() == DownloadState::Kind::completed
            || item.state.kind() == DownloadState::Kind::failed;
}

} // namespace

DownloadManager::DownloadManager(DownloadDestination *destination, AppSettings *settings,
                                 QObject *parent)
    : QObject(parent),
      m_destination(destination),
      m_settings(settings),
      m_model(new DownloadListModel(this))
{
    // Part files left by a crash go before anything is written beside them.
    m_destination->withAccess([this](const QString &folder) { sweepOnce(folder); });
    connect(m_model, &DownloadListModel::progressAnnounced, this,
            [this](const QStringList &itemIds) {
        for (const QString &id : itemIds) {
            if (const auto row = m_model->rowOf(id))
                Q_EMIT reelStateChanged(m_model->at(*row).reel.id);
        }
        announce();
    });
}

DownloadManager::~DownloadManager()
{
    // Transfers go first, while the connection pools they run on still exist; each takes its
    // part file with it.
    for (const Run &run : std::as_const(m_runs))
        run.cancel.cancel();
    qDeleteAll(findChildren<Downloader *>(Qt::FindDirectChildrenOnly));
}

void DownloadManager::setPresented(bool presented)
{
    if (m_isPresented == presented)
        return;
    m_isPresented = presented;
    Q_EMIT isPresentedChanged();
}

DownloadManager::Summary DownloadManager::summary() const
{
    Summary counts;
    counts.items = m_model->count();
    for (const DownloadItem &item : items()) {
        switch (item.state.kind()) {
        case DownloadState::Kind::queued:
        case DownloadState::Kind::downloading:
            ++counts.active;
            break;
        case DownloadState::Kind::completed:
            ++counts.completed;
            break;
        case DownloadState::Kind::failed:
            ++counts.failed;
            break;
        case DownloadState::Kind::idle:
            break;
        }
    }
    return counts;
}

QString DownloadManager::statusLine() const
{
    const Summary counts = summary();
    if (counts.active >= 1) {
        return tr("%1 in progress · %2 of %3 done")
                .arg(counts.active)
                .arg(counts.completed)
                .arg(counts.items);
    }
    if (counts.failed >= 1)
        return tr("%1 done · %2 failed").arg(counts.completed).arg(counts.failed);
    return tr("%1 of %2 downloaded").arg(counts.completed).arg(counts.items);
}

double DownloadManager::overallProgress() const
{
    if (items().isEmpty())
        return 0.0;
    double sum = 0.0;
    for (const DownloadItem &item : items()) {
        if (item.state.kind() == DownloadState::Kind::downloading)
            sum += item.state.progress();
        else if (item.state.kind() == DownloadState::Kind::completed)
            sum += 1.0;
    }
    return sum / double(items().size());
}

int DownloadManager::overallPercent() const
{
    return int(std::floor(overallProgress() * 100.0));
}

void DownloadManager::enqueue(const QList<Reel> &reels, VideoQuality quality)
{
    // With the setting on, a reel saved by an earlier run is done at once, without a transfer.
    const QString folder = m_settings->skipSavedReels()
            ? m_destination->withAccess([](const QString &path) { return path; })
            : QString();
    QList<DownloadItem> added;
    for (const Reel &reel : reels) {
        DownloadItem item;
        item.id = DownloadItem::makeId(reel.id, quality);
        item.reel = reel;
        item.quality = quality;
        item.state = DownloadState::queued();
        if (!folder.isEmpty()) {
            if (const auto file = MediaFile::savedFile(folder, reel.id, quality))
                item.state = DownloadState::alreadySaved(QUrl::fromLocalFile(*file));
        }
        added.append(item);
    }
    const int before = m_model->count();
    m_model->append(added);
    for (int row = before; row < m_model->count(); ++row)
        Q_EMIT reelStateChanged(m_model->at(row).reel.id);
    setPresented(true);
    schedule();
    announce();
}

void DownloadManager::enqueue(const QVariantList &reels, const QString &quality)
{
    const auto chosen = videoQualityFromRaw(quality);
    if (!chosen) {
        qWarning("DownloadManager: unknown quality %s", qPrintable(quality));
        return;
    }
    QList<Reel> list;
    for (const QVariant &value : reels) {
        if (value.metaType() == QMetaType::fromType<Reel>())
            list.append(value.value<Reel>());
    }
    enqueue(list, *chosen);
}

void DownloadManager::cancel(const QString &id)
{
    stopRun(id);
    if (const auto row = m_model->rowOf(id))
        setState(*row, DownloadState::failed(cancelledMessage()));
    schedule();
    announce();
}

void DownloadManager::retry(const QString &id)
{
    const auto row = m_model->rowOf(id);
    if (!row)
        return;
    // A retry starts over: a transfer still running for the item would otherwise go on beside
    // the new one, outside the limit.
    stopRun(id);
    setState(*row, DownloadState::queued());
    schedule();
    announce();
}

void DownloadManager::retryAllFailed()
{
    bool changed = false;
    for (qsizetype row = 0; row < items().size(); ++row) {
        if (items().at(row).state.kind() == DownloadState::Kind::failed) {
            setState(row, DownloadState::queued());
            changed = true;
        }
    }
    if (!changed)
        return;
    schedule();
    announce();
}

void DownloadManager::stopAll()
{
    for (const Run &run : std::exchange(m_runs, {}))
        run.cancel.cancel();
    for (qsizetype row = 0; row < items().size(); ++row) {
        const auto kind = items().at(row).state.kind();
        if (kind == DownloadState::Kind::downloading || kind == DownloadState::Kind::queued)
            setState(row, DownloadState::failed(stoppedMessage()));
    }
    announce();
}

void DownloadManager::clearFinished()
{
    QSet<QString> reelIds;
    for (const DownloadItem &item : items()) {
        if (isFinished(item))
            reelIds.insert(item.reel.id);
    }
    m_model->removeIf(isFinished);
    for (const QString &reelId : std::as_const(reelIds))
        Q_EMIT reelStateChanged(reelId);
    if (items().isEmpty())
        setPresented(false);
    announce();
}

std::optional<DownloadState> DownloadManager::state(const QString &reelId) const
{
    for (const DownloadItem &item : items()) {
        if (item.reel.id == reelId)
            return item.state;
    }
    return std::nullopt;
}

QVariant DownloadManager::stateFor(const QString &reelId) const
{
    const auto found = state(reelId);
    return found ? QVariant::fromValue(*found) : QVariant();
}

bool DownloadManager::isStoppedByUser(const DownloadState &state)
{
    return state.kind() == DownloadState::Kind::failed
            && (state.message() == cancelledMessage() || state.message() == stoppedMessage());
}

void DownloadManager::schedule()
{
    int running = 0;
    for (const DownloadItem &item : items()) {
        if (item.state.kind() == DownloadState::Kind::downloading)
            ++running;
    }
    int free = m_settings->maxConcurrentDownloads() - running;
    for (qsizetype row = 0; row < items().size() && free > 0; ++row) {
        if (items().at(row).state.kind() == DownloadState::Kind::queued) {
            start(row);
            --free;
        }
    }
}

void DownloadManager::start(qsizetype row)
{
    const DownloadItem item = m_model->at(row);
    setState(row, DownloadState::downloading(0.0));

    Run run;
    run.serial = m_nextSerial++;
    run.slot = takeSlot();
    m_runs.insert(item.id, run);

    const QString folder = m_destination->withAccess([this](const QString &folder) {
        // The default folder may not exist yet; a chosen one that vanished is not recreated.
        if (folder == DownloadDestination::defaultFolder())
            QDir().mkpath(folder);
        sweepOnce(folder);
        return folder;
    });
    const QUrl url = item.reel.variants.value(item.quality, item.reel.defaultVideoURL());
    const QString name = MediaFile::finalName(item.reel.id, item.quality);
    const QString id = item.id;
    const quint64 serial = run.serial;
    const bool soundOnly = item.quality == VideoQuality::audio;
    const Cancellation cancel = run.cancel;

    auto *downloader = new Downloader(
            {}, [this, id, serial](double fraction) { onProgress(id, serial, fraction); }, this,
            networkForSlot(run.slot));
    downloader->download(url, folder, run.cancel, [this, downloader, id, serial, name, soundOnly,
                                                   cancel](const Downloader::Result &result) {
        downloader->deleteLater();
        if (!isCurrent(id, serial))
            return; // cancelled, stopped or started over: its message stands
        if (result.wasCancelled()) {
            finishRun(id, serial, DownloadState::failed(cancelledMessage()));
            return;
        }
        if (result.failed()) {
            finishRun(id, serial, DownloadState::failed(result.error().description()));
            return;
        }
        if (!soundOnly) {
            save(id, serial, name, result.value());
            return;
        }
        // The sound alone goes into a part file of its own, saved like any download; the
        // rendition's part file goes either way.
        AudioTrack::extract(result.value(), cancel, this,
                            [this, id, serial, name](const AudioTrack::Result &audio) {
            if (!isCurrent(id, serial))
                return;
            if (audio.succeeded())
                save(id, serial, name, audio.value());
            else
                finishRun(id, serial,
                          DownloadState::failed(audio.wasCancelled() ? cancelledMessage()
                                                                     : audio.error().description()));
        });
    });
}

void DownloadManager::save(const QString &id, quint64 serial, const QString &name,
                           const std::shared_ptr<PartFile> &part)
{
    const auto row = m_model->rowOf(id);
    const QDateTime postedAt = row ? m_model->at(*row).reel.postedAt : QDateTime();
    const bool saved = m_destination->withAccess(
            [&part, &name, &postedAt](const QString &) { return part->commit(name, postedAt); });
    finishRun(id, serial,
              saved ? DownloadState::completed(QUrl::fromLocalFile(part->finalPath()))
                    : DownloadState::failed(part->errorString()));
}

bool DownloadManager::isCurrent(const QString &id, quint64 serial) const
{
    const auto run = m_runs.constFind(id);
    return run != m_runs.constEnd() && run->serial == serial;
}

void DownloadManager::finishRun(const QString &id, quint64 serial, const DownloadState &outcome)
{
    if (!isCurrent(id, serial))
        return;
    m_runs.remove(id);
    if (const auto row = m_model->rowOf(id))
        setState(*row, outcome);
    schedule();
    announce();
}

void DownloadManager::onProgress(const QString &id, quint64 serial, double fraction)
{
    if (!isCurrent(id, serial))
        return;
    const auto row = m_model->rowOf(id);
    // Progress never revives an item that has ended in the meantime.
    if (row && m_model->at(*row).state.kind() == DownloadState::Kind::downloading)
        m_model->setState(*row, DownloadState::downloading(fraction));
}

void DownloadManager::setState(qsizetype row, const DownloadState &state)
{
    const DownloadState before = m_model->at(row).state;
    m_model->setState(row, state);
    if (before != state)
        Q_EMIT reelStateChanged(m_model->at(row).reel.id);
}

void DownloadManager::stopRun(const QString &id)
{
    const auto run = m_runs.constFind(id);
    if (run == m_runs.constEnd())
        return;
    const Cancellation cancel = run->cancel;
    m_runs.erase(run);
    cancel.cancel();
}

void DownloadManager::announce()
{
    const Summary counts = summary();
    if (counts != m_announcedSummary) {
        m_announcedSummary = counts;
        Q_EMIT summaryChanged();
    }
    const double progress = overallProgress();
    if (progress != m_announcedProgress) {
        m_announcedProgress = progress;
        Q_EMIT overallProgressChanged();
    }
}

int DownloadManager::takeSlot() const
{
    QSet<int> taken;
    for (const Run &run : m_runs)
        taken.insert(run.slot);
    int slot = 0;
    while (taken.contains(slot))
        ++slot;
    return slot;
}

QNetworkAccessManager *DownloadManager::networkForSlot(int slot)
{
    // Qt opens at most six HTTP/1.1 connections per host and manager. Slots 0-5 use the app's
    // manager, each further six a manager of their own that shares the app's cookie jar, so a
    // limit of ten means ten transfers at once even when every file is on one host. A pool never
    // serves more transfers than its slots, so the connections it opens stay within the limit.
    const int pool = slot / transfersPerConnectionPool;
    if (pool == 0)
        return Http::manager();
    while (m_extraNetworks.size() < pool) {
        auto *network = new QNetworkAccessManager(this);
        network->setCookieJar(Http::jar());
        // The manager took the jar over; the application keeps it, shared by every manager.
        Http::jar()->setParent(QCoreApplication::instance());
        m_extraNetworks.append(network);
    }
    return m_extraNetworks.at(pool - 1);
}

void DownloadManager::sweepOnce(const QString &folder)
{
    if (m_sweptFolders.contains(folder))
        return;
    m_sweptFolders.insert(folder);
    MediaFile::removeLeftovers(folder);
}
