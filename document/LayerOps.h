#pragma once
// The layer operations: edits of the layer list with their journal steps, the settings the
// layer window changes, and the transfers through the clipboard. An operation that refuses
// tells the user through the document's port and changes nothing. After each one the list
// keeps its invariants: the bottom names a used slot whose previous is -1, next and previous
// links agree, and the walk from the bottom visits every listed slot once.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "document/Layer.h"

namespace quillet {

class CBrevDoc;
class ClipboardPort;
class LayerTable;

// The user's texts of the layer operations.
namespace LayerOpsText {
inline constexpr const char* OnlyOneLayer = "레이어가 1개 밖에 없습니다";
inline constexpr const char* MergeWithText =
    "두 레이어 중 적어도 하나가 글자레이어입니다.\r\n레스터 변환 후에 병합하십시요.";
inline constexpr const char* RgbOnly = "RGB영상만 지원합니다.";
inline constexpr const char* SelectFirst = "영역선택 후에 시도하십시요";
inline constexpr const char* PasteTooLarge = "그림이 너무 커서 붙일 수 없습니다.";
}  // namespace LayerOpsText

// --- The list ------------------------------------------------------------------------------

// "레이어추가": an empty, fully transparent layer of canvas size directly above the current
// one, which it replaces as the current layer. The new slot, or -1 (all 40 slots used, or no
// picture yet).
int AddEmptyLayer(CBrevDoc& doc);

// "레이어삭제": the current layer goes; the layer above it becomes current (the one below when
// it was the top). Every remaining layer keeps its name.
bool DeleteCurrentLayer(CBrevDoc& doc);

// "레이어 위치 이동": two listed layers exchange their places in the stacking order.
bool SwapLayerPlaces(CBrevDoc& doc, int slotA, int slotB);

// Renames the current layer (the first 100 characters). No journal step.
bool RenameCurrentLayer(CBrevDoc& doc, std::u16string_view name);

// The layer window's switches and controls; no journal step, the views repaint at once.
bool SetLayerVisible(CBrevDoc& doc, int slot, bool visible);
bool SetLayerTransparency(CBrevDoc& doc, int slot, int transparency);  // 0 opaque .. 255
bool SetLayerBlendMode(CBrevDoc& doc, int slot, BlendMode mode);

// Undoes or redoes until the journal stands at `step` (a row of the history list).
bool GoToHistoryStep(CBrevDoc& doc, int step);

// --- Composition into layers ------------------------------------------------------------

// "레이어병합" of the layer in `lowerSlot` and the layer directly above it: both composed into
// the lower one, the upper one deleted. Refused when either is a text layer; false without a
// layer above.
bool MergeWithLayerAbove(CBrevDoc& doc, int lowerSlot);
// Merge down: the layer above the current one into the current layer.
bool MergeDown(CBrevDoc& doc);
// Merge up: the current layer into the layer below it.
bool MergeUp(CBrevDoc& doc);
// The floating layer (a moved or pasted selection) merged into its source layer; the
// selection ends. False when there is no floating layer.
bool DropFloatingLayer(CBrevDoc& doc);
// "떡이미지": every visible layer composed into the bottom layer, which is then the only one.
bool FlattenLayers(CBrevDoc& doc);
// Rasterize: the current text layer becomes a raster layer that looks the same. Other kinds are
// left as they are (false). No journal step.
bool RasterizeCurrentLayer(CBrevDoc& doc);

// --- The clipboard --------------------------------------------------------------------------

// A whole layer as a 32-bit packed DIB carrying its alpha (marker -2); an indexed layer with
// its palette (marker -3). Empty when the slot holds no usable layer.
std::vector<uint8_t> LayerToPackedDib(const LayerTable& table, int slot);
// The current layer's selected area as a packed DIB at the layer's depth (marker -3): the
// bounding box of the selected pixels. Empty when nothing of the layer is selected.
std::vector<uint8_t> SelectionToPackedDib(const CBrevDoc& doc);

// Copy: the current layer on the clipboard; with an active selection only its area.
bool CopyToClipboard(CBrevDoc& doc, ClipboardPort& clipboard);

// Copy the picture: the whole picture as it is seen (every visible layer composed) on the
// clipboard, as a 32-bit bitmap with its alpha (marker -2).
bool CopyPictureToClipboard(CBrevDoc& doc, ClipboardPort& clipboard);

// Paste: the clipboard's bitmap as a new layer on top of the stack ("복사물 붙이기"). While a
// moved selection is pending it goes directly above the current layer (as the floating layer
// when there is none yet) and no step is recorded. The slot, or -1: nothing on the clipboard,
// a bitmap that cannot be read (nothing changes), too large or all slots used (the user told).
int PasteAsNewLayer(CBrevDoc& doc, const ClipboardPort& clipboard);
int PastePackedDib(CBrevDoc& doc, std::span<const uint8_t> dib);

// Duplicate: the current layer copied to the clipboard and pasted back on top, keeping its kind (a
// text layer stays a text layer with its text and settings) and its place on the canvas.
int DuplicateCurrentLayer(CBrevDoc& doc, ClipboardPort& clipboard);

// A new picture from the layer: `target`, an empty document, becomes a flat copy of the current
// layer of `source`, named "복사%d_%s" with `copyNumber` and the source picture's name.
bool BuildDocumentFromLayer(CBrevDoc& source, CBrevDoc& target, ClipboardPort& clipboard,
                            int copyNumber);
// The one-click panel's new picture from the selection: `target`, an empty document, becomes
// the selected area of the current layer, named "이름없음". Refused without a selection; false
// (nothing done) when the area is wider or higher than 4000 pixels.
bool BuildDocumentFromSelection(CBrevDoc& source, CBrevDoc& target, ClipboardPort& clipboard);
// The largest side a new picture from the selection may have.
inline constexpr int kSelectionDocumentMaxSide = 4000;

}  // namespace quillet
