#include "downloads/AudioTrack.h"

#include <QCoreApplication>
#include <QFile>
#include <QFutureWatcher>
#include <QtConcurrentRun>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Stop = std::shared_ptr<std::atomic_bool>;
using CopyResult = std::optional<AudioTrackError>;

constexpr int ioBufferSize = 256 * 1024;

QString libraryReason(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text).simplified();
}

// An open descriptor as the library's input or output: reads, writes and seeks go straight to
// it, so the library never opens a path of its own.
class FileIO
{
public:
    FileIO(int fd, bool writing, const std::atomic_bool &stop) : m_fd(fd), m_stop(stop)
    {
        auto *buffer = static_cast<unsigned char *>(av_malloc(ioBufferSize));
        if (buffer) {
            m_context = avio_alloc_context(buffer, ioBufferSize, writing ? 1 : 0, this,
                                           writing ? nullptr : &FileIO::read,
                                           writing ? &FileIO::write : nullptr, &FileIO::seek);
        }
        if (!m_context)
            av_free(buffer);
    }
    ~FileIO()
    {
        if (m_context) {
            av_freep(&m_context->buffer);
            avio_context_free(&m_context);
        }
        ::close(m_fd);
    }
    FileIO(const FileIO &) = delete;
    FileIO &operator=(const FileIO &) = delete;

    AVIOContext *context() const { return m_context; }

private:
    static int read(void *opaque, uint8_t *buffer, int size)
    {
        auto *self = static_cast<FileIO *>(opaque);
        if (self->m_stop)
            return AVERROR_EXIT;
        ssize_t got;
        do
            got = ::read(self->m_fd, buffer, size_t(size));
        while (got < 0 && errno == EINTR);
        if (got < 0)
            return AVERROR(errno);
        return got == 0 ? AVERROR_EOF : int(got);
    }

    static int write(void *opaque, uint8_t *buffer, int size)
    {
        auto *self = static_cast<FileIO *>(opaque);
        if (self->m_stop)
            return AVERROR_EXIT;
        for (int done = 0; done < size;) {
            const ssize_t written = ::write(self->m_fd, buffer + done, size_t(size - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0)
                return AVERROR(errno);
            done += int(written);
        }
        return size;
    }

    static int64_t seek(void *opaque, int64_t offset, int whence)
    {
        auto *self = static_cast<FileIO *>(opaque);
        if (whence & AVSEEK_SIZE) {
            struct stat info {};
            return ::fstat(self->m_fd, &info) == 0 ? int64_t(info.st_size) : AVERROR(errno);
        }
        const off_t at = ::lseek(self->m_fd, off_t(offset), whence & ~AVSEEK_FORCE);
        return at < 0 ? AVERROR(errno) : int64_t(at);
    }

    int m_fd;
    const std::atomic_bool &m_stop;
    AVIOContext *m_context = nullptr;
};

struct CloseInput
{
    void operator()(AVFormatContext *context) const { avformat_close_input(&context); }
};
struct FreeOutput
{
    void operator()(AVFormatContext *context) const { avformat_free_context(context); }
};
struct FreePacket
{
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};

// Opens an existing file; never creates one, so a part file removed in the meantime (its run was
// cancelled) is not made again here.
int openExisting(const QString &path, int flags)
{
    return ::open(QFile::encodeName(path).constData(), flags | O_NOFOLLOW | O_CLOEXEC);
}

// The work of the worker thread: the audio stream of the MP4 at `from` into the file at `to`.
CopyResult copySound(const QString &from, const QString &to, const Stop &stop)
{
    if (*stop)
        return std::nullopt; // the caller has already answered "cancelled"
    const int inFd = openExisting(from, O_RDONLY);
    if (inFd < 0)
        return AudioTrackError::fileSystem(qt_error_string(errno));
    FileIO input(inFd, false, *stop);
    const int outFd = openExisting(to, O_WRONLY);
    if (outFd < 0)
        return AudioTrackError::fileSystem(qt_error_string(errno));
    FileIO output(outFd, true, *stop);
    if (!input.context() || !output.context())
        return AudioTrackError::media(libraryReason(AVERROR(ENOMEM)));

    AVFormatContext *opened = avformat_alloc_context();
    if (!opened)
        return AudioTrackError::media(libraryReason(AVERROR(ENOMEM)));
    opened->pb = input.context();
    // Read as MP4 and nothing else: a rendition is never probed as a playlist or any other
    // format that would have the library open further files or addresses.
    int code = avformat_open_input(&opened, nullptr, av_find_input_format("mp4"), nullptr);
    if (code < 0) // the library freed the context
        return AudioTrackError::media(libraryReason(code));
    const std::unique_ptr<AVFormatContext, CloseInput> reader(opened);

    const int index = av_find_best_stream(reader.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0)
        return AudioTrackError::noSound();
    const AVStream *sound = reader->streams[index];
    // The reader then skips the picture's bytes instead of reading them to throw them away.
    for (unsigned i = 0; i < reader->nb_streams; ++i) {
        if (int(i) != index)
            reader->streams[i]->discard = AVDISCARD_ALL;
    }

    // The audio-file flavour of MP4 where it takes the codec (AAC does), plain MP4 otherwise.
    const AVOutputFormat *format = av_guess_format("ipod", nullptr, nullptr);
    if (avformat_query_codec(format, sound->codecpar->codec_id, FF_COMPLIANCE_NORMAL) != 1)
        format = av_guess_format("mp4", nullptr, nullptr);
    AVFormatContext *made = nullptr;
    code = avformat_alloc_output_context2(&made, format, nullptr, nullptr);
    if (code < 0)
        return AudioTrackError::media(libraryReason(code));
    const std::unique_ptr<AVFormatContext, FreeOutput> writer(made);
    writer->pb = output.context();
    AVStream *track = avformat_new_stream(writer.get(), nullptr);
    if (!track)
        return AudioTrackError::media(libraryReason(AVERROR(ENOMEM)));
    code = avcodec_parameters_copy(track->codecpar, sound->codecpar);
    if (code < 0)
        return AudioTrackError::media(libraryReason(code));
    track->codecpar->codec_tag = 0; // the writer picks its own tag for the codec
    track->time_base = sound->time_base;
    code = avformat_write_header(writer.get(), nullptr);
    if (code < 0)
        return AudioTrackError::media(libraryReason(code));

    const std::unique_ptr<AVPacket, FreePacket> packet(av_packet_alloc());
    if (!packet)
        return AudioTrackError::media(libraryReason(AVERROR(ENOMEM)));
    while ((code = av_read_frame(reader.get(), packet.get())) >= 0) {
        if (packet->stream_index != index) {
            av_packet_unref(packet.get());
            continue;
        }
        av_packet_rescale_ts(packet.get(), sound->time_base, track->time_base);
        packet->stream_index = 0;
        packet->pos = -1;
        code = av_interleaved_write_frame(writer.get(), packet.get()); // takes the packet's data
        if (code < 0)
            return AudioTrackError::media(libraryReason(code));
    }
    if (code != AVERROR_EOF)
        return AudioTrackError::media(libraryReason(code));
    code = av_write_trailer(writer.get());
    if (code < 0)
        return AudioTrackError::media(libraryReason(code));
    return std::nullopt;
}

// The library's own messages would go to standard error, which the command line keeps for its
// own lines; the reason that matters reaches the user as the item's message.
void quietLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

// One extraction on the main thread: what it holds until its one answer.
struct Job
{
    std::shared_ptr<PartFile> rendition;
    std::shared_ptr<PartFile> track;
    Cancellation cancel;
    AudioTrack::Completion done;

