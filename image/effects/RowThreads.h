#pragma once
// Work on rows that do not depend on each other, split into bands between this thread and
// helpers. Each row is done by exactly one thread with the same code, so the result is the same
// whatever the number of threads.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "image/effects/LayerPixels.h"

namespace quillet {

// Progress reported on the calling thread, percent 0..100, so it may touch the interface.
struct RowProgress {
    void (*report)(void* context, int percent) = nullptr;
    void* context = nullptr;
    void operator()(int percent) const {
        if (report) report(context, percent);
    }
};

// Rows done so far by any thread, published as a percentage of `height` for a window that
// polls it while the routine runs on a worker thread.
class RowCounter {
public:
    RowCounter(Progress* progress, int height) : progress_(progress), height_(height) {}
    void RowDone() {
        if (!progress_ || height_ <= 0) return;
        const int done = done_.fetch_add(1, std::memory_order_relaxed) + 1;
        progress_->Set(int(int64_t(done) * 100 / height_));
    }

private:
    Progress* progress_;
    int height_;
    std::atomic<int> done_{0};
};

// Calls `work(first, last)` on bands of [0, rows), each band once; the calling thread takes the
// first. With `progress` the calling thread does its band in chunks and reports its share done.
template <class Work>
void ForRowBands(int rows, int threads, RowProgress progress, Work&& work) {
    threads = std::clamp(threads, 1, std::max(1, rows / 16));
    const int band = (rows + threads - 1) / threads;
    std::vector<std::thread> helpers;
    helpers.reserve(size_t(threads - 1));
    for (int t = 1; t < threads; ++t) {
        const int first = t * band, last = std::min(rows, first + band);
        if (first < last) helpers.emplace_back([&work, first, last] { work(first, last); });
    }
    const int mine = std::min(rows, band);
    if (!progress.report) {
        work(0, mine);
    } else {
        const int chunk = std::max(64, mine / 25);
        for (int first = 0; first < mine; first += chunk) {
            work(first, std::min(mine, first + chunk));
            progress(int(int64_t(std::min(mine, first + chunk)) * 100 / std::max(1, mine)));
        }
    }
    for (auto& h : helpers) h.join();
}

template <class Work>
void ForRowBands(int rows, int threads, Work&& work) {
    ForRowBands(rows, threads, RowProgress{}, std::forward<Work>(work));
}

}  // namespace quillet
