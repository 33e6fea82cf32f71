#pragma once
// Work on rows that do not depend on each other, split between this thread and one helper.
// Each row is done by exactly one thread with the same code, so the result is the same as on
// one thread.
#include <atomic>
#include <thread>

#include "image/effects/LayerPixels.h"

namespace quillet {

// Rows done so far, published as a percentage of `height`.
class RowProgress {
public:
    RowProgress(Progress* progress, int height) : progress_(progress), height_(height) {}
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

// Calls work(y0, y1) for the rows 0..height−1: on one thread, or on two halves at once.
template <class Work>
void ForRowBands(int height, int threads, Work&& work) {
    if (threads < 2 || height < 32) {
        work(0, height);
        return;
    }
    const int half = height / 2;
    std::thread helper([&] { work(half, height); });
    work(0, half);
    helper.join();
}

}  // namespace quillet
