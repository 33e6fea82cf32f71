#include "movie/ClipReader.h"

#include <cmath>

#include "movie/FfmpegSupport.h"

extern "C" {
#include <libswscale/swscale.h>
}

namespace quillet {

struct ClipReader::State {
    ffmpeg::Input input;
    ffmpeg::Codec decoder;
    int stream = -1;
    double timeBase = 0.0;
    double seconds = 0.0;
    double rate = 10.0;
    ffmpeg::Packet packet{av_packet_alloc()};
    ffmpeg::Frame current{av_frame_alloc()};  // the latest picture at or before the last time
    ffmpeg::Frame next{av_frame_alloc()};     // decoded ahead, starting after the last time
    bool haveCurrent = false;
    bool haveNext = false;
    bool ended = false;
    bool sought = false;
    SwsContext* scaler = nullptr;

    ~State() { sws_freeContext(scaler); }

    double TimeOf(const AVFrame* f) const {
        const int64_t pts =
            f->best_effort_timestamp != AV_NOPTS_VALUE ? f->best_effort_timestamp : f->pts;
        return pts == AV_NOPTS_VALUE ? 0.0 : double(pts) * timeBase;
    }

    // Decodes the next picture into `next`; false at the end of the clip.
    bool DecodeNext() {
        for (;;) {
            const int rc = avcodec_receive_frame(decoder.get(), next.get());
            if (rc >= 0) return true;
            if (rc == AVERROR_EOF || ended) return false;
            if (av_read_frame(input.get(), packet.get()) < 0) {
                avcodec_send_packet(decoder.get(), nullptr);
                ended = true;
                continue;
            }
            if (packet->stream_index == stream) avcodec_send_packet(decoder.get(), packet.get());
            av_packet_unref(packet.get());
        }
    }
};

ClipReader::ClipReader() = default;
ClipReader::~ClipReader() = default;

MovieResult ClipReader::Open(const std::string& path) {
    s_ = std::make_unique<State>();
    State& s = *s_;
    std::string error;
    s.input = ffmpeg::OpenInput(path, error);
    if (!s.input) return MovieResult::Fail(MovieError::Unreadable, path + ": " + error);
    s.stream = av_find_best_stream(s.input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (s.stream < 0)
        return MovieResult::Fail(MovieError::Unreadable, path + ": no video in the file");
    s.decoder = ffmpeg::OpenDecoder(s.input.get(), s.stream, error);
    if (!s.decoder || !s.packet || !s.current || !s.next)
        return MovieResult::Fail(MovieError::Unreadable, path + ": " + error);
    const AVStream* st = s.input->streams[s.stream];
    s.timeBase = av_q2d(st->time_base);
    if (st->duration > 0)
        s.seconds = double(st->duration) * s.timeBase;
    else if (s.input->duration > 0)
        s.seconds = double(s.input->duration) / AV_TIME_BASE;
    const AVRational r = st->avg_frame_rate.num > 0 ? st->avg_frame_rate : st->r_frame_rate;
    const double rate = r.den > 0 ? av_q2d(r) : 0.0;
    s.rate = rate > 0.0 ? rate : 10.0;
    return MovieResult::Ok();
}

double ClipReader::Seconds() const { return s_ ? s_->seconds : 0.0; }
double ClipReader::FrameRate() const { return s_ ? s_->rate : 10.0; }
int ClipReader::Width() const { return s_ && s_->decoder ? s_->decoder->width : 0; }
int ClipReader::Height() const { return s_ && s_->decoder ? s_->decoder->height : 0; }

bool ClipReader::PictureAt(double seconds, Frame24& target, FrameRect area) {
    if (!s_ || !s_->decoder) return false;
    State& s = *s_;
    if (!s.sought) {
        s.sought = true;
        if (seconds > 0.0) {
            const int64_t at = int64_t(std::floor(seconds / s.timeBase));
            if (av_seek_frame(s.input.get(), s.stream, at, AVSEEK_FLAG_BACKWARD) >= 0)
                avcodec_flush_buffers(s.decoder.get());
        }
    }
    // Move forward while the picture decoded ahead starts at or before the time asked for.
    for (;;) {
        if (!s.haveNext) s.haveNext = s.DecodeNext();
        if (!s.haveNext || s.TimeOf(s.next.get()) > seconds + 1e-6) break;
        std::swap(s.current, s.next);
        av_frame_unref(s.next.get());
        s.haveCurrent = true;
        s.haveNext = false;
    }
    // A time before the first picture shows the first picture.
    if (!s.haveCurrent && s.haveNext) {
        std::swap(s.current, s.next);
        s.haveCurrent = true;
        s.haveNext = false;
    }
    if (!s.haveCurrent || area.Empty()) return false;
    const AVFrame* f = s.current.get();
    s.scaler =
        sws_getCachedContext(s.scaler, f->width, f->height, AVPixelFormat(f->format), area.width,
                             area.height, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!s.scaler) return false;
    uint8_t* dst[4] = {target.TopRow(area.y) + size_t(area.x) * 3, nullptr, nullptr, nullptr};
    const int dstStride[4] = {-int(target.stride), 0, 0, 0};
    sws_scale(s.scaler, f->data, f->linesize, 0, f->height, dst, dstStride);
    return true;
}

}  // namespace quillet
