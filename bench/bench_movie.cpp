// The image show at 1366 × 768 with fades, part by part: composing the fade frames, encoding
// frames (colour conversion, MPEG-4, AVI), and the whole run from three JPEG files. Frames per
// second are the "frames/s" counter. bench/peers_movie.sh times the whole program against
// ffmpeg encoding the same frames.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "movie/FrameSink.h"
#include "movie/Joins.h"
#include "movie/MovieMaker.h"
#include "movie/MovieWriter.h"
#include "movie/ShowPictures.h"

using namespace quillet;

namespace {

constexpr int kW = 1366, kH = 768;

std::string tempPath(const std::string& name) {
    return "/tmp/quillet-bench-movie-" + std::to_string(getpid()) + "-" + name;
}

// A smooth photo-like picture with some fine detail, different for each seed.
Frame24 Photo(int seed) {
    Frame24 f(kW, kH);
    for (int y = 0; y < kH; ++y) {
        uint8_t* p = f.TopRow(y);
        for (int x = 0; x < kW; ++x, p += 3) {
            p[0] = uint8_t((x * 3 + y + seed * 40) >> 3);
            p[1] = uint8_t(((x ^ y) >> 2) + seed * 20);
            p[2] = uint8_t((y * 5 + seed * 60) >> 4);
        }
    }
    return f;
}

struct NullSink : FrameSink {
    int64_t frames = 0;
    bool Put(const Frame24& f) override {
        benchmark::DoNotOptimize(f.bytes.data());
        ++frames;
        return true;
    }
};

void BM_ComposeFade(benchmark::State& state) {
    const Frame24 a = Photo(1), b = Photo(2);
    NullSink sink;
    for (auto _ : state) {
        Frame24 canvas = a;
        WriteFade(canvas, b, sink);
    }
    state.counters["frames/s"] =
        benchmark::Counter(double(sink.frames), benchmark::Counter::kIsRate);
}

void BM_EncodeFrames(benchmark::State& state) {
    const Frame24 a = Photo(1), b = Photo(2);
    const std::string path = tempPath("encode.avi");
    int64_t frames = 0;
    for (auto _ : state) {
        MovieWriter writer;
        MovieWriterOptions options;
        options.width = kW;
        options.height = kH;
        writer.Open(path, options);
        for (int i = 0; i < 30; ++i) writer.Write(i % 2 ? a : b);
        writer.Finish();
        frames += 30;
    }
    std::remove(path.c_str());
    state.counters["frames/s"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}

// Three JPEG pictures, each held 30 frames, joined by fades: 294 frames a run.
void BM_ImageShowWithFades(benchmark::State& state) {
    MovieProject p;
    for (int i = 0; i < 3; ++i) {
        const std::string path = tempPath("picture" + std::to_string(i) + ".jpg");
        SaveJpeg(Photo(i), path);
        p.pictures.push_back({path, JoinKind::Fade});
    }
    p.width = kW;
    p.height = kH;
    p.holdFrames = 30;
    p.workFolder = "/tmp";
    p.outputPath = tempPath("show.avi");
    MovieProgress progress;
    int64_t frames = 0;
    for (auto _ : state) {
        MovieMaker maker(p, progress);
        maker.Run();
        frames += maker.FramesWritten();
    }
    for (const ShowPicture& s : p.pictures) std::remove(s.path.c_str());
    std::remove(p.outputPath.c_str());
    state.counters["frames/s"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_ComposeFade)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeFrames)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_ImageShowWithFades)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->MeasureProcessCPUTime();
