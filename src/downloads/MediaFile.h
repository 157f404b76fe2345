#pragma once

// Where a download is written and how it takes its final name. A transfer writes into a hidden
// part file inside the destination folder; only a complete, accepted file is renamed over its
// final name, so that name always holds either the earlier file or the whole new one, and a
// failed or cancelled transfer leaves nothing behind.

#include "core/VideoQuality.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <memory>
#include <optional>

namespace MediaFile {

// "reel-" + reel id + "-" + quality raw value + "." + extension ("reel-42-1080p.mp4",
// "reel-42-Audio only.m4a"), made safe as one name inside a folder: path separators and control
// characters become "_" and the name fits in 255 bytes. An id that had to change gains "~" and a
// digest of the original, so two different ids never share a file.
QString finalName(const QString &reelId, VideoQuality quality);

// The file an earlier download left for this reel in this quality: a regular file under its
// final name in `folder`, with something in it. An empty file (a copy cut short outside this
// app) or a link is none.
std::optional<QString> savedFile(const QString &folder, const QString &reelId,
                                 VideoQuality quality);

// Whether `name` is the hidden name of a part file.
bool isPartFileName(const QString &name);

// Deletes the part files in `folder` that no running transfer holds open, as a crash leaves them.
// Returns how many went.
int removeLeftovers(const QString &folder);

} // namespace MediaFile

// One transfer's part file. It is created with a fresh hidden name, never through an existing
// entry, and held locked while open so that removeLeftovers() in this or another process keeps
// its hands off. Destroying it deletes the file unless it was committed.
class PartFile
{
public:
    // A new, empty part file in `folder`, or null with the system's message in `error`.
    static std::shared_ptr<PartFile> create(const QString &folder, QString *error);
    ~PartFile();

    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    QString path() const { return m_file.fileName(); }
    QString folder() const { return m_folder; }
    qint64 size() const { return m_size; }
    bool exists() const;

    // Appends; false when the disk refuses (errorString() says why).
    bool write(const char *data, qint64 size);

    // Renames the file to `name` inside its folder in one step, replacing what stood there: a file
    // of that name is replaced whole, a symbolic link is replaced itself and never written
    // through. It arrives with `modified` as its modification time (the reel's posting time, so
    // a folder sorted by date is in posting order); an invalid time leaves the time of saving.
    // False when the system refuses the rename; the part file then stays and goes on destruction.
    bool commit(const QString &name, const QDateTime &modified);
    QString finalPath() const { return m_finalPath; }

    QString errorString() const { return m_error; }

private:
    explicit PartFile(const QString &folder) : m_folder(folder) { }

    QString m_folder;
    QFile m_file;
    qint64 m_size = 0;
    QString m_finalPath;
    QString m_error;
};
