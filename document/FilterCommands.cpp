#include "document/FilterCommands.h"

#include <cstring>

#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "document/IndexedLayers.h"
#include "image/codecs/NearestPalette.h"
#include "image/effects/Filters.h"
#include "image/effects/RowCopy.h"

namespace quillet {

// A picture of palette indices: the filter reads and writes true-colour copies, and the pixels
// it changed go back as the nearest palette entries.
struct FilterJob::Indexed {
    std::vector<uint8_t> from, to;
    uint8_t* target = nullptr;  // index rows, `targetStride` apart
    size_t targetStride = 0;
    int bits = 8;
    std::vector<Rgbquad> palette;
};

namespace {

// The slot's colours as rows of blue, green, red.
std::vector<uint8_t> Expanded(const LayerTable& t, int slot) {
    const Layer& l = t.layer(slot);
    std::vector<uint8_t> out(size_t(l.width) * size_t(l.height) * 3);
    uint8_t* o = out.data();
    for (int y = 0; y < l.height; ++y) {
        const uint8_t* row = t.PixelRow(slot, y);
        for (int x = 0; x < l.width; ++x, o += 3) {
            const unsigned i = PixelIndex(row, x, t.header.bitsPerPixel);
            const Rgbquad q = i < t.palette.size() ? t.palette[i] : Rgbquad{};
            o[0] = q.blue;
            o[1] = q.green;
            o[2] = q.red;
        }
    }
    return out;
}

}  // namespace

void FilterJob::Run(Progress* progress) {
    FilterEnvironment env;
    env.random = random_;
    env.threads = threads_;
    env.background = background_;
    env.progress = progress;
    RunFilter(id_, values_, from_, to_, env);
    if (!indexed_) return;
    Indexed& ix = *indexed_;
    NearestPalette nearest(ix.palette.data(), int(ix.palette.size()));
    for (int y = 0; y < to_.height; ++y) {
        const uint8_t* before = from_.Row(y);
        const uint8_t* after = to_.Row(y);
        uint8_t* row = ix.target + size_t(y) * ix.targetStride;
        for (int x = 0; x < to_.width; ++x, before += 3, after += 3)
            if (std::memcmp(before, after, 3) != 0)
                PutPixelIndex(row, x, ix.bits,
                              unsigned(nearest.Find(after[2], after[1], after[0])));
    }
}

std::unique_ptr<FilterJob> PrepareFilter(CBrevDoc& doc, FilterId id, FilterValues values,
                                         int threads) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0 || !doc.PrepareWorkingCopy(slot)) return nullptr;
    auto job = std::make_unique<FilterJob>();
    LayerTable& t = doc.Layers();
    job->id_ = id;
    job->values_ = values;
    job->slot_ = slot;
    job->threads_ = threads;
    job->background_ = packBgr(doc.Image().transparentColour);
    job->random_ = &doc.Random();
    const LayerPixels layer = PixelsOf(t, slot);
    const uint8_t* selection = SelectionFor(doc, slot, job->selection_);
    if (selection && selection != job->selection_.data())
        job->selection_.assign(selection, selection + size_t(layer.width) * size_t(layer.height));
    if (IsIndexedPicture(t)) {
        auto ix = std::make_shared<FilterJob::Indexed>();
        ix->from = Expanded(t, slot);
        ix->to = ix->from;
        ix->target = doc.WorkingPixels().data();
        ix->targetStride = layer.stride;
        ix->bits = t.header.bitsPerPixel;
        ix->palette = t.palette;
        job->from_ = layer;
        job->from_.pixels = ix->from.data();
        job->from_.stride = size_t(layer.width) * 3;
        job->from_.bytesPerPixel = 3;
        job->to_ = job->from_;
        job->to_.pixels = ix->to.data();
        job->indexed_ = std::move(ix);
    } else {
        job->from_ = layer;
        job->to_ = layer;
        job->to_.pixels = doc.WorkingPixels().data();
    }
    job->to_.alpha = doc.WorkingAlpha().data();
    job->to_.selection = job->selection_.empty() ? nullptr : job->selection_.data();
    doc.SetBusy(true);
    return job;
}

std::unique_ptr<FilterJob> PrepareFilterPreview(CBrevDoc& doc, FilterId id, FilterValues values,
                                                int threads) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0) return nullptr;
    const LayerPixels kept = PixelsOf(doc.Preview(), slot);
    if (kept.Empty() || !kept.SameShape(PixelsOf(doc.Layers(), slot))) return nullptr;
    // The command's own preparation, then pointed at the kept copy: the working copy receives
    // the result and Finish copies it into the layer, so the window never sees half a run.
    auto job = PrepareFilter(doc, id, values, threads);
    if (!job) return nullptr;
    job->preview_ = true;
    job->previewRandom_ = doc.Random();
    job->random_ = &job->previewRandom_;
    std::memcpy(doc.WorkingPixels().data(), doc.Preview().planesOf(slot).pixels.data(),
                doc.WorkingPixels().size());
    std::memcpy(doc.WorkingAlpha().data(), doc.Preview().planesOf(slot).alpha.data(),
                doc.WorkingAlpha().size());
    if (job->indexed_) {
        job->indexed_->from = Expanded(doc.Preview(), slot);
        job->indexed_->to = job->indexed_->from;
        job->indexed_->palette = doc.Preview().palette;
        job->from_.pixels = job->indexed_->from.data();
        job->to_.pixels = job->indexed_->to.data();
    } else {
        job->from_.pixels = doc.Preview().planesOf(slot).pixels.data();
    }
    job->from_.alpha = doc.Preview().planesOf(slot).alpha.data();
    return job;
}

