#include "movie/FfmpegSupport.h"

namespace quillet::ffmpeg {

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

Input OpenInput(const std::string& path, std::string& error) {
    AVFormatContext* raw = nullptr;
    int rc = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        error = ErrorText(rc);
        return nullptr;
    }
    Input input(raw);
    rc = avformat_find_stream_info(raw, nullptr);
    if (rc < 0) {
        error = ErrorText(rc);
        return nullptr;
    }
    return input;
}

Codec OpenDecoder(AVFormatContext* input, int index, std::string& error) {
    const AVStream* stream = input->streams[index];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) {
        error = "no decoder for the stream";
        return nullptr;
    }
    Codec context(avcodec_alloc_context3(codec));
    if (!context) {
        error = "out of memory";
        return nullptr;
    }
    int rc = avcodec_parameters_to_context(context.get(), stream->codecpar);
    if (rc >= 0) {
        context->pkt_timebase = stream->time_base;
        rc = avcodec_open2(context.get(), codec, nullptr);
    }
    if (rc < 0) {
        error = ErrorText(rc);
        return nullptr;
    }
    return context;
}

}  // namespace quillet::ffmpeg
