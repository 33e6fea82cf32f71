#include "movie/MoviePlayerEngine.h"

#include <algorithm>
#include <cstdio>
#include <deque>

#include "movie/FfmpegSupport.h"

extern "C" {
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace quillet {

namespace {
constexpr double kAudioLead = 0.5;  // seconds of sound handed out ahead of the picture
constexpr size_t kMaxQueuedPackets = 2048;

struct ResamplerFreer {
    void operator()(SwrContext* s) const { swr_free(&s); }
};

std::string Hex(int code) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(uint32_t(code)));
    return text;
}
}  // namespace

struct MoviePlayerEngine::Media {
    ffmpeg::Input input;
    int videoStream = -1, audioStream = -1;
    ffmpeg::Codec video, audio;
    std::unique_ptr<SwrContext, ResamplerFreer> resampler;
    SwsContext* scaler = nullptr;
    AudioFormat format;
    double videoBase = 0.0, audioBase = 0.0;
    double videoStart = 0.0, audioStart = 0.0;
    double duration = 0.0;

    ffmpeg::Packet packet{av_packet_alloc()};
    ffmpeg::Frame frame{av_frame_alloc()};       // the picture being shown
    ffmpeg::Frame soundFrame{av_frame_alloc()};  // scratch for decoded sound
    ffmpeg::Frame pending{av_frame_alloc()};     // the next picture, not yet due
    bool havePending = false;
    std::deque<ffmpeg::Packet> videoPackets;  // read while looking for sound
    bool demuxEnded = false, videoEnded = false, videoFlushed = false;

    std::vector<int16_t> sound;   // decoded, not yet handed out
    double soundDecodedTo = 0.0;  // seconds
    double clock = 0.0;

    std::vector<uint8_t> picture;
    int pictureWidth = 0, pictureHeight = 0;

    ~Media() { sws_freeContext(scaler); }

    bool HasVideo() const { return video != nullptr; }
    bool HasAudio() const { return audio != nullptr; }

    double Seconds(const AVFrame* f, double base, double start) const {
        const int64_t pts =
            f->best_effort_timestamp != AV_NOPTS_VALUE ? f->best_effort_timestamp : f->pts;
        return pts == AV_NOPTS_VALUE ? 0.0 : double(pts) * base - start;
    }

    void DecodeSound(const AVPacket* p) {
        if (avcodec_send_packet(audio.get(), p) < 0) return;
        while (avcodec_receive_frame(audio.get(), soundFrame.get()) >= 0) {
            const int room = swr_get_out_samples(resampler.get(), soundFrame->nb_samples);
            if (room > 0) {
                const size_t at = sound.size();
                sound.resize(at + size_t(room) * format.channels);
                uint8_t* dst = reinterpret_cast<uint8_t*>(sound.data() + at);
                const int got =
                    swr_convert(resampler.get(), &dst, room,
                                (const uint8_t**)soundFrame->extended_data, soundFrame->nb_samples);
                sound.resize(at + size_t(std::max(got, 0)) * format.channels);
                soundDecodedTo = std::max(soundDecodedTo,
                                          Seconds(soundFrame.get(), audioBase, audioStart) +
                                              double(soundFrame->nb_samples) / format.sampleRate);
            }
            av_frame_unref(soundFrame.get());
        }
    }

    // Reads one packet: pictures are queued, sound is decoded. False at the end of the file.
    bool ReadPacket() {
        if (demuxEnded) return false;
        if (av_read_frame(input.get(), packet.get()) < 0) {
            demuxEnded = true;
            if (HasAudio()) DecodeSound(nullptr);
            return false;
        }
        if (packet->stream_index == videoStream && HasVideo()) {
            if (videoPackets.size() < kMaxQueuedPackets)
                videoPackets.emplace_back(av_packet_clone(packet.get()));
        } else if (packet->stream_index == audioStream && HasAudio()) {
            DecodeSound(packet.get());
        }
        av_packet_unref(packet.get());
        return true;
    }

    // Decodes the next picture into `pending`; false when there are no more.
    bool NextPicture() {
        while (!videoEnded) {
            const int rc = avcodec_receive_frame(video.get(), pending.get());
            if (rc >= 0) return true;
            if (rc == AVERROR_EOF) break;
            if (!videoPackets.empty()) {
                avcodec_send_packet(video.get(), videoPackets.front().get());
                videoPackets.pop_front();
            } else if (!ReadPacket() && videoPackets.empty()) {
                if (videoFlushed) break;
                avcodec_send_packet(video.get(), nullptr);
                videoFlushed = true;
            }
        }
        videoEnded = true;
        return false;
    }

