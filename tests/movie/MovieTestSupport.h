#pragma once
// Test files for the movie tests: pictures, WAV tracks, ffprobe and ffmpeg as independent
// readers, a private folder per test.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "image/RaViru.h"
#include "movie/Frame24.h"
#include "tests/support/Magick.h"
#include "tests/support/TempDir.h"

namespace quillet::movietest {

using testsupport::TempDir;

// A picture with a colour ramp and a bright square, different for each seed.
inline Frame24 Pattern(int width, int height, int seed) {
    Frame24 f(width, height);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = f.TopRow(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = uint8_t((x * 255 / std::max(1, width - 1) + seed * 70) & 0xFF);
            p[1] = uint8_t((y * 255 / std::max(1, height - 1) + seed * 30) & 0xFF);
            p[2] = uint8_t(seed * 90 & 0xFF);
            const bool square = x > width / 4 && x < width / 2 && y > height / 4 && y < height / 2;
            if (square) p[0] = p[1] = p[2] = uint8_t(200 + seed * 20);
        }
    }
    return f;
}

inline bool SaveBmp(const Frame24& f, const std::string& path) {
    RaViru image(ImageKind::Bmp);
    if (!image.Allocate(f.width, f.height, 24, ImageKind::Bmp)) return false;
    for (int y = 0; y < f.height; ++y) std::memcpy(image.Row(y), f.Row(y), size_t(f.width) * 3);
    return image.WriteFile(path, ImageKind::Bmp).ok();
}

// A 16-bit mono WAV of a sine tone.
inline void WriteWav(const std::string& path, int rate, double seconds) {
    const uint32_t n = uint32_t(rate * seconds);
    std::vector<int16_t> samples(n);
    for (uint32_t i = 0; i < n; ++i)
        samples[i] = int16_t(8000 * std::sin(2 * 3.14159265 * 440 * i / rate));
    FILE* f = std::fopen(path.c_str(), "wb");
    auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, f); };
    auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, f); };
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + n * 2);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);
    u16(1);
    u32(uint32_t(rate));
    u32(uint32_t(rate) * 2);
    u16(2);
    u16(16);
    std::fwrite("data", 1, 4, f);
    u32(n * 2);
    std::fwrite(samples.data(), 2, n, f);
    std::fclose(f);
}

// ffprobe's view of each stream: key → value, one map per stream in file order.
inline std::vector<std::map<std::string, std::string>> ProbeStreams(const std::string& path) {
    const std::string text = testsupport::captureText(
        "ffprobe -v error -show_entries stream=index,codec_type,codec_name,codec_tag_string,"
        "r_frame_rate,nb_frames,duration,width,height,sample_rate,channels -of "
        "default=nw=1 '" +
        path + "'");
    std::vector<std::map<std::string, std::string>> streams;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end == std::string::npos ? end : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        if (key == "index") streams.emplace_back();
        if (!streams.empty()) streams.back()[key] = line.substr(eq + 1);
    }
    return streams;
}

// Every frame of the movie decoded by the ffmpeg program, as bottom-up 24-bit frames.
inline std::vector<Frame24> DecodeWithFfmpeg(const std::string& path, int width, int height) {
    const std::string raw =
        testsupport::captureText("ffmpeg -v error -i '" + path + "' -f rawvideo -pix_fmt bgr24 -");
    std::vector<Frame24> frames;
    const size_t size = size_t(width) * height * 3;
    for (size_t at = 0; at + size <= raw.size(); at += size) {
        Frame24 f(width, height);
        for (int y = 0; y < height; ++y)
            std::memcpy(f.TopRow(y), raw.data() + at + size_t(y) * width * 3, size_t(width) * 3);
        frames.push_back(std::move(f));
    }
    return frames;
}

inline double Psnr(const Frame24& a, const Frame24& b) {
    double sum = 0;
    size_t n = 0;
    for (int y = 0; y < a.height; ++y) {
        const uint8_t* p = a.Row(y);
        const uint8_t* q = b.Row(y);
        for (int i = 0; i < a.width * 3; ++i, ++n) sum += double(p[i] - q[i]) * (p[i] - q[i]);
    }
    if (sum == 0) return 99.0;
    return 10 * std::log10(255.0 * 255.0 / (sum / double(n)));
}

}  // namespace quillet::movietest
