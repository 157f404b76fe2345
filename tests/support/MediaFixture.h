#pragma once

// Real MP4 files, made on the spot with the system's FFmpeg libraries: AAC sound (a 440 Hz tone,
// 44.1 kHz stereo, the native "aac" encoder) and an MPEG-4 picture at 30 frames a second, or
// either alone. Also reads back what a file holds, to check what the app made of one.

#include <QByteArray>
#include <QSize>
#include <QString>

namespace MediaFixture {

struct Options
{
    bool sound = true;
    bool picture = true;
    double seconds = 2.0;
    QSize pictureSize{ 64, 64 };
    int pictureBitRate = 0; // bits a second; 0 for a fixed, modest quality
    // When set, the clip is repeated (its packets copied on in time) until the file holds at
    // least this many bytes: a long rendition without the time of encoding one.
    qint64 atLeastBytes = 0;
};

// Writes the MP4 to `path`; false with the library's reason in `error`.
bool write(const QString &path, const Options &options, QString *error);
// The same file's bytes; made once per set of options and process.
QByteArray mp4(const Options &options = {});

struct Probe
{
    QString error; // the library's reason when the file could not be read
    QString format; // "mov,mp4,m4a,3gp,3g2,mj2"
    int audioStreams = 0;
    int videoStreams = 0;
    QString audioCodec; // "aac"
    double audioSeconds = 0; // of the first audio stream
    int audioPackets = 0;
};

Probe probe(const QString &path);
Probe probe(const QByteArray &bytes);

// How long one coded audio frame lasts.
constexpr double audioFrameSeconds = 1024.0 / 44100.0;

} // namespace MediaFixture
