#pragma once
// Journal tests: a document in a temporary folder, the document primitives that steps are
// recorded for, and a deep copy of the layer table to compare against.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "document/CBrevDoc.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/LayerBuilders.h"
#include "tests/support/TempDir.h"

namespace journal_test {

using namespace quillet;

// The journal folder: a temporary folder, with the trailing slash the journal expects.
struct TempDir {
    testsupport::TempDir dir{"quillet_journal"};
    std::string path = dir.path().string() + '/';
};

inline bool fileExists(const std::string& p) { return std::filesystem::exists(p); }
inline uint64_t fileSize(const std::string& p) { return std::filesystem::file_size(p); }

// A document whose journal writes into its own temporary folder.
struct JournalDoc {
    TempDir dir;
    RecordingUserPort user;
    CBrevDoc doc;
    int canvasW, canvasH;

    explicit JournalDoc(int number = 1, int w = 8, int h = 6)
        : doc(user, number), canvasW(w), canvasH(h) {
        doc.Journal().SetFolder(dir.path);
    }
    LayerTable& t() { return doc.Layers(); }
    UndoStore& j() { return doc.Journal(); }

    // Deterministic content for a layer's planes.
    void paintPattern(int slot, int seed) {
        LayerPlanes& p = t().planesOf(slot);
        const bool text = t().layer(slot).kind == LayerKind::Text;
        if (!text)
            for (size_t i = 0; i < p.pixels.size(); ++i) p.pixels[i] = uint8_t(seed * 31 + i * 7);
        for (size_t i = 0; i < p.alpha.size(); ++i) p.alpha[i] = uint8_t(seed * 13 + i * 3);
        for (size_t i = 0; i < p.effect.size(); ++i) p.effect[i] = uint8_t(seed + i);
    }

    // An opened picture: the picture layer in slot 0, centred, then "Opening....".
    void open(int seed = 1) {
        CreateLayerArgs a;
        a.slot = 0;
        a.width = canvasW;
        a.height = canvasH;
        a.initialAlpha = 255;
        a.centre = true;
        a.background = true;
        a.kind = LayerKind::Picture;
        ASSERT_EQ(testsupport::AddLayer(doc, a, -1), 0);
        Layer& l = t().layer(0);
        l.SetName(u"배경영상");
        paintPattern(0, seed);
        doc.SetCurrentLayerIndex(0);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit);
    }

    // Adds a layer above the current one (or as the new bottom) and records its step.
    int add(int w, int h, int x, int y, int seed, bool text = false, bool asBottom = false) {
        const int slot = doc.FreeSlotForNewLayer();
        if (slot < 0) return -1;
        CreateLayerArgs a = testsupport::LayerArgs(t(), slot, x, y, w, h,
                                                   text ? LayerKind::Text : LayerKind::Raster);
        a.paletteSize = 0;
        if (testsupport::AddLayer(doc, a, asBottom ? -1 : doc.CurrentLayer()) < 0) return -1;
        Layer& l = t().layer(slot);
        l.SetName(u"레이어 " + std::u16string(1, char16_t(u'0' + slot % 10)));
        paintPattern(slot, seed);
        if (text) setText(slot, seed);
        doc.SetCurrentLayerIndex(slot);
        doc.RecordStep(text ? u"글자입력" : u"레이어추가",
                       text ? StepKind::TextLayer : StepKind::AddLayer, slot);
        return slot;
    }

    void setText(int slot, int seed) {
        const int n = 1 + seed % 9;
        LayerPlanes& p = t().planesOf(slot);
        p.text.assign(size_t(n) + 1, 0);
        for (int i = 0; i < n; ++i) p.text[size_t(i)] = char16_t(u'가' + seed + i);
        Layer& l = t().layer(slot);
        l.textLength = n;
        l.textColour = uint32_t(seed) * 0x10101u;
        l.textX = seed % 5;
        l.textY = seed % 3;
    }