    void finish(const CopyResult &error)
    {
        if (!done)
            return;
        const AudioTrack::Completion callback = std::exchange(done, {});
        rendition.reset();
        std::shared_ptr<PartFile> made = std::exchange(track, {});
        if (cancel.isCancelled())
            callback(AudioTrack::Result::cancelled());
        else if (error)
            callback(*error);
        else
            callback(made);
    }
};

} // namespace

AudioTrackError AudioTrackError::noSound()
{
    return AudioTrackError();
}

AudioTrackError AudioTrackError::media(const QString &reason)
{
    return { Kind::media, reason };
}

AudioTrackError AudioTrackError::fileSystem(const QString &message)
{
    return { Kind::fileSystem, message };
}

QString AudioTrackError::description() const
{
    return kind == Kind::noSound
            ? QCoreApplication::translate("AudioTrackError", "This reel has no sound.")
            : message;
}

namespace AudioTrack {

void extract(std::shared_ptr<PartFile> rendition, const Cancellation &cancel, QObject *context,
             Completion done)
{
    quietLibrary();
    auto job = std::make_shared<Job>(Job{ std::move(rendition), nullptr, cancel, std::move(done) });
    QString error;
    job->track = PartFile::create(job->rendition->folder(), &error);
    if (!job->track) {
        post(context, [job, error] { job->finish(AudioTrackError::fileSystem(error)); });
        return;
    }

    auto stop = std::make_shared<std::atomic_bool>(false);
    auto *watcher = new QFutureWatcher<CopyResult>(context);
    // However the watcher goes, with its answer or with its owner, the copy stops soon after.
    QObject::connect(watcher, &QObject::destroyed, [stop] { *stop = true; });
    QObject::connect(watcher, &QFutureWatcherBase::finished, watcher, [watcher, job] {
        watcher->deleteLater();
        job->finish(watcher->result());
    });
    // A cancelled copy answers without waiting for the worker; its part files go with that
    // answer, and the worker, told to stop, ends at its next read or write. The hook holds the
    // job weakly: the handle may outlive the job and must not keep its part files alive.
    cancel.bind(watcher, [stop, watcher, weak = std::weak_ptr<Job>(job)] {
        *stop = true;
        post(watcher, [job = weak.lock()] {
            if (job)
                job->finish(std::nullopt);
        });
    });
    watcher->setFuture(QtConcurrent::run(copySound, job->rendition->path(), job->track->path(),
                                         stop));
}

} // namespace AudioTrack
