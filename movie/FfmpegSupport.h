#pragma once
// Small helpers around the FFmpeg libraries: owners that free what they hold and error texts.
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
}

namespace quillet::ffmpeg {

struct InputCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecCloser {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;
using Codec = std::unique_ptr<AVCodecContext, CodecCloser>;
using Frame = std::unique_ptr<AVFrame, FrameFreer>;
using Packet = std::unique_ptr<AVPacket, PacketFreer>;

std::string ErrorText(int code);
// Opens a file and reads its stream information; empty with `error` set when it cannot.
Input OpenInput(const std::string& path, std::string& error);
// A decoder for stream `index` of `input`, opened; empty when none fits.
Codec OpenDecoder(AVFormatContext* input, int index, std::string& error);

}  // namespace quillet::ffmpeg
