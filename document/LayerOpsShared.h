#pragma once
// Steps the layer operations share; not for other callers.
#include <string>

#include "document/LayerTable.h"

namespace quillet {
class CBrevDoc;
}

namespace quillet::layerops {

// "레이어 %d" with the slot index.
std::u16string DefaultLayerName(int slot);
// A slot about to be created gets a zeroed record: nothing of a layer that used it before stays.
void StartNewRecord(LayerTable& t, int slot);
// The settings of a new layer after create layer: used, visible, opaque, no effect, normal
// blend, text settings 10, 100 and 0, the default name.
void FinishNewRecord(LayerTable& t, int slot);
// Takes the slot out of the list and frees it; its record stays for the journal's files.
void RemoveFromList(CBrevDoc& doc, int slot);
// Sets the current layer and tells the layer list when it changed.
void MakeCurrent(CBrevDoc& doc, int slot);
// The current layer when it is in the list, else -1.
int ListedCurrentLayer(const CBrevDoc& doc);
// Flatten, with or without its journal step (a new picture records its opening instead).
bool FlattenInto(CBrevDoc& doc, bool record);

}  // namespace quillet::layerops