    void Show(const AVFrame* f) {
        scaler = sws_getCachedContext(scaler, f->width, f->height, AVPixelFormat(f->format),
                                      f->width, f->height, AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr,
                                      nullptr, nullptr);
        if (!scaler) return;
        pictureWidth = f->width;
        pictureHeight = f->height;
        picture.resize(size_t(f->width) * f->height * 4);
        uint8_t* dst[4] = {picture.data(), nullptr, nullptr, nullptr};
        const int dstStride[4] = {f->width * 4, 0, 0, 0};
        sws_scale(scaler, f->data, f->linesize, 0, f->height, dst, dstStride);
    }

    // Shows the last picture due by the clock. True when the picture changed.
    bool CatchUpPictures() {
        if (!HasVideo()) return false;
        bool changed = false;
        for (;;) {
            if (!havePending) havePending = NextPicture();
            if (!havePending || Seconds(pending.get(), videoBase, videoStart) > clock + 1e-6) break;
            std::swap(frame, pending);
            havePending = false;
            changed = true;
            // Only the last picture due is converted; earlier ones are skipped.
            if (!havePending) havePending = NextPicture();
            if (!havePending || Seconds(pending.get(), videoBase, videoStart) > clock + 1e-6) {
                Show(frame.get());
                av_frame_unref(frame.get());
                break;
            }
            av_frame_unref(frame.get());
        }
        return changed;
    }

    void DecodeSoundUntil(double seconds) {
        if (!HasAudio()) return;
        while (soundDecodedTo < seconds && ReadPacket()) {
        }
    }

    bool Finished() const {
        const bool picturesDone = !HasVideo() || (videoEnded && !havePending);
        // Sound the output would not take is given up a second after its time.
        const bool soundDone =
            !HasAudio() || (demuxEnded && clock >= soundDecodedTo + (sound.empty() ? 0.0 : 1.0));
        return picturesDone && soundDone;
    }

    bool SeekToStart() {
        const int rc = av_seek_frame(input.get(), -1,
                                     input->start_time != AV_NOPTS_VALUE ? input->start_time : 0,
                                     AVSEEK_FLAG_BACKWARD);
        if (HasVideo()) avcodec_flush_buffers(video.get());
        if (HasAudio()) {
            avcodec_flush_buffers(audio.get());
            swr_init(resampler.get());
        }
        videoPackets.clear();
        havePending = false;
        demuxEnded = videoEnded = videoFlushed = false;
        sound.clear();
        soundDecodedTo = 0.0;
        clock = 0.0;
        picture.clear();
        pictureWidth = pictureHeight = 0;
        CatchUpPictures();
        return rc >= 0;
    }
};

MoviePlayerEngine::MoviePlayerEngine(AudioOutput* audio) : audio_(audio) {}
MoviePlayerEngine::~MoviePlayerEngine() { Close(); }

bool MoviePlayerEngine::HasFile() const { return m_ != nullptr; }
bool MoviePlayerEngine::AudioOnly() const { return m_ && !m_->HasVideo(); }
double MoviePlayerEngine::Position() const { return m_ ? m_->clock : 0.0; }
double MoviePlayerEngine::Duration() const { return m_ ? m_->duration : 0.0; }
int MoviePlayerEngine::PictureWidth() const { return m_ ? m_->pictureWidth : 0; }
int MoviePlayerEngine::PictureHeight() const { return m_ ? m_->pictureHeight : 0; }

const std::vector<uint8_t>& MoviePlayerEngine::Picture() const {
    static const std::vector<uint8_t> none;
    return m_ ? m_->picture : none;
}

void MoviePlayerEngine::Close() {
    if (m_ && audio_ && m_->HasAudio()) audio_->Stop();
    m_.reset();
    path_.clear();
    state_ = PlayState::Stopped;
}

