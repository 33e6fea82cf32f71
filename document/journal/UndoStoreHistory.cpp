// The history as the layer window shows it.
#include <cstdio>

#include "base/Utf.h"
#include "document/journal/UndoStore.h"

namespace quillet {

namespace {

// printf's right-aligned "%Ns", counting UTF-16 units.
std::u16string padLeft(std::u16string_view text, size_t width) {
    std::u16string out;
    if (text.size() < width) out.assign(width - text.size(), u' ');
    out += text;
    return out;
}

std::u16string number(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", value);
    return utf8ToUtf16(buf);
}

}  // namespace

HistoryRow UndoStore::InitialStateRow() { return {u"   0  (처음상태)", -1, StepKind::PixelEdit}; }

std::vector<HistoryRow> UndoStore::HistoryRows() const {
    if (stepIndex_ < 0) return {InitialStateRow()};
    std::vector<HistoryRow> rows;
    for (int i = stepIndex_; i >= 0; --i) {
        const StepEntry& e = entries_[size_t(i)];
        const std::u16string colours =
            e.picture.paletteSize != 0 ? number(e.picture.paletteSize) + u" 칼라" : u"";
        const std::u16string label = e.label == u"Opening...." ? u"(처음이미지)" : e.label;
        // "%3d %4s %13s"
        rows.push_back(
            {padLeft(number(i), 3) + u" " + padLeft(colours, 4) + u" " + padLeft(label, 13), i,
             e.kind});
    }
    return rows;
}

std::u16string UndoStore::HistoryText() const {
    std::u16string text = u"REDO : 언두리스트(Top " + number(stepIndex_) + u")";
    for (int i = 0; i <= stepIndex_; ++i)
        text += u" (" + number(i) + u") " + entries_[size_t(i)].label;
    return text;
}

}  // namespace quillet
