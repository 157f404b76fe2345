#pragma once

#include "core/SocialPlatform.h"

#include <QMetaType>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <QtQmlIntegration>

// A fetched profile, of either platform despite the name. Every fetch builds a new one with a
// fresh id. A demo profile is made up by the demo sources while the user is not signed in to the
// platform; the screens and the command line say so.
struct InstagramProfile
{
    Q_GADGET
    QML_VALUE_TYPE(instagramProfile)
    Q_PROPERTY(QString username MEMBER username CONSTANT)
    Q_PROPERTY(QString displayName MEMBER displayName CONSTANT)
    Q_PROPERTY(QUrl avatarURL MEMBER avatarURL CONSTANT)
    Q_PROPERTY(qint64 followerCount MEMBER followerCount CONSTANT)
    Q_PROPERTY(qint64 reelCount MEMBER reelCount CONSTANT)
    Q_PROPERTY(bool isVerified MEMBER isVerified CONSTANT)
    Q_PROPERTY(bool isDemo MEMBER isDemo CONSTANT)
    Q_PROPERTY(QString platform READ platformName CONSTANT)
    Q_PROPERTY(QString platformDisplayName READ platformDisplayName CONSTANT)

public:
    QUuid id;
    SocialPlatform platform = SocialPlatform::instagram;
    QString username;
    QString displayName;
    QUrl avatarURL; // empty when the source has none
    qint64 followerCount = 0;
    qint64 reelCount = 0;
    bool isVerified = false;
    bool isDemo = false;

    QString platformName() const { return rawValue(platform); }
    QString platformDisplayName() const { return ::displayName(platform); }

    bool operator==(const InstagramProfile &) const = default;
};

Q_DECLARE_METATYPE(InstagramProfile)
