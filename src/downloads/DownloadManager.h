#pragma once

// The download queue of the window: one item per reel and quality, at most the configured number
// of transfers at once, each finished file renamed into the destination folder under its final
// name. Every change of an item shows in `items`; the counters and the overall progress follow.

#include "core/Async.h"
#include "core/DownloadItem.h"
#include "downloads/DownloadListModel.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QVariantList>
#include <QtQmlIntegration>

#include <memory>
#include <optional>

class AppSettings;
class DownloadDestination;
class PartFile;
class QNetworkAccessManager;

class DownloadManager : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the application")
    Q_PROPERTY(DownloadListModel *items READ model CONSTANT)
    Q_PROPERTY(bool isPresented READ isPresented WRITE setPresented NOTIFY isPresentedChanged)
    Q_PROPERTY(int itemCount READ itemCount NOTIFY summaryChanged)
    Q_PROPERTY(int activeCount READ activeCount NOTIFY summaryChanged)
    Q_PROPERTY(int completedCount READ completedCount NOTIFY summaryChanged)
    Q_PROPERTY(int failedCount READ failedCount NOTIFY summaryChanged)
    Q_PROPERTY(bool hasFailures READ hasFailures NOTIFY summaryChanged)
    Q_PROPERTY(QString statusLine READ statusLine NOTIFY summaryChanged)
    Q_PROPERTY(double overallProgress READ overallProgress NOTIFY overallProgressChanged)
    Q_PROPERTY(int overallPercent READ overallPercent NOTIFY overallProgressChanged)

public:
    // One HTTP/1.1 connection pool serves at most this many transfers to one host at once.
    static constexpr int transfersPerConnectionPool = 6;

    DownloadManager(DownloadDestination *destination, AppSettings *settings,
                    QObject *parent = nullptr);
    ~DownloadManager() override;

    DownloadListModel *model() const { return m_model; }
    const QList<DownloadItem> &items() const { return m_model->items(); }

    bool isPresented() const { return m_isPresented; }
    void setPresented(bool presented);

    int itemCount() const { return m_model->count(); }
    int activeCount() const { return summary().active; }
    int completedCount() const { return summary().completed; }
    int failedCount() const { return summary().failed; }
    bool hasFailures() const { return failedCount() > 0; }
    // "2 in progress · 0 of 2 done", "1 done · 1 failed", "0 of 0 downloaded"
    QString statusLine() const;
    // The mean of the items' fractions: downloading its progress, completed 1, the rest 0.
    double overallProgress() const;
    int overallPercent() const;

    // Adds one queued item per reel not yet in the queue at this quality, opens the sheet and
    // starts what the limit allows. With skipSavedReels on, a reel whose file is already in the
    // folder is added completed (DownloadState::alreadySaved) and never transferred.
    void enqueue(const QList<Reel> &reels, VideoQuality quality);
    // The same from QML: reels as Reel values, the quality as its raw value ("720p").
    Q_INVOKABLE void enqueue(const QVariantList &reels, const QString &quality);
    Q_INVOKABLE void cancel(const QString &id);
    Q_INVOKABLE void retry(const QString &id);
    Q_INVOKABLE void retryAllFailed();
    Q_INVOKABLE void stopAll();
    Q_INVOKABLE void clearFinished();

    // The state of the first item of that reel, whatever its quality; nothing when never queued.
    std::optional<DownloadState> state(const QString &reelId) const;
    // The same for QML: a DownloadState, or undefined.
    Q_INVOKABLE QVariant stateFor(const QString &reelId) const;

    // Whether `state` ended because the user cancelled or stopped it, not by a fault.
    static bool isStoppedByUser(const DownloadState &state);

Q_SIGNALS:
    void isPresentedChanged();
    void summaryChanged();
    void overallProgressChanged();
    // Something that state(reelId) returns may have changed; for badges on reel cards.
    void reelStateChanged(const QString &reelId);

private:
    // One start of an item's transfer. A retry starts a new run under the same item id; the
    // serial tells the runs apart, so an older run's late news is dropped.
    struct Run
    {
        quint64 serial = 0;
        Cancellation cancel;
        int slot = 0;
    };

    struct Summary
    {
        int items = 0;
        int active = 0;
        int completed = 0;
        int failed = 0;
        bool operator==(const Summary &) const = default;
    };

    void schedule();
    void start(qsizetype row);
    bool isCurrent(const QString &id, quint64 serial) const;
    // Renames the finished file over its final name and ends the run.
    void save(const QString &id, quint64 serial, const QString &name,
              const std::shared_ptr<PartFile> &part);
    void finishRun(const QString &id, quint64 serial, const DownloadState &outcome);
    void onProgress(const QString &id, quint64 serial, double fraction);
    void setState(qsizetype row, const DownloadState &state);
    void stopRun(const QString &id);
    Summary summary() const;
    int takeSlot() const;
    QNetworkAccessManager *networkForSlot(int slot);
    void sweepOnce(const QString &folder);
    void announce();

    DownloadDestination *m_destination;
    AppSettings *m_settings;
    DownloadListModel *m_model;
    bool m_isPresented = false;
    QHash<QString, Run> m_runs;
    QList<QNetworkAccessManager *> m_extraNetworks;
    QSet<QString> m_sweptFolders;
    quint64 m_nextSerial = 1;
    Summary m_announcedSummary;
    double m_announcedProgress = 0.0;
};
