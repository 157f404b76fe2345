#include "MediaFixture.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QTemporaryDir>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
}

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace MediaFixture {

namespace {

constexpr int sampleRate = 44100;
constexpr int frameRate = 30;

QString reason(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

struct FreeCodec
{
    void operator()(AVCodecContext *context) const { avcodec_free_context(&context); }
};
struct FreeFrame
{
    void operator()(AVFrame *frame) const { av_frame_free(&frame); }
};
struct FreePacket
{
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};
using Codec = std::unique_ptr<AVCodecContext, FreeCodec>;
using Frame = std::unique_ptr<AVFrame, FreeFrame>;
using Packet = std::unique_ptr<AVPacket, FreePacket>;

// One encoded stream of the clip: its encoder and every packet it gave, in the encoder's time.
struct Track
{
    Codec codec;
    AVStream *stream = nullptr;
    std::vector<Packet> packets;
    int64_t start = INT64_MAX; // in the encoder's time base
    int64_t end = INT64_MIN;
};

int drain(Track &track, const AVFrame *frame)
{
    int code = avcodec_send_frame(track.codec.get(), frame);
    if (code < 0)
        return code;
    for (;;) {
        Packet packet(av_packet_alloc());
        code = avcodec_receive_packet(track.codec.get(), packet.get());
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
            return 0;
        if (code < 0)
            return code;
        if (packet->duration <= 0)
            packet->duration = track.codec->codec_type == AVMEDIA_TYPE_AUDIO
                    ? track.codec->frame_size : 1;
        track.start = std::min(track.start, packet->pts);
        track.end = std::max(track.end, packet->pts + packet->duration);
        track.packets.push_back(std::move(packet));
    }
}

int encodeSound(Track &track, const AVFormatContext *output, double seconds)
{
    const AVCodec *encoder = avcodec_find_encoder_by_name("aac");
    if (!encoder)
        return AVERROR_ENCODER_NOT_FOUND;
    track.codec.reset(avcodec_alloc_context3(encoder));
    AVCodecContext *codec = track.codec.get();
    codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    codec->sample_rate = sampleRate;
    const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&codec->ch_layout, &stereo);
    codec->bit_rate = 128000;
    codec->time_base = { 1, sampleRate };
    if (output->oformat->flags & AVFMT_GLOBALHEADER)
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (int code = avcodec_open2(codec, encoder, nullptr); code < 0)
        return code;

    const int frames = int(std::ceil(seconds * sampleRate / codec->frame_size));
    for (int n = 0; n < frames; ++n) {
        Frame frame(av_frame_alloc());
        frame->format = codec->sample_fmt;
        frame->nb_samples = codec->frame_size;
        frame->sample_rate = sampleRate;
        av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
        if (int code = av_frame_get_buffer(frame.get(), 0); code < 0)
            return code;
        for (int c = 0; c < codec->ch_layout.nb_channels; ++c) {
            auto *samples = reinterpret_cast<float *>(frame->data[c]);
            for (int i = 0; i < frame->nb_samples; ++i) {
                const double t = double(n * codec->frame_size + i) / sampleRate;
                samples[i] = float(0.3 * std::sin(2 * M_PI * 440.0 * t));
            }
        }
        frame->pts = int64_t(n) * codec->frame_size;
        if (int code = drain(track, frame.get()); code < 0)
            return code;
    }
    return drain(track, nullptr);
}

int encodePicture(Track &track, const AVFormatContext *output, const Options &options)
{
    const AVCodec *encoder = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (!encoder)
        return AVERROR_ENCODER_NOT_FOUND;
    track.codec.reset(avcodec_alloc_context3(encoder));
    AVCodecContext *codec = track.codec.get();
    codec->width = options.pictureSize.width();
    codec->height = options.pictureSize.height();
    codec->pix_fmt = AV_PIX_FMT_YUV420P;
    codec->time_base = { 1, frameRate };
    codec->framerate = { frameRate, 1 };
    codec->gop_size = frameRate;
    codec->max_b_frames = 0;
    if (options.pictureBitRate > 0) {
        codec->bit_rate = options.pictureBitRate;
    } else {
        codec->flags |= AV_CODEC_FLAG_QSCALE;
        codec->global_quality = FF_QP2LAMBDA * 8;
    }
    if (output->oformat->flags & AVFMT_GLOBALHEADER)
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (int code = avcodec_open2(codec, encoder, nullptr); code < 0)
        return code;

    quint32 noise = 2463534242u;
    const int frames = int(std::ceil(options.seconds * frameRate));
    for (int n = 0; n < frames; ++n) {
        Frame frame(av_frame_alloc());
        frame->format = codec->pix_fmt;
        frame->width = codec->width;
        frame->height = codec->height;
        if (int code = av_frame_get_buffer(frame.get(), 0); code < 0)
            return code;
        // A gradient that moves, with grain, so that each frame costs some bits.
        for (int y = 0; y < codec->height; ++y) {
            for (int x = 0; x < codec->width; ++x) {
                noise ^= noise << 13;
                noise ^= noise >> 17;
                noise ^= noise << 5;
                frame->data[0][y * frame->linesize[0] + x] =
                        uint8_t((x + y + 3 * n) % 200 + 20 + int(noise % 16));
            }
        }
        for (int plane = 1; plane < 3; ++plane) {
            for (int y = 0; y < codec->height / 2; ++y)
                std::fill_n(frame->data[plane] + y * frame->linesize[plane], codec->width / 2,
                            uint8_t(plane == 1 ? 100 + n % 50 : 150));
        }
        frame->pts = n;
        if (int code = drain(track, frame.get()); code < 0)
            return code;
    }
    return drain(track, nullptr);
}

struct CloseOutput
{
    void operator()(AVFormatContext *context) const
    {
        if (context->pb)
            avio_closep(&context->pb);
        avformat_free_context(context);
    }
};

} // namespace

bool write(const QString &path, const Options &options, QString *error)
{
    if (av_log_get_level() > AV_LOG_ERROR)
        av_log_set_level(AV_LOG_ERROR); // the encoders' closing statistics are no news
    const QByteArray name = QFile::encodeName(path);
    AVFormatContext *made = nullptr;
    int code = avformat_alloc_output_context2(&made, nullptr, "mp4", name.constData());
    if (code < 0) {
        *error = reason(code);
        return false;
    }
    const std::unique_ptr<AVFormatContext, CloseOutput> output(made);

    std::vector<Track> tracks;
    const auto add = [&](auto encode) {
        Track track;
        if (int result = encode(track); result < 0)
            return result;
        track.stream = avformat_new_stream(output.get(), nullptr);
        avcodec_parameters_from_context(track.stream->codecpar, track.codec.get());
        track.stream->time_base = track.codec->time_base;
        tracks.push_back(std::move(track));
        return 0;
    };
    if (options.picture)
        code = add([&](Track &track) { return encodePicture(track, output.get(), options); });
    if (code >= 0 && options.sound)
        code = add([&](Track &track) { return encodeSound(track, output.get(), options.seconds); });
    if (code >= 0)
        code = avio_open(&output->pb, name.constData(), AVIO_FLAG_WRITE);
    if (code >= 0)
        code = avformat_write_header(output.get(), nullptr);

    // The packets of every track in the order of their time, once or again and again.
    struct Entry
    {
        size_t track;
        AVPacket *packet;
        double at;
    };
    std::vector<Entry> order;
    for (size_t t = 0; t < tracks.size(); ++t) {
        for (const Packet &packet : tracks[t].packets)
            order.push_back({ t, packet.get(),
                              packet->dts * av_q2d(tracks[t].codec->time_base) });
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const Entry &a, const Entry &b) { return a.at < b.at; });
    bool full = false;
    for (int repeat = 0; code >= 0 && !full; ++repeat) {
        for (const Entry &entry : order) {
            if (repeat > 0 && avio_tell(output->pb) >= options.atLeastBytes) {
                full = true;
                break;
            }
            const Track &track = tracks[entry.track];
            Packet copy(av_packet_clone(entry.packet));
            const int64_t shift = repeat * (track.end - track.start);
            copy->pts += shift;
            copy->dts += shift;
            av_packet_rescale_ts(copy.get(), track.codec->time_base, track.stream->time_base);
            copy->stream_index = track.stream->index;
            code = av_interleaved_write_frame(output.get(), copy.get());
            if (code < 0)
                break;
        }
        full = full || options.atLeastBytes <= 0;
    }
    if (code >= 0)
        code = av_write_trailer(output.get());
    if (code < 0) {
        *error = reason(code);
        return false;
    }
    return true;
}

