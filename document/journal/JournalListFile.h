#pragma once
// Journal list files: the picture header, the palette and every layer of the list with its
// planes, each layer introduced by a UTF-16LE entry line "848 <pixel size> <plane size>".
#include <string>
#include <vector>

#include "document/Layer.h"
#include "document/LayerTable.h"
#include "document/journal/JournalWriter.h"
#include "image/ByteStream.h"

namespace quillet {

struct JournalListLayer {
    int slot = -1;
    Layer record{};
    LayerPlanes planes;
};

struct JournalListContent {
    PictureHeader header{};
    std::vector<Rgbquad> palette;
    std::vector<JournalListLayer> layers;  // from the bottom up
};

// Writes the table's list from its bottom index. The working-copy references are stored as 0.
bool WriteJournalList(ByteStream& out, const LayerTable& table, std::string& error);
// The same file as pieces for the journal's writer; the planes are shared, not copied.
std::vector<FilePiece> JournalListPieces(const LayerTable& table);

// Reads a list whose bottom layer sits in `bottomSlot` (the file does not name it). Every size is
// checked against the record and the bytes that remain before anything is allocated.
bool ParseJournalList(ByteStream& in, int bottomSlot, JournalListContent& out, std::string& error);

// Places parsed content into a table: every slot is emptied, then each layer is created at its
// slot and gets its record and planes. The selection mask is left as it was.
void ApplyJournalList(JournalListContent&& content, int bottomSlot, LayerTable& table,
                      bool selectionActive);

}  // namespace quillet
