#include "image/effects/Filters.h"

#include "image/effects/Artistic.h"
#include "image/effects/Convolution.h"
#include "image/effects/Neighbourhood.h"
#include "image/effects/RadialWarp.h"

namespace quillet {

void RunFilter(FilterId id, FilterValues values, const LayerPixels& from, const LayerPixels& to,
               FilterEnvironment& env) {
    if (from.Empty() || !from.SameShape(to) || from.pixels == to.pixels) return;
    const FilterValues v = ClampFilterValues(id, values);
    Rand15 fallback;
    Rand15& random = env.random ? *env.random : fallback;
    const int threads = env.threads;
    Progress* progress = env.progress;
    Convolution c;
    switch (id) {
        case FilterId::Erode:
            Erode(from, to, v[0], threads);
            break;
        case FilterId::Dilate:
            Dilate(from, to, v[0], env.background, threads);
            break;
        case FilterId::Blur:
        case FilterId::Soften:
            BoxBlur(from, to, v[0], id == FilterId::Soften, threads, progress);
            break;
        case FilterId::Sharpen:
            c.kernel = Laplacian(15);
            c.divisor = 7;
            c.offset = v[0];
            Convolve(from, to, c, threads, progress);
            break;
        case FilterId::Edges:
            c.kernel = Laplacian(8);
            c.divisor = v[0];
            c.offset = v[1];
            c.invert = true;
            Convolve(from, to, c, threads, progress);
            break;
        case FilterId::Emboss:
            c.kernel = EmbossKernel(v[0]);
            c.divisor = v[1];
            Convolve(from, to, c, threads, progress);
            break;
        case FilterId::MedianNoise:
            MedianFilter(from, to, v[0], threads, progress);
            break;
        case FilterId::SpeckleNoise:
            RemoveSpeckles(from, to, v[0], v[1]);
            break;
        case FilterId::Stamp:
        case FilterId::Confetti:
            ColouredStrokes(from, to, v[0], v[1], v[2], random, progress);
            break;
        case FilterId::LineColouring:
            LineColouring(from, to, v[0], v[1], random, progress);
            break;
        case FilterId::Lens:
            RadialWarp(to, LensWarp(from, env.background), progress);
            break;
        case FilterId::Bathroom:
            RadialWarp(to, BathroomWarp(from, env.background), progress);
            break;
        case FilterId::Watercolour:
            Watercolour(from, to, threads, progress);
            break;
        case FilterId::PaperFibres:
            PaperFibres(from, to, random);
            break;
        case FilterId::Raindrops:
            Raindrops(from, to, v[0], v[1], random);
            break;
        case FilterId::FrostedGlass:
            FrostedGlass(from, to, v[0], random, progress);
            break;
        case FilterId::EdgeEmphasis:
            EmphasiseEdges(from, to, v[0], v[1], threads);
            break;
        case FilterId::RegionGrowing:
            RegionGrowing(from, to, v[0]);
            break;
        case FilterId::Bubbles:
            Bubbles(from, to, v[0], random);
            break;
        case FilterId::OilPaint:
            OilPaint(from, to, v[0], v[1], random, progress);
            break;
        case FilterId::Dalmatian:
            Dalmatian(from, to, v[0], v[1], random);
            break;
        case FilterId::LuminanceCurve:
            LuminanceCurve(from, to);
            break;
    }
    SetProgress(progress, 100);
}

}  // namespace quillet
