#pragma once

// The download queue as rows for the download sheet, in queue order, keyed by item id. Rows are
// inserted, changed in place and removed; the model is never reset. A change of progress alone is
// announced at most ten times a second per row, so many fast transfers cannot flood the views.

#include "core/DownloadItem.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QSet>
#include <QTimer>
#include <QtQmlIntegration>

#include <functional>
#include <optional>

class DownloadListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the download manager")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        IdRole = Qt::UserRole + 1, // "itemId": reel id, "#", quality
        ReelIdRole,                // "reelId"
        TitleRole,                 // "title": quality, " · ", duration as m:ss
        QualityRole,               // "quality": its raw value, "720p"
        DurationRole,              // "durationSeconds"
        ThumbnailRole,             // "thumbnailURL"
        KindRole,                  // "stateKind": the case name, "queued" or "failed"...
        ProgressRole,              // "progress": the bar's fraction (completed 1, not running 0)
        PercentRole,               // "percent": whole percent of that fraction
        MessageRole,               // "message": the failure text
        FileRole,                  // "fileURL": the saved file
        StateRole,                 // "state": the whole DownloadState
        AlreadySavedRole,          // "alreadySaved": completed by a file saved before
    };

    static constexpr int progressIntervalMs = 100;

    explicit DownloadListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_items.size()); }
    const QList<DownloadItem> &items() const { return m_items; }
    const DownloadItem &at(qsizetype row) const { return m_items.at(row); }
    std::optional<qsizetype> rowOf(const QString &id) const;

    // Appends items whose ids are not in the model yet.
    void append(const QList<DownloadItem> &items);
    // Announces a change of kind at once, a change of progress with the next tick.
    void setState(qsizetype row, const DownloadState &state);
    // Removes matching rows, keeping the order of the rest.
    void removeIf(const std::function<bool(const DownloadItem &)> &predicate);

    // "720p · 1:05"
    static QString title(const DownloadItem &item);

Q_SIGNALS:
    void countChanged();
    // Progress held back since the last tick has been announced, for these items.
    void progressAnnounced(const QStringList &itemIds);

private:
    void announceProgress();

    QList<DownloadItem> m_items;
    QHash<QString, qsizetype> m_rows;
    QSet<QString> m_pendingProgress;
    QTimer m_progressTick;
};
