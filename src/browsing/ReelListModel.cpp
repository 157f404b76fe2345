#include "browsing/ReelListModel.h"

ReelListModel::ReelListModel(QObject *parent) : QAbstractListModel(parent) { }

int ReelListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_reels.size());
}

QVariant ReelListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Reel &reel = m_reels.at(index.row());
    switch (role) {
    case IdRole:
        return reel.id;
    case ThumbnailRole:
        return reel.thumbnailURL;
    case DurationRole:
        return reel.durationSeconds;
    case ViewCountRole:
        return reel.viewCount;
    case LikeCountRole:
        return reel.likeCount;
    case PostedAtRole:
        return reel.postedAt;
    case VideoRole:
        return reel.defaultVideoURL();
    case SelectedRole:
        return m_selected.contains(reel.id);
    case ReelRole:
        return QVariant::fromValue(reel);
    default:
        return {};
    }
}

QHash<int, QByteArray> ReelListModel::roleNames() const
{
    return {
        { IdRole, "reelId" },
        { ThumbnailRole, "thumbnailURL" },
        { DurationRole, "durationSeconds" },
        { ViewCountRole, "viewCount" },
        { LikeCountRole, "likeCount" },
        { PostedAtRole, "postedAt" },
        { VideoRole, "defaultVideoURL" },
        { SelectedRole, "selected" },
        { ReelRole, "reel" },
    };
}

QVariant ReelListModel::get(int row) const
{
    if (row < 0 || row >= m_reels.size())
        return {};
    return QVariant::fromValue(m_reels.at(row));
}

void ReelListModel::setReels(const QList<Reel> &reels)
{
    const qsizetype shown = m_reels.size();
    const qsizetype common = std::min(shown, reels.size());
    if (!std::equal(reels.cbegin(), reels.cbegin() + common, m_reels.cbegin())) {
        beginResetModel();
        m_reels = reels;
        endResetModel();
    } else if (reels.size() > shown) {
        beginInsertRows({}, int(shown), int(reels.size() - 1));
        m_reels.append(reels.mid(shown));
        endInsertRows();
    } else if (reels.size() < shown) {
        beginRemoveRows({}, int(reels.size()), int(shown - 1));
        m_reels.resize(reels.size());
        endRemoveRows();
    } else {
        return;
    }
    emit countChanged();
}

void ReelListModel::setSelectedIDs(const QSet<QString> &ids)
{
    if (ids == m_selected)
        return;
    const QSet<QString> before = std::exchange(m_selected, ids);
    for (int row = 0; row < m_reels.size(); ++row) {
        const QString &id = m_reels.at(row).id;
        if (before.contains(id) != m_selected.contains(id)) {
            const QModelIndex at = index(row);
            emit dataChanged(at, at, { SelectedRole });
        }
    }
}
