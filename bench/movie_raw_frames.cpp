// Writes the frames of an image show with fades, as `quillet-cli movie` composes them, as raw
// 24-bit top-down rows: what bench/peers_movie.sh gives ffmpeg to encode.
// Usage: movie_raw_frames OUT.raw WIDTH HEIGHT HOLD_FRAMES PICTURE...
#include <cstdio>
#include <cstdlib>
#include <string>

#include "movie/FrameSink.h"
#include "movie/Joins.h"
#include "movie/ShowPictures.h"

using namespace quillet;

namespace {
struct RawSink : FrameSink {
    FILE* out;
    explicit RawSink(FILE* f) : out(f) {}
    bool Put(const Frame24& f) override {
        for (int r = 0; r < f.height; ++r)
            if (std::fwrite(f.TopRow(r), 3, size_t(f.width), out) != size_t(f.width)) return false;
        return true;
    }
};
}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr, "usage: %s OUT.raw WIDTH HEIGHT HOLD_FRAMES PICTURE...\n", argv[0]);
        return 2;
    }
    const int w = std::atoi(argv[2]), h = std::atoi(argv[3]), hold = std::atoi(argv[4]);
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    RawSink sink(out);
    FrameScaler scaler;
    const JoinSetting setting{{0, 0, w, h}, 10};
    Frame24 canvas(w, h);
    for (int i = 5; i < argc; ++i) {
        Frame24 picture;
        if (!LoadPicture(argv[i], picture).ok()) return 1;
        Frame24 next(w, h);
        scaler.Scale(picture, next, setting.picture);
        if (i == 5)
            canvas = next;
        else if (!WriteFade(canvas, next, sink))
            return 1;
        if (!WriteHold(canvas, hold, PanDirection::None, setting, scaler, sink)) return 1;
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
