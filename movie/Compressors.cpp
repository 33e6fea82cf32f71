#include "movie/Compressors.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "base/AtomicFileWriter.h"
#include "movie/FfmpegSupport.h"

namespace quillet {

namespace {
std::string FilePath(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') return folder + kCompressorFile;
    return folder + "/" + kCompressorFile;
}

// Whether the encoder opens for a small frame (hardware encoders without their device do not).
bool Opens(const AVCodec* codec) {
    ffmpeg::Codec c(avcodec_alloc_context3(codec));
    if (!c) return false;
    c->width = 64;
    c->height = 48;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = {1001, 30000};
    return avcodec_open2(c.get(), codec, nullptr) >= 0;
}
}  // namespace

std::vector<Compressor> ListCompressors() {
    std::vector<Compressor> list;
    void* it = nullptr;
    while (const AVCodec* codec = av_codec_iterate(&it)) {
        if (!av_codec_is_encoder(codec) || codec->id != AV_CODEC_ID_MPEG4) continue;
        if (!Opens(codec)) continue;
        Compressor c{codec->name, codec->long_name ? codec->long_name : codec->name};
        if (c.name == "mpeg4")
            list.insert(list.begin(), c);
        else
            list.push_back(c);
    }
    return list;
}

int ReadCompressorNumber(const std::string& folder) {
    std::ifstream in(FilePath(folder));
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inSection = line == "[RozOduzuvev]";
            continue;
        }
        const std::string key = "CompressorNumber=";
        if (inSection && line.compare(0, key.size(), key) == 0) {
            int value = 0;
            const char* begin = line.data() + key.size();
            const char* end = line.data() + line.size();
            auto [ptr, ec] = std::from_chars(begin, end, value);
            if (ec == std::errc() && ptr == end && value >= 0) return value;
            return kDefaultCompressor;
        }
    }
    return kDefaultCompressor;
}

bool WriteCompressorNumber(const std::string& folder, int index) {
    AtomicFileWriter out(FilePath(folder));
    if (!out.open()) return false;
    const std::string text = "[RozOduzuvev]\r\nCompressorNumber=" + std::to_string(index) + "\r\n";
    if (std::fwrite(text.data(), 1, text.size(), out.file()) != text.size()) return false;
    return out.commit().ok();
}

std::string CompressorForIndex(const std::vector<Compressor>& list, int index) {
    if (list.empty()) return "mpeg4";
    if (index < 0 || index >= int(list.size())) return list.back().name;
    return list[size_t(index)].name;
}

}  // namespace quillet
