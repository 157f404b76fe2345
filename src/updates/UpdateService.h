#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QtQmlIntegration>

#include <optional>
#include <variant>

// A newer release, as the manifest describes it.
struct UpdateInfo
{
    Q_GADGET
    QML_VALUE_TYPE(updateInfo)
    Q_PROPERTY(QString version MEMBER version CONSTANT)
    Q_PROPERTY(QUrl downloadURL MEMBER downloadURL CONSTANT)
    Q_PROPERTY(QString releaseNotes READ releaseNotesText CONSTANT)
    Q_PROPERTY(bool hasReleaseNotes READ hasReleaseNotes CONSTANT)
    Q_PROPERTY(QString publishedAt READ publishedAtText CONSTANT)

public:
    QString version;
    QUrl downloadURL;
    std::optional<QString> releaseNotes;
    std::optional<QString> publishedAt; // as the manifest gives it

    QString releaseNotesText() const { return releaseNotes.value_or(QString()); }
    bool hasReleaseNotes() const { return releaseNotes.has_value(); }
    QString publishedAtText() const { return publishedAt.value_or(QString()); }

    bool operator==(const UpdateInfo &) const = default;
};

// The outcome of the latest update check.
class UpdateState
{
    Q_GADGET
    QML_VALUE_TYPE(updateState)
    Q_PROPERTY(Kind kind READ kind CONSTANT)
    Q_PROPERTY(UpdateInfo info READ info CONSTANT)
    Q_PROPERTY(QString message READ message CONSTANT)

public:
    enum class Kind { idle, checking, upToDate, available, failed };
    Q_ENUM(Kind)

    UpdateState() = default;
    static UpdateState idle() { return {}; }
    static UpdateState checking() { return UpdateState(Kind::checking); }
    static UpdateState upToDate() { return UpdateState(Kind::upToDate); }
    static UpdateState available(const UpdateInfo &info);
    static UpdateState failed(const QString &message);

    Kind kind() const { return m_kind; }
    UpdateInfo info() const { return m_info; }
    QString message() const { return m_message; }

    bool operator==(const UpdateState &) const = default;

private:
    explicit UpdateState(Kind kind) : m_kind(kind) { }

    Kind m_kind = Kind::idle;
    UpdateInfo m_info;
    QString m_message;
};

// The manifest as published: {"latest_version", "download_url", "release_notes", "published_at",
// "min_version"}; other keys are ignored.
struct UpdateManifest
{
    QString latestVersion;
    QString downloadURL;
    std::optional<QString> releaseNotes;
    std::optional<QString> publishedAt;
    std::optional<QString> minVersion; // read and kept; plays no part in the decision

    // The manifest, or the reason the body is not one.
    static std::variant<UpdateManifest, QString> decode(const QByteArray &json);
};

// Tells whether a newer release exists by reading the maker's manifest.
class UpdateService : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the application")
    Q_PROPERTY(UpdateState state READ state NOTIFY stateChanged)
    Q_PROPERTY(QDateTime lastChecked READ lastChecked NOTIFY lastCheckedChanged)

public:
    using State = UpdateState;

    explicit UpdateService(QObject *parent = nullptr);

    UpdateState state() const { return m_state; }
    // When the latest check read a valid manifest; invalid until then.
    QDateTime lastChecked() const { return m_lastChecked; }

    // Compares the running version with the manifest's. A visible check shows `checking` while it
    // runs and is not started again while one runs; a silent one changes the state only at its
    // end. Every failure ends in the `failed` state; `checkFinished` follows every outcome.
    Q_INVOKABLE void check(bool silent);

    // A download address the app may hand to the desktop's URL opener: http or https with a host
    // and without user-info.
    static std::optional<QUrl> readableDownloadURL(const QString &text);

Q_SIGNALS:
    void stateChanged();
    void lastCheckedChanged();
    void checkFinished();

private:
    void setState(const UpdateState &state);
    void setLastChecked(const QDateTime &when);

    UpdateState m_state;
    QDateTime m_lastChecked;
};

Q_DECLARE_METATYPE(UpdateInfo)
Q_DECLARE_METATYPE(UpdateState)
