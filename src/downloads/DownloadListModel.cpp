#include "downloads/DownloadListModel.h"

#include <QMetaEnum>

#include <cmath>

namespace {

double barFraction(const DownloadState &state)
{
    switch (state.kind()) {
    case DownloadState::Kind::downloading:
        return state.progress();
    case DownloadState::Kind::completed:
        return 1.0;
    default:
        return 0.0;
    }
}

} // namespace

DownloadListModel::DownloadListModel(QObject *parent) : QAbstractListModel(parent)
{
    m_progressTick.setSingleShot(true);
    m_progressTick.setInterval(progressIntervalMs);
    connect(&m_progressTick, &QTimer::timeout, this, &DownloadListModel::announceProgress);
}

int DownloadListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant DownloadListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const DownloadItem &item = m_items.at(index.row());
    switch (role) {
    case IdRole:
        return item.id;
    case ReelIdRole:
        return item.reel.id;
    case TitleRole:
        return title(item);
    case QualityRole:
        return rawValue(item.quality);
    case DurationRole:
        return item.reel.durationSeconds;
    case ThumbnailRole:
        return item.reel.thumbnailURL;
    case KindRole:
        return QString::fromLatin1(
                QMetaEnum::fromType<DownloadState::Kind>().valueToKey(int(item.state.kind())));
    case ProgressRole:
        return barFraction(item.state);
    case PercentRole:
        return int(std::floor(barFraction(item.state) * 100.0));
    case MessageRole:
        return item.state.message();
    case FileRole:
        return item.state.fileURL();
    case StateRole:
        return QVariant::fromValue(item.state);
    case AlreadySavedRole:
        return item.state.isAlreadySaved();
    default:
        return {};
    }
}

QHash<int, QByteArray> DownloadListModel::roleNames() const
{
    return {
        { IdRole, "itemId" },
        { ReelIdRole, "reelId" },
        { TitleRole, "title" },
        { QualityRole, "quality" },
        { DurationRole, "durationSeconds" },
        { ThumbnailRole, "thumbnailURL" },
        { KindRole, "stateKind" },
        { ProgressRole, "progress" },
        { PercentRole, "percent" },
        { MessageRole, "message" },
        { FileRole, "fileURL" },
        { StateRole, "state" },
        { AlreadySavedRole, "alreadySaved" },
    };
}

QString DownloadListModel::title(const DownloadItem &item)
{
    const qint64 seconds = item.reel.durationSeconds;
    return QStringLiteral("%1 · %2:%3")
            .arg(::title(item.quality))
            .arg(seconds / 60)
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

std::optional<qsizetype> DownloadListModel::rowOf(const QString &id) const
{
    const auto found = m_rows.constFind(id);
    if (found == m_rows.constEnd())
        return std::nullopt;
    return *found;
}

void DownloadListModel::append(const QList<DownloadItem> &items)
{
    QList<DownloadItem> added;
    QSet<QString> ids;
    for (const DownloadItem &item : items) {
        if (!m_rows.contains(item.id) && !ids.contains(item.id)) {
            ids.insert(item.id);
            added.append(item);
        }
    }
    if (added.isEmpty())
        return;
    const qsizetype first = m_items.size();
    beginInsertRows({}, int(first), int(first + added.size() - 1));
    for (const DownloadItem &item : std::as_const(added)) {
        m_rows.insert(item.id, m_items.size());
        m_items.append(item);
    }
    endInsertRows();
    Q_EMIT countChanged();
}

void DownloadListModel::setState(qsizetype row, const DownloadState &state)
{
    DownloadItem &item = m_items[row];
    if (item.state == state)
        return;
    const bool progressOnly = item.state.kind() == DownloadState::Kind::downloading
            && state.kind() == DownloadState::Kind::downloading;
    item.state = state;
    if (progressOnly) {
        m_pendingProgress.insert(item.id);
        if (!m_progressTick.isActive())
            m_progressTick.start();
        return;
    }
    m_pendingProgress.remove(item.id);
    const QModelIndex changed = index(int(row));
    Q_EMIT dataChanged(changed, changed);
}

void DownloadListModel::removeIf(const std::function<bool(const DownloadItem &)> &predicate)
{
    // From the end, one contiguous run of rows at a time, so indices ahead stay valid.
    bool removedAny = false;
    qsizetype row = m_items.size() - 1;
    while (row >= 0) {
        if (!predicate(m_items.at(row))) {
            --row;
            continue;
        }
        const qsizetype last = row;
        while (row > 0 && predicate(m_items.at(row - 1)))
            --row;
        beginRemoveRows({}, int(row), int(last));
        for (qsizetype i = row; i <= last; ++i)
            m_pendingProgress.remove(m_items.at(i).id);
        m_items.remove(row, last - row + 1);
        endRemoveRows();
        removedAny = true;
        --row;
    }
    if (!removedAny)
        return;
    m_rows.clear();
    for (qsizetype i = 0; i < m_items.size(); ++i)
        m_rows.insert(m_items.at(i).id, i);
    Q_EMIT countChanged();
}

void DownloadListModel::announceProgress()
{
    const QStringList ids(m_pendingProgress.cbegin(), m_pendingProgress.cend());
    m_pendingProgress.clear();
    for (const QString &id : ids) {
        const QModelIndex changed = index(int(*rowOf(id)));
        Q_EMIT dataChanged(changed, changed, { ProgressRole, PercentRole, StateRole });
    }
    if (!ids.isEmpty())
        Q_EMIT progressAnnounced(ids);
}