bool MoviePlayerEngine::Open(const std::string& path) {
    Close();
    auto m = std::make_unique<Media>();
    std::string error;
    m->input = ffmpeg::OpenInput(path, error);
    auto fail = [&](int code) {
        diagnostics_.push_back("*** Failed(" + Hex(code) + ") in RenderFile(" + path + ")!\r\n");
        return false;
    };
    if (!m->input) return fail(AVERROR_INVALIDDATA);
    AVFormatContext* in = m->input.get();
    const int v = av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    // A cover picture in a sound file is no video.
    if (v >= 0 && !(in->streams[v]->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
        m->video = ffmpeg::OpenDecoder(in, v, error);
        if (m->video) {
            m->videoStream = v;
            m->videoBase = av_q2d(in->streams[v]->time_base);
            const int64_t s = in->streams[v]->start_time;
            m->videoStart = s != AV_NOPTS_VALUE ? double(s) * m->videoBase : 0.0;
        }
    }
    const int a = av_find_best_stream(in, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (a >= 0) {
        m->audio = ffmpeg::OpenDecoder(in, a, error);
        if (m->audio && m->audio->sample_rate > 0 && m->audio->ch_layout.nb_channels > 0) {
            m->format = {m->audio->sample_rate, std::min(m->audio->ch_layout.nb_channels, 2)};
            AVChannelLayout layout;
            av_channel_layout_default(&layout, m->format.channels);
            SwrContext* raw = nullptr;
            if (swr_alloc_set_opts2(&raw, &layout, AV_SAMPLE_FMT_S16, m->format.sampleRate,
                                    &m->audio->ch_layout, m->audio->sample_fmt,
                                    m->format.sampleRate, 0, nullptr) >= 0 &&
                swr_init(raw) >= 0) {
                m->resampler.reset(raw);
                m->audioStream = a;
                m->audioBase = av_q2d(in->streams[a]->time_base);
                const int64_t s = in->streams[a]->start_time;
                m->audioStart = s != AV_NOPTS_VALUE ? double(s) * m->audioBase : 0.0;
            } else {
                swr_free(&raw);
            }
        }
        if (!m->resampler) m->audio.reset();
    }
    if (!m->HasVideo() && !m->HasAudio()) return fail(AVERROR_DECODER_NOT_FOUND);
    m->duration = in->duration > 0 ? double(in->duration) / AV_TIME_BASE : 0.0;
    m->CatchUpPictures();
    m_ = std::move(m);
    path_ = path;
    if (audio_ && m_->HasAudio()) audio_->Start(m_->format);
    return true;
}

bool MoviePlayerEngine::Play() {
    if (!m_) return false;
    if (state_ == PlayState::Running) return true;
    if (state_ == PlayState::Paused) {
        if (audio_ && m_->HasAudio()) audio_->Resume();
    } else if (audio_ && m_->HasAudio()) {
        audio_->Start(m_->format);
    }
    state_ = PlayState::Running;
    Advance(0.0);
    return true;
}

void MoviePlayerEngine::Pause() {
    if (state_ != PlayState::Running) return;
    state_ = PlayState::Paused;
    if (audio_ && m_->HasAudio()) audio_->Suspend();
}

void MoviePlayerEngine::Stop() {
    if (!m_ || state_ == PlayState::Stopped) return;
    Rewind();
}

void MoviePlayerEngine::Rewind() {
    if (!m_) return;
    state_ = PlayState::Stopped;
    if (audio_ && m_->HasAudio()) audio_->Stop();
    if (!m_->SeekToStart())
        diagnostics_.push_back("Failed to seek to beginning of media!  hr=0x" +
                               Hex(AVERROR(EINVAL)) + "\r\n");
}

bool MoviePlayerEngine::Advance(double seconds) {
    if (!m_ || state_ != PlayState::Running) return false;
    Media& m = *m_;
    m.clock += std::max(seconds, 0.0);
    const bool changed = m.CatchUpPictures();
    m.DecodeSoundUntil(m.clock + kAudioLead);
    if (!m.sound.empty()) {
        const size_t frames = m.sound.size() / size_t(m.format.channels);
        const size_t taken =
            audio_ ? std::min(audio_->Write(m.sound.data(), frames), frames) : frames;
        m.sound.erase(m.sound.begin(), m.sound.begin() + ptrdiff_t(taken * m.format.channels));
    }
    if (m.Finished()) {
        // Played to the end: stopped at the start, ready to play again. The sound output keeps
        // what it still holds.
        state_ = PlayState::Stopped;
        if (!m.SeekToStart())
            diagnostics_.push_back("Failed to seek to beginning of media!  hr=0x" +
                                   Hex(AVERROR(EINVAL)) + "\r\n");
        return true;
    }
    return changed;
}

}  // namespace quillet
