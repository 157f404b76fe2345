#pragma once

#include "core/VideoQuality.h"

#include <QDateTime>
#include <QHash>
#include <QMetaType>
#include <QString>
#include <QUrl>
#include <QtQmlIntegration>

// One short video of a profile, with the media address of each quality its source offers.
struct Reel
{
    Q_GADGET
    QML_VALUE_TYPE(reel)
    Q_PROPERTY(QString id MEMBER id CONSTANT)
    Q_PROPERTY(QUrl thumbnailURL MEMBER thumbnailURL CONSTANT)
    Q_PROPERTY(qint64 durationSeconds MEMBER durationSeconds CONSTANT)
    Q_PROPERTY(qint64 viewCount MEMBER viewCount CONSTANT)
    Q_PROPERTY(qint64 likeCount MEMBER likeCount CONSTANT)
    Q_PROPERTY(QDateTime postedAt MEMBER postedAt CONSTANT)
    Q_PROPERTY(QUrl defaultVideoURL READ defaultVideoURL CONSTANT)

public:
    QString id;
    QUrl thumbnailURL;
    QHash<VideoQuality, QUrl> variants; // never empty for a reel a source delivers
    qint64 durationSeconds = 0;
    qint64 viewCount = 0;
    qint64 likeCount = 0;
    QDateTime postedAt;

    // The address for preview playback and for a quality the reel lacks: 720p, else 1080p, else
    // 480p, else whatever remains (the audio rendition). Empty for a reel without variants.
    QUrl defaultVideoURL() const;

    bool operator==(const Reel &) const = default;
};

Q_DECLARE_METATYPE(Reel)
