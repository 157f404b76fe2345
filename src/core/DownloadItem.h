#pragma once

#include "core/Reel.h"
#include "core/VideoQuality.h"

#include <QMetaType>
#include <QString>
#include <QUrl>
#include <QtQmlIntegration>

// Where one download stands. Equal only when the case and its payload are equal.
class DownloadState
{
    Q_GADGET
    QML_VALUE_TYPE(downloadState)
    Q_PROPERTY(Kind kind READ kind CONSTANT)
    Q_PROPERTY(double progress READ progress CONSTANT)
    Q_PROPERTY(QUrl fileURL READ fileURL CONSTANT)
    Q_PROPERTY(QString message READ message CONSTANT)
    Q_PROPERTY(bool alreadySaved READ isAlreadySaved CONSTANT)

public:
    enum class Kind { idle, queued, downloading, completed, failed };
    Q_ENUM(Kind)

    DownloadState() = default;
    static DownloadState idle() { return {}; }
    static DownloadState queued() { return DownloadState(Kind::queued); }
    // Progress is clamped to 0...1.
    static DownloadState downloading(double progress);
    static DownloadState completed(const QUrl &fileURL);
    // Completed without a transfer: the file was in the folder before it was asked for.
    static DownloadState alreadySaved(const QUrl &fileURL);
    static DownloadState failed(const QString &message);

    Kind kind() const { return m_kind; }
    double progress() const { return m_progress; }
    QUrl fileURL() const { return m_fileURL; }
    QString message() const { return m_message; }
    bool isAlreadySaved() const { return m_alreadySaved; }

    bool operator==(const DownloadState &) const = default;

private:
    explicit DownloadState(Kind kind) : m_kind(kind) { }

    Kind m_kind = Kind::idle;
    double m_progress = 0.0;
    QUrl m_fileURL;
    QString m_message;
    bool m_alreadySaved = false;
};

// One reel in one quality in the download queue. Its id is the reel id, "#", the quality's raw
// value ("42#720p", "42#Audio only").
struct DownloadItem
{
    QString id;
    Reel reel;
    VideoQuality quality = VideoQuality::hd720;
    DownloadState state;

    static QString makeId(const QString &reelId, VideoQuality quality);

    bool operator==(const DownloadItem &) const = default;
};

Q_DECLARE_METATYPE(DownloadState)
