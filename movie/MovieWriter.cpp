#include "movie/MovieWriter.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "movie/FfmpegSupport.h"
#include "movie/MovieTypes.h"
#include "movie/SoundTrack.h"

extern "C" {
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace quillet {

namespace {
constexpr const char* kCodecMissing =
    "무비작성에 필요한 xvid 코덱이 설치되어 있지 않습니다. \n\r 지금 다운로드하시겠습니까?";
constexpr const char* kFormatMismatch = "영상과 코덱의 형식이 일치하지 않습니다.";
constexpr int kAudioChunk = 4096;  // sample frames per sound packet at most

std::string FileInUse(const std::string& path) { return "현재 파일(" + path + ")은 사용중입니다."; }
}  // namespace

struct MovieWriter::State {
    std::string path;
    AVFormatContext* output = nullptr;
    ffmpeg::Codec encoder;
    AVStream* video = nullptr;
    AVStream* audio = nullptr;
    const SoundTrack* sound = nullptr;
    int64_t soundFramesWritten = 0;
    SwsContext* converter = nullptr;
    // Pictures handed to the encoder stay referenced for a while; the writer converts into one
    // the encoder has let go of, so none is allocated or copied once the set has grown.
    std::vector<ffmpeg::Frame> pictures;
    ffmpeg::Packet packet;
    int64_t frames = 0;
    bool headerWritten = false;
    bool finished = false;

    ~State() {
        sws_freeContext(converter);
        if (output) {
            if (output->pb) avio_closep(&output->pb);
            avformat_free_context(output);
        }
        if (!finished && !path.empty()) std::remove(path.c_str());
    }

    AVFrame* FreePicture() {
        for (ffmpeg::Frame& f : pictures)
            if (av_frame_is_writable(f.get())) return f.get();
        ffmpeg::Frame f(av_frame_alloc());
        if (!f) return nullptr;
        f->format = encoder->pix_fmt;
        f->width = encoder->width;
        f->height = encoder->height;
        if (av_frame_get_buffer(f.get(), 0) < 0) return nullptr;
        pictures.push_back(std::move(f));
        return pictures.back().get();
    }

    MovieResult Drain() {
        for (;;) {
            int rc = avcodec_receive_packet(encoder.get(), packet.get());
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return MovieResult::Ok();
            if (rc < 0) return MovieResult::Fail(MovieError::WriteFailed, ffmpeg::ErrorText(rc));
            av_packet_rescale_ts(packet.get(), encoder->time_base, video->time_base);
            packet->stream_index = video->index;
            rc = av_interleaved_write_frame(output, packet.get());
            if (rc < 0) return MovieResult::Fail(MovieError::WriteFailed, ffmpeg::ErrorText(rc));
        }
    }

    // Sound up to `until` sample frames, in packets of at most kAudioChunk.
    MovieResult WriteSound(int64_t until) {
        if (!audio) return MovieResult::Ok();
        until = std::min(until, sound->Frames());
        while (soundFramesWritten < until) {
            const int n = int(std::min<int64_t>(kAudioChunk, until - soundFramesWritten));
            const int bytes = n * sound->channels * 2;
            if (av_new_packet(packet.get(), bytes) < 0)
                return MovieResult::Fail(MovieError::WriteFailed, "out of memory");
            std::copy_n(reinterpret_cast<const uint8_t*>(sound->samples.data() +
                                                         soundFramesWritten * sound->channels),
                        bytes, packet->data);
            packet->stream_index = audio->index;
            packet->pts = packet->dts =
                av_rescale_q(soundFramesWritten, {1, sound->sampleRate}, audio->time_base);
            packet->duration = av_rescale_q(n, {1, sound->sampleRate}, audio->time_base);
            packet->flags |= AV_PKT_FLAG_KEY;
            soundFramesWritten += n;
            const int rc = av_interleaved_write_frame(output, packet.get());
            if (rc < 0) return MovieResult::Fail(MovieError::WriteFailed, ffmpeg::ErrorText(rc));
        }
        return MovieResult::Ok();
    }
};

MovieWriter::MovieWriter() = default;
MovieWriter::~MovieWriter() = default;

int64_t MovieWriter::FramesWritten() const { return s_ ? s_->frames : 0; }

MovieResult MovieWriter::Open(const std::string& path, const MovieWriterOptions& options) {
    s_ = std::make_unique<State>();
    State& s = *s_;
    if (options.width <= 0 || options.height <= 0 || options.width % 2 || options.height % 2)
        return MovieResult::Fail(MovieError::FormatMismatch, kFormatMismatch);
    if (avformat_alloc_output_context2(&s.output, nullptr, "avi", path.c_str()) < 0)
        return MovieResult::Fail(MovieError::FileInUse, FileInUse(path));

    const AVCodec* codec = avcodec_find_encoder_by_name(options.encoder.c_str());
    if (!codec || codec->id != AV_CODEC_ID_MPEG4) codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (!codec) return MovieResult::Fail(MovieError::CodecMissing, kCodecMissing);
    s.encoder.reset(avcodec_alloc_context3(codec));
    s.video = avformat_new_stream(s.output, nullptr);
    s.packet.reset(av_packet_alloc());
    if (!s.encoder || !s.video || !s.packet)
        return MovieResult::Fail(MovieError::CodecMissing, kCodecMissing);

    AVCodecContext* e = s.encoder.get();
    e->width = options.width;
    e->height = options.height;
    e->pix_fmt = AV_PIX_FMT_YUV420P;
    e->time_base = {kMovieRateDen, kMovieRateNum};
    e->framerate = {kMovieRateNum, kMovieRateDen};
    e->gop_size = 1;      // every frame a key frame
    e->thread_count = 0;  // slices on every core, as the ffmpeg program does
    e->codec_tag = MKTAG('X', 'V', 'I', 'D');
    e->flags |= AV_CODEC_FLAG_QSCALE;
    e->global_quality = FF_QP2LAMBDA * std::clamp(options.quantiser, 1, 31);
    if (s.output->oformat->flags & AVFMT_GLOBALHEADER) e->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(e, codec, nullptr) < 0)
        return MovieResult::Fail(MovieError::CodecMissing, kCodecMissing);
    if (avcodec_parameters_from_context(s.video->codecpar, e) < 0)
        return MovieResult::Fail(MovieError::FormatMismatch, kFormatMismatch);
    s.video->codecpar->codec_tag = MKTAG('X', 'V', 'I', 'D');
    s.video->time_base = e->time_base;
    s.video->avg_frame_rate = e->framerate;
    av_dict_set(&s.video->metadata, "title", "Video Stream", 0);

    if (options.sound && !options.sound->Empty()) {
        s.sound = options.sound;
        s.audio = avformat_new_stream(s.output, nullptr);
        if (!s.audio) return MovieResult::Fail(MovieError::FormatMismatch, kFormatMismatch);
        AVCodecParameters* a = s.audio->codecpar;
        a->codec_type = AVMEDIA_TYPE_AUDIO;
        a->codec_id = AV_CODEC_ID_PCM_S16LE;
        a->sample_rate = s.sound->sampleRate;
        av_channel_layout_default(&a->ch_layout, s.sound->channels);
        a->bits_per_coded_sample = 16;
        a->block_align = 2 * s.sound->channels;
        a->bit_rate = int64_t(a->sample_rate) * a->block_align * 8;
        s.audio->time_base = {1, s.sound->sampleRate};
    }

    s.converter = sws_getContext(e->width, e->height, AV_PIX_FMT_BGR24, e->width, e->height,
                                 e->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!s.converter) return MovieResult::Fail(MovieError::FormatMismatch, kFormatMismatch);

    if (avio_open(&s.output->pb, path.c_str(), AVIO_FLAG_WRITE) < 0)
        return MovieResult::Fail(MovieError::FileInUse, FileInUse(path));
    s.path = path;  // from here on an unfinished file is removed
    if (avformat_write_header(s.output, nullptr) < 0)
        return MovieResult::Fail(MovieError::FileInUse, FileInUse(path));
    s.headerWritten = true;
    return MovieResult::Ok();
}

MovieResult MovieWriter::Write(const Frame24& frame) {
    if (!s_ || !s_->headerWritten || s_->finished)
        return MovieResult::Fail(MovieError::WriteFailed, "the movie is not open");
    State& s = *s_;
    if (frame.width != s.encoder->width || frame.height != s.encoder->height)
        return MovieResult::Fail(MovieError::FormatMismatch, kFormatMismatch);
    AVFrame* picture = s.FreePicture();
    if (!picture) return MovieResult::Fail(MovieError::WriteFailed, "out of memory");
    // Bottom-up rows: start at the top row and step backwards.
    const uint8_t* src[4] = {frame.TopRow(0), nullptr, nullptr, nullptr};
    const int srcStride[4] = {-int(frame.stride), 0, 0, 0};
    sws_scale(s.converter, src, srcStride, 0, frame.height, picture->data, picture->linesize);
    picture->pts = s.frames;
    picture->quality = s.encoder->global_quality;  // the fixed quantiser is read per picture
    int rc = avcodec_send_frame(s.encoder.get(), picture);
    if (rc < 0) return MovieResult::Fail(MovieError::WriteFailed, ffmpeg::ErrorText(rc));
    ++s.frames;
    if (MovieResult r = s.Drain(); !r.ok()) return r;
    if (s.audio) {
        const int64_t until =
            av_rescale(s.frames, int64_t(s.sound->sampleRate) * kMovieRateDen, kMovieRateNum);
        return s.WriteSound(until);
    }
    return MovieResult::Ok();
}

MovieResult MovieWriter::Finish() {
    if (!s_ || !s_->headerWritten || s_->finished)
        return MovieResult::Fail(MovieError::WriteFailed, "the movie is not open");
    State& s = *s_;
    avcodec_send_frame(s.encoder.get(), nullptr);
    if (MovieResult r = s.Drain(); !r.ok()) return r;
    if (s.audio)
        if (MovieResult r = s.WriteSound(s.sound->Frames()); !r.ok()) return r;
    int rc = av_write_trailer(s.output);
    if (rc >= 0) rc = avio_closep(&s.output->pb);
    if (rc < 0) return MovieResult::Fail(MovieError::WriteFailed, ffmpeg::ErrorText(rc));
    s.finished = true;
    return MovieResult::Ok();
}

}  // namespace quillet
