#include "movie/SoundTrack.h"

#include <algorithm>

#include "movie/FfmpegSupport.h"

extern "C" {
#include <libswresample/swresample.h>
}

namespace quillet {

namespace {
struct ResamplerFreer {
    void operator()(SwrContext* s) const { swr_free(&s); }
};

MovieResult Unreadable(const std::string& path, const std::string& why) {
    return MovieResult::Fail(MovieError::Unreadable, path + ": " + why);
}

int BestAudioStream(AVFormatContext* input) {
    return av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
}
}  // namespace

void SoundTrack::DropStart(int percent) {
    percent = std::clamp(percent, 0, 100);
    const int64_t drop = Frames() * percent / 100;
    samples.erase(samples.begin(), samples.begin() + drop * channels);
}

MovieResult ProbeSound(const std::string& path, SoundFacts& out) {
    std::string error;
    ffmpeg::Input input = ffmpeg::OpenInput(path, error);
    if (!input) return Unreadable(path, error);
    const int index = BestAudioStream(input.get());
    if (index < 0) return Unreadable(path, "no sound in the file");
    const AVCodecParameters* par = input->streams[index]->codecpar;
    out.channels = par->ch_layout.nb_channels;
    out.sampleRate = par->sample_rate;
    out.bitsPerSample = par->bits_per_raw_sample > 0     ? par->bits_per_raw_sample
                        : par->bits_per_coded_sample > 0 ? par->bits_per_coded_sample
                                                         : 16;
    out.seconds = input->duration > 0 ? double(input->duration) / AV_TIME_BASE : 0.0;
    return MovieResult::Ok();
}

MovieResult DecodeSound(const std::string& path, SoundTrack& out) {
    out = SoundTrack{};
    std::string error;
    ffmpeg::Input input = ffmpeg::OpenInput(path, error);
    if (!input) return Unreadable(path, error);
    const int index = BestAudioStream(input.get());
    if (index < 0) return Unreadable(path, "no sound in the file");
    ffmpeg::Codec decoder = ffmpeg::OpenDecoder(input.get(), index, error);
    if (!decoder) return Unreadable(path, error);
    if (decoder->sample_rate <= 0 || decoder->ch_layout.nb_channels <= 0)
        return Unreadable(path, "the sound format is not given");

    const int channels = std::min(decoder->ch_layout.nb_channels, 2);
    AVChannelLayout layout;
    av_channel_layout_default(&layout, channels);
    SwrContext* raw = nullptr;
    int rc = swr_alloc_set_opts2(&raw, &layout, AV_SAMPLE_FMT_S16, decoder->sample_rate,
                                 &decoder->ch_layout, decoder->sample_fmt, decoder->sample_rate, 0,
                                 nullptr);
    std::unique_ptr<SwrContext, ResamplerFreer> resampler(raw);
    if (rc < 0 || swr_init(raw) < 0) return Unreadable(path, "the sound cannot be converted");

    out.sampleRate = decoder->sample_rate;
    out.channels = channels;
    const int64_t limit = int64_t(kMaxSoundSeconds * out.sampleRate) * channels;
    ffmpeg::Packet packet(av_packet_alloc());
    ffmpeg::Frame frame(av_frame_alloc());
    if (!packet || !frame) return Unreadable(path, "out of memory");

    // Converts one decoded frame (or, with null, what the converter still holds).
    auto convert = [&](const AVFrame* f) {
        const int inSamples = f ? f->nb_samples : 0;
        const int room = swr_get_out_samples(raw, inSamples);
        if (room <= 0) return;
        const size_t at = out.samples.size();
        out.samples.resize(at + size_t(room) * channels);
        uint8_t* dst = reinterpret_cast<uint8_t*>(out.samples.data() + at);
        const int got = swr_convert(raw, &dst, room,
                                    f ? (const uint8_t**)f->extended_data : nullptr, inSamples);
        out.samples.resize(at + size_t(std::max(got, 0)) * channels);
    };
    auto drain = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            convert(frame.get());
            av_frame_unref(frame.get());
        }
    };
    while (int64_t(out.samples.size()) < limit && av_read_frame(input.get(), packet.get()) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(decoder.get(), packet.get()) >= 0)
            drain();
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder.get(), nullptr);
    drain();
    convert(nullptr);
    if (int64_t(out.samples.size()) > limit) out.samples.resize(size_t(limit));
    if (out.samples.empty()) return Unreadable(path, "no sound could be decoded");
    return MovieResult::Ok();
}

}  // namespace quillet
