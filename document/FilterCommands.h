#pragma once
// The filters, red-eye removal, the channel split and the alpha commands as document commands.
// A filter run is split so that its pixel work can go to another thread while the window stays
// alive: Prepare and Finish run on the document's thread, Run anywhere in between.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "document/EditCycle.h"
#include "image/effects/FilterTable.h"
#include "image/effects/Rand15.h"
#include "image/effects/RedEye.h"

namespace quillet {

class CBrevDoc;
class RaViru;

class FilterJob {
public:
    FilterJob() = default;
    FilterJob(const FilterJob&) = delete;
    FilterJob& operator=(const FilterJob&) = delete;

    // The pixel work. Touches only the buffers the job was prepared with; the document must
    // not change until Finish (Prepare marks it busy, so its commands refuse meanwhile).
    void Run(Progress* progress = nullptr);

private:
    friend std::unique_ptr<FilterJob> PrepareFilter(CBrevDoc&, FilterId, FilterValues, int);
    friend std::unique_ptr<FilterJob> PrepareFilterPreview(CBrevDoc&, FilterId, FilterValues, int);
    friend EditOutcome FinishFilter(CBrevDoc&, FilterJob&);
    struct Indexed;

    FilterId id_ = FilterId::Blur;
    FilterValues values_{};
    int slot_ = -1;
    bool preview_ = false;
    int threads_ = 1;
    uint32_t background_ = 0xFFFFFF;
    LayerPixels from_, to_;
    std::vector<uint8_t> selection_;
    Rand15 previewRandom_;
    Rand15* random_ = nullptr;
    std::shared_ptr<Indexed> indexed_;  // a picture of palette indices goes through true colour
};

// The command: the current layer (text layers refused) through the working copy; the filter's
// name is the undo label. Null when the document cannot be edited now.
std::unique_ptr<FilterJob> PrepareFilter(CBrevDoc& doc, FilterId id, FilterValues values,
                                         int threads = 2);
// The dialog's preview: the copy taken by BeginAdjustmentPreview is read and the layer written;
// the document's generator is not advanced, so the command repeats what the preview showed.
std::unique_ptr<FilterJob> PrepareFilterPreview(CBrevDoc& doc, FilterId id, FilterValues values,
                                                int threads = 2);
// Commits the command's result and records its step (a preview only updates the views).
EditOutcome FinishFilter(CBrevDoc& doc, FilterJob& job);
// All three on this thread.
EditOutcome ApplyFilter(CBrevDoc& doc, FilterId id, FilterValues values, int threads = 2,
                        Progress* progress = nullptr);

// "적안 제거" within the selection on the current layer; strength 1..10.
EditOutcome RemoveRedEye(CBrevDoc& doc, int strength);

// The current layer's channels as three 8-bit grey pictures of its size (Y, U, V; hue,
// saturation, lightness; or red, green, blue); empty when there is no raster layer.
std::array<std::unique_ptr<RaViru>, 3> ChannelPictures(CBrevDoc& doc, ChannelSpace space);
// "Y Channel %d from %s" and the others, for the channel documents.
std::u16string ChannelDocumentTitle(ChannelSpace space, int channel, int number,
                                    std::u16string_view source);

// The five alpha and transparency commands; each records its name as the undo label.
enum class AlphaCommand {
    RemoveTransparency,  // 1430 "Remove Transparency": no transparent palette index
    RemoveAlphaChannel,  // 1483 "Remove Alpha Channel": alpha maximum 255
    InvertAlpha,         // 1485 "Invert Alpha Channel": changes nothing, records its step
    ToggleAlphaPalette,  // 1486 "Toggle Alpha Palette "
    StripAlpha,          // 1490 "Strip Alpha": transparent colour white
};
EditOutcome RunAlphaCommand(CBrevDoc& doc, AlphaCommand command);

}  // namespace quillet