    void paint(int slot, int seed) {
        paintPattern(slot, seed);
        t().layer(slot).transparency = uint8_t(seed);
        doc.RecordStep(u"채우기", StepKind::PixelEdit, slot);
    }
    void move(int slot, int dx, int dy) {
        t().layer(slot).x += dx;
        t().layer(slot).y += dy;
        doc.RecordStep(u"선택영역 위치이동", StepKind::PixelEdit, slot);
    }
    void editText(int slot, int seed) {
        setText(slot, seed);
        doc.RecordStep(u"글자수정", StepKind::TextEdit, slot);
    }
    // Takes the layer out of the list and puts it above `below` (-1: at the bottom).
    void restack(int slot, int below) {
        t().Unlink(slot);
        t().LinkAbove(slot, below);
        doc.RecordStep(u"레이어 위치 이동", StepKind::MoveInStack, slot);
    }
    void remove(int slot) {
        t().Unlink(slot);
        t().layer(slot).used = 0;
        doc.SetCurrentLayerIndex(t().Top());
        doc.RecordStep(u"레이어삭제", StepKind::DeleteLayer, slot);
    }
    // Every layer created again at a new canvas size, keeping its record's other fields.
    void resizeCanvas(int w, int h, int seed, bool rotation = false) {
        canvasW = w;
        canvasH = h;
        for (int s : t().Order()) {
            const Layer before = t().layer(s);
            const std::vector<char16_t> text = t().planesOf(s).text;
            CreateLayerArgs a;
            a.slot = s;
            a.width = w;
            a.height = h;
            a.canvasWidth = w;
            a.canvasHeight = h;
            a.kind = before.kind;
            a.background = before.background != 0;
            a.bitsPerPixel = t().header.bitsPerPixel;
            ASSERT_TRUE(doc.CreateLayer(a));
            Layer& l = t().layer(s);
            std::memcpy(l.name, before.name, sizeof l.name);
            l.used = 1;
            l.visible = before.visible;
            l.creationTag = before.creationTag;
            l.textLength = before.textLength;
            l.textColour = before.textColour;
            t().planesOf(s).text = text;
            paintPattern(s, seed + s);
        }
        if (rotation) {
            StepExtras extras;
            extras.rotationDegrees = 90;
            doc.RecordStep(u"캔버스 90 우회전", StepKind::Rotate, -1, extras);
        } else {
            doc.RecordStep(u"캔버스크기조정", StepKind::CanvasResize);
        }
    }
};

// A deep copy of what the journal must bring back: the list and every listed layer.
struct TableState {
    int bottom = -1;
    std::vector<int> order;
    std::vector<Layer> records;
    std::vector<LayerPlanes> planes;
    int canvasW = 0, canvasH = 0;
};

inline TableState capture(const LayerTable& t) {
    TableState s;
    s.bottom = t.bottom;
    s.order = t.Order();
    for (int slot : s.order) {
        s.records.push_back(t.layer(slot));
        // Deep: planes copied as a table copies them would share storage with the document
        // and change with it if anything wrote into a shared plane.
        const LayerPlanes& p = t.planesOf(slot);
        LayerPlanes copy;
        copy.pixels = p.pixels.ToVector();
        copy.alpha = p.alpha.ToVector();
        copy.effect = p.effect.ToVector();
        copy.text = p.text;
        s.planes.push_back(std::move(copy));
    }
    s.canvasW = t.header.canvasWidth;
    s.canvasH = t.header.canvasHeight;
    return s;
}

inline std::u16string textOf(const LayerPlanes& p, int length) {
    std::u16string out;
    for (int i = 0; i < length && size_t(i) < p.text.size(); ++i) out += p.text[size_t(i)];
    return out;
}

// Field by field where it helps a failure message, then the whole record.
inline ::testing::AssertionResult sameTable(const TableState& want, const LayerTable& t) {
    const TableState got = capture(t);
    if (got.order != want.order) return ::testing::AssertionFailure() << "layer order differs";
    if (got.canvasW != want.canvasW || got.canvasH != want.canvasH)
        return ::testing::AssertionFailure() << "canvas size differs";
    for (size_t i = 0; i < want.order.size(); ++i) {
        const Layer& a = want.records[i];
        const Layer& b = got.records[i];
        const int slot = want.order[i];
        if (a.width != b.width || a.height != b.height || a.x != b.x || a.y != b.y)
            return ::testing::AssertionFailure() << "slot " << slot << " geometry differs";
        if (std::memcmp(&a, &b, sizeof a) != 0) {
            const auto* pa = reinterpret_cast<const uint8_t*>(&a);
            const auto* pb = reinterpret_cast<const uint8_t*>(&b);
            size_t at = 0;
            while (pa[at] == pb[at]) ++at;
            return ::testing::AssertionFailure()
                   << "slot " << slot << " record differs from byte " << at;
        }
        const LayerPlanes& p = want.planes[i];
        const LayerPlanes& q = got.planes[i];
        if (p.pixels != q.pixels)
            return ::testing::AssertionFailure() << "slot " << slot << " pixels";
        if (p.alpha != q.alpha) return ::testing::AssertionFailure() << "slot " << slot << " alpha";
        if (p.effect != q.effect)
            return ::testing::AssertionFailure() << "slot " << slot << " effect";
        if (textOf(p, a.textLength) != textOf(q, b.textLength))
            return ::testing::AssertionFailure() << "slot " << slot << " text";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace journal_test
