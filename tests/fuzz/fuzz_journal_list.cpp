// Journal list files are read back at undo and redo: the reader must survive every byte string.
// The first byte picks the bottom slot (the file does not name it); the rest is the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "document/journal/JournalListFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int bottom = int(data[0] % 41) - 1;
    quillet::MemoryStream in(data + 1, size - 1);
    quillet::JournalListContent content;
    std::string error;
    if (!quillet::ParseJournalList(in, bottom, content, error)) return 0;
    quillet::LayerTable table;
    quillet::ApplyJournalList(std::move(content), bottom, table, (size & 1) != 0);
    // What was read must write back and read again the same way.
    quillet::MemoryStream out;
    if (!quillet::WriteJournalList(out, table, error)) __builtin_trap();
    quillet::MemoryStream again(out.buffer().data(), out.buffer().size());
    if (!quillet::ParseJournalList(again, table.bottom, content, error)) __builtin_trap();
    return 0;
}