QByteArray mp4(const Options &options)
{
    static QMutex lock;
    static QHash<QString, QByteArray> made;
    const QString key = QStringLiteral("%1 %2 %3 %4x%5 %6 %7")
                                .arg(options.sound)
                                .arg(options.picture)
                                .arg(options.seconds)
                                .arg(options.pictureSize.width())
                                .arg(options.pictureSize.height())
                                .arg(options.pictureBitRate)
                                .arg(options.atLeastBytes);
    const QMutexLocker locked(&lock);
    if (const auto found = made.constFind(key); found != made.constEnd())
        return *found;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("clip.mp4"));
    QString error;
    if (!write(path, options, &error))
        qFatal("MediaFixture: cannot make an MP4: %s", qPrintable(error));
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return *made.insert(key, file.readAll());
}

Probe probe(const QString &path)
{
    Probe found;
    AVFormatContext *opened = nullptr;
    int code = avformat_open_input(&opened, QFile::encodeName(path).constData(), nullptr, nullptr);
    if (code < 0) {
        found.error = reason(code);
        return found;
    }
    const std::unique_ptr<AVFormatContext, void (*)(AVFormatContext *)> input(
            opened, [](AVFormatContext *context) { avformat_close_input(&context); });
    code = avformat_find_stream_info(input.get(), nullptr);
    if (code < 0) {
        found.error = reason(code);
        return found;
    }
    found.format = QString::fromLatin1(input->iformat->name);
    int audio = -1;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream *stream = input->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++found.videoStreams;
        } else if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            if (found.audioStreams++ == 0)
                audio = int(i);
        }
    }
    if (audio < 0)
        return found;
    const AVStream *sound = input->streams[audio];
    found.audioCodec = QString::fromLatin1(avcodec_get_name(sound->codecpar->codec_id));
    found.audioSeconds = sound->duration * av_q2d(sound->time_base);
    Packet packet(av_packet_alloc());
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        if (packet->stream_index == audio)
            ++found.audioPackets;
        av_packet_unref(packet.get());
    }
    return found;
}

Probe probe(const QByteArray &bytes)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("probed"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        Probe failed;
        failed.error = file.errorString();
        return failed;
    }
    file.close();
    return probe(path);
}

} // namespace MediaFixture
