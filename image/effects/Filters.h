#pragma once
// One entry point for every filter of the filter table.
#include <cstdint>

#include "image/effects/FilterTable.h"
#include "image/effects/LayerPixels.h"
#include "image/effects/Rand15.h"

namespace quillet {

struct FilterEnvironment {
    Rand15* random = nullptr;        // the document's generator (the random filters need one)
    int threads = 1;                 // 2 splits the rows of the filters whose rows are independent
    uint32_t background = 0xFFFFFF;  // 0x00RRGGBB read outside the layer ("물체확장", warps)
    Progress* progress = nullptr;
};

// Runs the filter reading `from` and writing `to`, which must hold a copy of `from` (planes of
// the same shape, separate buffers). Values outside the record's ranges are clamped first.
void RunFilter(FilterId id, FilterValues values, const LayerPixels& from, const LayerPixels& to,
               FilterEnvironment& environment);

}  // namespace quillet
