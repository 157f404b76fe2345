#include "updates/UpdateService.h"

#include "core/Config.h"
#include "core/Http.h"
#include "updates/AppVersion.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

UpdateState UpdateState::available(const UpdateInfo &info)
{
    UpdateState state(Kind::available);
    state.m_info = info;
    return state;
}

UpdateState UpdateState::failed(const QString &message)
{
    UpdateState state(Kind::failed);
    state.m_message = message;
    return state;
}

std::variant<UpdateManifest, QString> UpdateManifest::decode(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return QCoreApplication::translate("UpdateManifest",
                                           "The update manifest isn't valid JSON (%1).")
                .arg(parseError.errorString());
    if (!document.isObject())
        return QCoreApplication::translate("UpdateManifest",
                                           "The update manifest isn't a JSON object.");
    const QJsonObject object = document.object();

    const auto required = [&](const char *key, QString &target) -> std::optional<QString> {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return QCoreApplication::translate("UpdateManifest",
                                               "The update manifest lacks \"%1\".")
                    .arg(QLatin1String(key));
        if (!value.isString())
            return QCoreApplication::translate("UpdateManifest",
                                               "The update manifest's \"%1\" isn't text.")
                    .arg(QLatin1String(key));
        target = value.toString();
        return std::nullopt;
    };
    const auto optional = [&](const char *key) -> std::optional<QString> {
        const QJsonValue value = object.value(QLatin1String(key));
        return value.isString() ? std::optional(value.toString()) : std::nullopt;
    };

    UpdateManifest manifest;
    if (auto problem = required("latest_version", manifest.latestVersion))
        return *problem;
    if (auto problem = required("download_url", manifest.downloadURL))
        return *problem;
    manifest.releaseNotes = optional("release_notes");
    manifest.publishedAt = optional("published_at");
    manifest.minVersion = optional("min_version");
    return manifest;
}

UpdateService::UpdateService(QObject *parent) : QObject(parent) { }

std::optional<QUrl> UpdateService::readableDownloadURL(const QString &text)
{
    // The address goes to the desktop's URL opener: anything but a plain web address (a local
    // file, a script, a network share, credentials in the address) is not offered.
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        return std::nullopt;
    const QString scheme = url.scheme().toLower();
    if (scheme != QStringLiteral("https") && scheme != QStringLiteral("http"))
        return std::nullopt;
    if (url.host().isEmpty() || !url.userInfo().isEmpty())
        return std::nullopt;
    return url;
}

void UpdateService::check(bool silent)
{
    if (m_state.kind() == UpdateState::Kind::checking)
        return;
    if (!silent)
        setState(UpdateState::checking());

    QNetworkRequest request = Http::request(Config::current().updateManifestURL());
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("User-Agent", "Mozilla/5.0 ClipDock");

    Http::get(request, Cancellation(), this, [this](const Outcome<NetworkError, HttpResponse> &result) {
        if (result.failed()) {
            setState(UpdateState::failed(result.error().message));
        } else if (const HttpResponse &response = result.value();
                   response.status < 200 || response.status > 299) {
            setState(UpdateState::failed(tr("Manifest returned HTTP %1").arg(response.status)));
        } else {
            const auto decoded = UpdateManifest::decode(response.body);
            if (const auto *problem = std::get_if<QString>(&decoded)) {
                setState(UpdateState::failed(*problem));
            } else {
                const auto &manifest = std::get<UpdateManifest>(decoded);
                setLastChecked(QDateTime::currentDateTime());
                const auto url = readableDownloadURL(manifest.downloadURL);
                if (url && AppVersion::isOlder(AppVersion::current(), manifest.latestVersion)) {
                    setState(UpdateState::available(UpdateInfo{
                        manifest.latestVersion, *url, manifest.releaseNotes, manifest.publishedAt }));
                } else {
                    setState(UpdateState::upToDate());
                }
            }
        }
        Q_EMIT checkFinished();
    });
}

void UpdateService::setState(const UpdateState &state)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged();
}

void UpdateService::setLastChecked(const QDateTime &when)
{
    if (when == m_lastChecked)
        return;
    m_lastChecked = when;
    Q_EMIT lastCheckedChanged();
}
