#include "downloads/MediaFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString partPrefix = QStringLiteral(".clipdock-");
const QString partSuffix = QStringLiteral(".part");
constexpr qsizetype maximumNameBytes = 255;

bool isUnsafe(char32_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == u'/' || c == u'\\' || c == 0x2028
            || c == 0x2029 || c == 0xfffd;
}

// Replaces unsafe code points; a lone surrogate decodes to U+FFFD and is replaced as well.
QString replaceUnsafe(const QString &text)
{
    QString safe;
    safe.reserve(text.size());
    for (char32_t c : text.toUcs4())
        safe += isUnsafe(c) ? QStringLiteral("_") : QString::fromUcs4(&c, 1);
    return safe;
}

// The longest prefix of `text` whose UTF-8 form fits in `bytes`, never splitting a code point.
QString fitUtf8(const QString &text, qsizetype bytes)
{
    QString fitted;
    qsizetype used = 0;
    for (char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        used += one.toUtf8().size();
        if (used > bytes)
            break;
        fitted += one;
    }
    return fitted;
}

QString randomPartName()
{
    const quint64 value = QRandomGenerator::global()->generate64();
    return partPrefix + QString::number(value & 0xffffffffffffULL, 16).rightJustified(12, u'0')
            + partSuffix;
}

// Deletes one leftover unless a live writer holds its lock. Links and other odd entries under a
// part file's name are junk too; unlink never follows them.
bool removeLeftover(const QByteArray &path)
{
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return false;
    if (S_ISLNK(info.st_mode))
        return ::unlink(path.constData()) == 0;
    if (!S_ISREG(info.st_mode))
        return false;
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool removed = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        removed = ::unlink(path.constData()) == 0;
    ::close(fd);
    return removed;
}

} // namespace

namespace MediaFile {

QString finalName(const QString &reelId, VideoQuality quality)
{
    const QString prefix = QStringLiteral("reel-");
    const QString suffix = u'-' + rawValue(quality) + u'.' + fileExtension(quality);
    const qsizetype room = maximumNameBytes - prefix.toUtf8().size() - suffix.toUtf8().size();

    const QString safe = replaceUnsafe(reelId);
    if (safe == reelId && reelId.toUtf8().size() <= room)
        return prefix + reelId + suffix;

    const QString digest = u'~'
            + QString::fromLatin1(QCryptographicHash::hash(reelId.toUtf8(),
                                                           QCryptographicHash::Sha256)
                                          .toHex()
                                          .left(12));
    return prefix + fitUtf8(safe, room - digest.size()) + digest + suffix;
}

std::optional<QString> savedFile(const QString &folder, const QString &reelId,
                                 VideoQuality quality)
{
    const QString path = QDir(folder).filePath(finalName(reelId, quality));
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)
        || info.st_size == 0)
        return std::nullopt;
    return path;
}

bool isPartFileName(const QString &name)
{
    return name.startsWith(partPrefix) && name.endsWith(partSuffix)
            && name.size() > partPrefix.size() + partSuffix.size();
}

int removeLeftovers(const QString &folder)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList({ partPrefix + u'*' + partSuffix },
                                            QDir::Files | QDir::Hidden | QDir::System);
    int removed = 0;
    for (const QString &name : names) {
        if (isPartFileName(name) && removeLeftover(QFile::encodeName(dir.filePath(name))))
            ++removed;
    }
    return removed;
}

} // namespace MediaFile

std::shared_ptr<PartFile> PartFile::create(const QString &folder, QString *error)
{
    std::shared_ptr<PartFile> part(new PartFile(folder));
    const QDir dir(folder);
    // NewOnly creates with O_EXCL: an entry already standing at the name, a link included, is
    // never opened. A clash with another part file's random name only costs another try.
    for (int attempt = 0; attempt < 8; ++attempt) {
        part->m_file.setFileName(dir.filePath(randomPartName()));
        if (part->m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            ::flock(part->m_file.handle(), LOCK_EX | LOCK_NB);
            return part;
        }
        if (!part->m_file.exists())
            break;
    }
    *error = part->m_file.errorString();
    part->m_file.setFileName(QString());
    return nullptr;
}

PartFile::~PartFile()
{
    if (!m_finalPath.isEmpty() || m_file.fileName().isEmpty())
        return;
    // Unlink while the lock is still held, so no sweep can mistake the file for a leftover.
    ::unlink(QFile::encodeName(m_file.fileName()).constData());
    m_file.close();
}

bool PartFile::exists() const
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path()).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PartFile::write(const char *data, qint64 size)
{
    // Straight to the descriptor: QFile reports a write cut short (a full disk, a size limit)
    // without a reason, while the write that follows it gets the system's own.
    const int fd = m_file.handle();
    qint64 done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, data + done, size_t(size - done));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            m_error = qt_error_string(errno);
            m_size += done;
            return false;
        }
        done += written;
    }
    m_size += size;
    return true;
}

bool PartFile::commit(const QString &name, const QDateTime &modified)
{
    // Dated before the rename, so the file never shows under its name with the wrong time. A
    // file system that keeps no such time still gets the file.
    if (modified.isValid()) {
        const qint64 ms = modified.toMSecsSinceEpoch();
        const qint64 seconds = ms / 1000 - (ms % 1000 < 0 ? 1 : 0);
        timespec times[2] {};
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = time_t(seconds);
        times[1].tv_nsec = long(ms - seconds * 1000) * 1'000'000;
        ::futimens(m_file.handle(), times);
    }
    const QString target = QDir(m_folder).filePath(name);
    // rename(2) swaps the directory entry in one step: the name holds the old file until the new
    // one is complete in its place, and whatever entry stood there, a link included, is replaced
    // rather than followed.
    if (::rename(QFile::encodeName(path()).constData(), QFile::encodeName(target).constData())
        != 0) {
        m_error = qt_error_string(errno);
        return false;
    }
    m_finalPath = target;
    m_file.close();
    return true;
}
