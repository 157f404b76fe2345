#pragma once

// Reels as rows for the grid and the list. Pages arrive as ever longer lists: a list that extends
// the one shown inserts only the new rows, so views keep their cells and scroll position; one that
// is the start of the one shown (the oldest reels leaving a date filter) removes only the rows
// past it. Only a list that replaces the shown one resets the model.

#include "core/Reel.h"

#include <QAbstractListModel>
#include <QList>
#include <QSet>
#include <QtQmlIntegration>

class ReelListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the reels view model")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        IdRole = Qt::UserRole + 1, // "reelId"
        ThumbnailRole,             // "thumbnailURL"
        DurationRole,              // "durationSeconds"
        ViewCountRole,             // "viewCount"
        LikeCountRole,             // "likeCount"
        PostedAtRole,              // "postedAt"
        VideoRole,                 // "defaultVideoURL"
        SelectedRole,              // "selected"
        ReelRole,                  // "reel": the whole record
    };

    explicit ReelListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_reels.size()); }
    const QList<Reel> &reels() const { return m_reels; }
    Q_INVOKABLE QVariant get(int row) const;

    // Shows `reels`: appends or removes at the end when it extends or shortens what is shown,
    // otherwise replaces it.
    void setReels(const QList<Reel> &reels);
    // Marks the rows whose ids are in `ids` as selected; only rows that change are announced.
    void setSelectedIDs(const QSet<QString> &ids);

signals:
    void countChanged();

private:
    QList<Reel> m_reels;
    QSet<QString> m_selected;
};
