#pragma once
// Splits the rows of a result between threads. Every row is computed the same way whichever
// thread takes it, so the output does not depend on the number of threads.
#include <algorithm>
#include <thread>
#include <vector>

#include "image/effects/Geometry.h"

namespace quillet {

// Calls `work(first, last)` on bands of [0, rows). The calling thread takes the first band in
// chunks and reports its share done; the other bands run on their own threads.
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
    const int chunk = std::max(64, mine / 25);
    for (int first = 0; first < mine; first += chunk) {
        work(first, std::min(mine, first + chunk));
        progress(int(int64_t(std::min(mine, first + chunk)) * 100 / std::max(1, mine)));
    }
    for (auto& h : helpers) h.join();
}

}  // namespace quillet