EditOutcome FinishFilter(CBrevDoc& doc, FilterJob& job) {
    doc.SetBusy(false);
    if (!doc.CommitWorkingCopy(job.slot_)) return EditOutcome::Refused;
    if (job.preview_) {
        doc.ViewShared().recomposeNeeded = true;
        doc.NotifyViewsUpdate();
        return EditOutcome::Done;
    }
    doc.RecordStep(FilterRecordOf(job.id_).name, StepKind::PixelEdit, job.slot_);
    doc.NotifyViewsUpdate();
    return EditOutcome::Done;
}

EditOutcome ApplyFilter(CBrevDoc& doc, FilterId id, FilterValues values, int threads,
                        Progress* progress) {
    const std::unique_ptr<FilterJob> job = PrepareFilter(doc, id, values, threads);
    if (!job) return EditOutcome::Refused;
    job->Run(progress);
    return FinishFilter(doc, *job);
}

EditOutcome RemoveRedEye(CBrevDoc& doc, int strength) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Refuse);
    if (slot < 0) return EditOutcome::Refused;
    if (IsIndexedPicture(doc.Layers())) return EditOutcome::Unchanged;
    return EditLayerPixels(doc, slot, u"적안 제거", [&](const LayerPixels&, const LayerPixels& to) {
        RemoveRedEye(to, strength);
    });
}

std::array<std::unique_ptr<RaViru>, 3> ChannelPictures(CBrevDoc& doc, ChannelSpace space) {
    std::array<std::unique_ptr<RaViru>, 3> out;
    LayerTable& t = doc.Layers();
    const int slot = doc.CurrentLayer();
    if (!t.InList(slot) || t.layer(slot).kind == LayerKind::Text) return out;
    LayerPixels px = PixelsOf(t, slot);
    if (px.Empty()) return out;
    std::vector<uint8_t> expanded;
    if (IsIndexedPicture(t)) {
        expanded = Expanded(t, slot);
        px.pixels = expanded.data();
        px.stride = size_t(px.width) * 3;
        px.bytesPerPixel = 3;
    }
    const auto planes = SplitChannels(px, space);
    for (size_t k = 0; k < 3; ++k) {
        auto img = std::make_unique<RaViru>(px.width, px.height, 8, ImageKind::Bmp);
        if (!img->HasBlock()) return {};
        img->MakeGreyPalette();
        for (int y = 0; y < px.height; ++y)
            std::memcpy(img->Row(y), planes[k].data() + size_t(y) * size_t(px.width),
                        size_t(px.width));
        out[k] = std::move(img);
    }
    return out;
}

std::u16string ChannelDocumentTitle(ChannelSpace space, int channel, int number,
                                    std::u16string_view source) {
    static constexpr const char* kNames[3][3] = {
        {"Red", "Green", "Blue"}, {"Y", "U", "V"}, {"Hue", "Saturation", "Lightness"}};
    const std::string head = std::string(kNames[int(space)][channel % 3]) + " Channel " +
                             std::to_string(number) + " from ";
    return utf8ToUtf16(head) + std::u16string(source);
}

EditOutcome RunAlphaCommand(CBrevDoc& doc, AlphaCommand command) {
    const int slot = EditableCurrentLayer(doc, TextLayerRule::Allow);
    if (slot < 0) return EditOutcome::Refused;
    RaViru& image = doc.Image();
    std::u16string_view label;
    switch (command) {
        case AlphaCommand::RemoveTransparency:
            image.transparentIndex = -1;
            label = u"Removetransparency";
            break;
        case AlphaCommand::RemoveAlphaChannel:
            image.alphaMax = 255;
            label = u"Removealphachannel";
            break;
        case AlphaCommand::InvertAlpha:
            label = u"Invetalpha";
            break;
        case AlphaCommand::ToggleAlphaPalette:
            image.alphaPaletteOn = !image.alphaPaletteOn;
            label = u"Alphapalettetoggle";
            break;
        case AlphaCommand::StripAlpha:
            image.transparentColour = {255, 255, 255, 0};
            label = u"Alphastrip";
            break;
    }
    doc.RecordStep(label, StepKind::PixelEdit, slot);
    doc.NotifyViewsUpdate();
    return EditOutcome::Done;
}

}  // namespace quillet
