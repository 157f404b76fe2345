#pragma once

// Small readers for the Instagram web API's answers: typed JSON look-ups that treat a value of
// another type as absent, the mapping of video renditions onto qualities, and the one-line snippet
// of an error body.

#include "core/VideoQuality.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace InstagramParsing {

std::optional<QString> stringValue(const QJsonValue &value);
// A whole JSON number within the range of qint64.
std::optional<qint64> integerValue(const QJsonValue &value);
std::optional<double> numberValue(const QJsonValue &value);
std::optional<bool> boolValue(const QJsonValue &value);
std::optional<QJsonObject> objectValue(const QJsonValue &value);
// A list whose every element is an object; nothing when any element is something else.
std::optional<QList<QJsonObject>> objectList(const QJsonValue &value);

// An absolute http or https address. Characters a URL does not allow, such as letters outside
// ASCII, are percent-encoded as UTF-8 rather than rejected.
std::optional<QUrl> webURL(const QString &text);

// A fractional number of seconds rounded to whole seconds, halves away from zero; nothing when it
// lies outside qint64.
std::optional<qint64> roundedSeconds(double seconds);

// One rendition of a video as the API lists it.
struct Rendition
{
    qint64 width = 0;
    QUrl url;
};

// 1080p takes the widest rendition at least 1000 wide, 720p the widest from 700 to 999, 480p the
// widest below 700, and audio the narrowest (the later one among equals). A quality without a
// rendition of its width is left out; audio is present whenever any rendition is.
QHash<VideoQuality, QUrl> variantsByWidth(QList<Rendition> renditions);

// Everything but the unreserved characters percent-encoded (UTF-8): a text that stands as one
// path segment, query value or form value, so that "/", "#", "+", "&" and "=" in it reach the
// server as data rather than as syntax.
QByteArray percentEncoded(const QString &text);

} // namespace InstagramParsing
