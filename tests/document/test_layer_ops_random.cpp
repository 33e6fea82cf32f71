// Thousands of layer operations in random order, with undo and redo far past the 20-step
// window. A plain model of the stack says after every one what the document must hold; merges
// and flattens take their pixels from the slow reference compositor.
#include <map>
#include <random>

#include "CompositorReference.h"
#include "LayerOpsTestDoc.h"
#include "image/RaViru.h"
#include "platform/ClipboardPort.h"

using namespace layer_ops_test;

namespace {

struct ModelLayer {
    int slot = -1;
    std::u16string name;
    uint8_t kind = LayerKind::Raster;
    int32_t visible = 1;
    uint8_t transparency = 0;
    uint8_t blend = 0;
    int32_t background = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<uint8_t> pixels, alpha;  // as the planes hold them; text layers: alpha only
    std::u16string text;
};

struct Model {
    std::vector<ModelLayer> stack;  // bottom first
    int current = -1;               // slot

    size_t indexOf(int slot) const {
        for (size_t i = 0; i < stack.size(); ++i)
            if (stack[i].slot == slot) return i;
        return SIZE_MAX;
    }
    int freeSlot() const {
        for (int s = 0; s < kLayerSlots; ++s)
            if (indexOf(s) == SIZE_MAX) return s;
        return -1;
    }
};

std::u16string DefaultName(int slot) {
    const std::string n = std::to_string(slot);
    return u"레이어 " + std::u16string(n.begin(), n.end());
}

// The bytes that pad pixel rows to four are no part of the picture.
void ClearRowEnds(ModelLayer& m) {
    const size_t used = size_t(m.width) * 3, stride = StrideFor(24, m.width);
    for (size_t at = 0; at + stride <= m.pixels.size(); at += stride)
        std::fill(m.pixels.begin() + std::ptrdiff_t(at + used),
                  m.pixels.begin() + std::ptrdiff_t(at + stride), 0);
}

ModelLayer FromTable(const LayerTable& t, int slot) {
    const Layer& l = t.layer(slot);
    ModelLayer m;
    m.slot = slot;
    m.name = l.Name();
    m.kind = l.kind;
    m.visible = l.visible;
    m.transparency = l.transparency;
    m.blend = l.blendMode;
    m.background = l.background;
    m.x = l.x;
    m.y = l.y;
    m.width = l.width;
    m.height = l.height;
    if (l.kind != LayerKind::Text) m.pixels = t.planesOf(slot).pixels;
    ClearRowEnds(m);
    m.alpha = t.planesOf(slot).alpha;
    m.text = journal_test::textOf(t.planesOf(slot), l.textLength);
    return m;
}

::testing::AssertionResult SameAsModel(const Model& m, const LayerTable& t) {
    if (auto sound = ListIsSound(t); !sound) return sound;
    const std::vector<int> order = t.Order();
    if (order.size() != m.stack.size())
        return ::testing::AssertionFailure() << order.size() << " layers, model " << m.stack.size();
    for (size_t i = 0; i < order.size(); ++i) {
        ModelLayer want = m.stack[i];
        ClearRowEnds(want);
        const ModelLayer got = FromTable(t, order[i]);
        auto differs = [&](const char* what) {
            return ::testing::AssertionFailure()
                   << "row " << i << " (slot " << order[i] << "): " << what;
        };
        if (got.slot != want.slot) return differs("slot");
        if (got.name != want.name) return differs("name");
        if (got.kind != want.kind) return differs("kind");
        if (got.visible != want.visible || got.transparency != want.transparency ||
            got.blend != want.blend)
            return differs("settings");
        if (got.x != want.x || got.y != want.y || got.width != want.width ||
            got.height != want.height)
            return differs("geometry");
        if (got.pixels != want.pixels) return differs("pixels");
        if (got.alpha != want.alpha) return differs("alpha");
        if (got.text != want.text) return differs("text");
    }
    return ::testing::AssertionSuccess();
}

// The layer that `ComposeIntoLayer` must make of `count` layers from `start`: the reference
// composition at canvas size.
void ComposedInto(ModelLayer& m, const LayerTable& t, int start, int count) {
    const Image32 ref = reference::Full(t, start, count);
    const int W = t.header.canvasWidth, H = t.header.canvasHeight;
    const size_t stride = StrideFor(24, W);
    m.kind = m.kind == LayerKind::Text ? LayerKind::Raster : m.kind;
    m.x = m.y = 0;
    m.width = W;
    m.height = H;
    m.pixels.assign(stride * size_t(H), 0);
    m.alpha.assign(size_t(W) * H, 0);
    m.text.clear();
    for (int r = 0; r < H; ++r)
        for (int x = 0; x < W; ++x) {
            const uint8_t* s = ref.Row(r) + x * 4;
            std::copy(s, s + 3, m.pixels.begin() + std::ptrdiff_t(size_t(r) * stride + x * 3));
            m.alpha[size_t(r) * W + x] = s[3];
        }
}

// A foreign bitmap with pixels from the seed.
std::vector<uint8_t> Bitmap(int w, int h, int seed) {
    RaViru image(w, h, 24, ImageKind::Jpeg);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixelColor(x, y,
                                packBgr(uint8_t(seed + x * 40), uint8_t(y * 50), uint8_t(seed)));
    return image.ToPackedDib(DibRect{0, 0, w - 1, h - 1});
}

struct History {
    std::vector<Model> steps;
    void recorded(int newIndex, int oldIndex, Model state) {
        if (oldIndex == UndoStore::kSteps - 1 && newIndex == UndoStore::kSteps - 1)
            steps.erase(steps.begin() + 2);
        else
            steps.resize(size_t(newIndex));
        steps.push_back(std::move(state));
    }
};

void RunRandomOperations(unsigned seed, int operations) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    OpsDoc d(7, 5);
    MemoryClipboard clip;
    Model m;
    m.stack.push_back(FromTable(d.t(), 0));
    m.current = 0;
    History history;
    history.steps.push_back(m);
    std::map<std::string, int> done;

    for (int op = 0; op < operations; ++op) {
        LayerTable& t = d.t();
        const int before = d.j().StepIndex();
        const size_t n = m.stack.size();
        const size_t ci = m.indexOf(m.current);
        ASSERT_NE(ci, SIZE_MAX);
        ModelLayer& cur = m.stack[ci];
        const int r = pick(100);
        std::string what;
        bool records = true;   // the operation (or the edit after it) records one step
        bool refused = false;  // the operation must change nothing

        if (r < 12) {
            what = "add";
            const int slot = m.freeSlot();
            const int got = AddEmptyLayer(d.doc);
            if (slot < 0) {
                ASSERT_EQ(got, -1);
                refused = true;
            } else {
                ASSERT_EQ(got, slot);
                ModelLayer l;
                l.slot = slot;
                l.name = DefaultName(slot);
                l.width = 7;
                l.height = 5;
                l.pixels.assign(StrideFor(24, 7) * 5, 255);
                l.alpha.assign(35, 0);
                m.stack.insert(m.stack.begin() + std::ptrdiff_t(ci + 1), l);
                m.current = slot;
            }
        } else if (r < 20) {
            what = "delete";
            const bool ok = DeleteCurrentLayer(d.doc);
            ASSERT_EQ(ok, n > 1);
            if (ok) {
                m.current = ci + 1 < n ? m.stack[ci + 1].slot : m.stack[ci - 1].slot;
                m.stack.erase(m.stack.begin() + std::ptrdiff_t(ci));
            }
            refused = !ok;
        } else if (r < 28) {
            what = "duplicate";
            const int slot = m.freeSlot();
            const int got = DuplicateCurrentLayer(d.doc, clip);
            ASSERT_EQ(got, slot);
            if (slot >= 0) {
                ModelLayer l = cur;
                l.slot = slot;
                l.name = DefaultName(slot);
                l.visible = 1;
                l.transparency = 0;
                l.blend = 0;
                l.background = 1;
                m.stack.push_back(l);
                m.current = slot;
            }
            refused = slot < 0;
        } else if (r < 40) {
            const bool down = pick(2) == 0;
            what = down ? "merge down" : "merge up";
            const size_t lower = down ? ci : ci - 1;
            const bool exists = down ? ci + 1 < n : ci > 0;
            const bool text = exists && (m.stack[lower].kind == LayerKind::Text ||
                                         m.stack[lower + 1].kind == LayerKind::Text);
            ModelLayer merged;
            if (exists && !text) {
                merged = m.stack[lower];
                ComposedInto(merged, t, merged.slot, 2);
            }
            const bool ok = down ? MergeDown(d.doc) : MergeUp(d.doc);
            ASSERT_EQ(ok, exists && !text);
            if (ok) {
                m.stack[lower] = merged;
                m.stack.erase(m.stack.begin() + std::ptrdiff_t(lower + 1));
                m.current = merged.slot;
            }
            refused = !ok;
        } else if (r < 44) {
            what = "flatten";
            ModelLayer flat = m.stack[0];
            ComposedInto(flat, t, flat.slot, 0);
            ASSERT_TRUE(FlattenLayers(d.doc));
            m.stack.assign(1, flat);
            m.current = flat.slot;
        } else if (r < 54) {
            what = "swap";
            const int other = m.stack[size_t(pick(int(n)))].slot;
            const bool ok = SwapLayerPlaces(d.doc, m.current, other);
            ASSERT_EQ(ok, other != m.current);
            if (ok) std::swap(m.stack[ci], m.stack[m.indexOf(other)]);
            refused = !ok;
        } else if (r < 62) {
            what = "paste";
            const int w = 1 + pick(6), h = 1 + pick(5);
            clip.setPackedDib(Bitmap(w, h, op));
            const int slot = m.freeSlot();
            ASSERT_EQ(PasteAsNewLayer(d.doc, clip), slot);
            if (slot >= 0) {
                RaViru image;
                const auto dib = Bitmap(w, h, op);
                ASSERT_TRUE(image.FromPackedDib(dib.data(), dib.size(), false, nullptr));
                ModelLayer l;
                l.slot = slot;
                l.name = DefaultName(slot);
                l.background = 1;
                l.width = w;
                l.height = h;
                l.pixels.assign(StrideFor(24, w) * size_t(h), 255);  // row ends as created
                for (int y = 0; y < h; ++y)
                    std::copy_n(image.Row(y), w * 3,
                                l.pixels.begin() + std::ptrdiff_t(size_t(y) * StrideFor(24, w)));
                l.alpha.assign(size_t(w) * h, 255);
                m.stack.push_back(l);
                m.current = slot;
            }
            refused = slot < 0;
        } else if (r < 72) {
            // A setting, then a tool edit of the layer so that the journal holds both.
            const int e = pick(5);
            const int slot = m.current;
            if (e == 0) {
                what = "rename";
                const std::u16string name(size_t(1 + pick(120)), char16_t(u'가' + op % 50));
                ASSERT_TRUE(RenameCurrentLayer(d.doc, name));
                cur.name = name.substr(0, 100);
            } else if (e == 1) {
                what = "visibility";
                ASSERT_TRUE(SetLayerVisible(d.doc, slot, cur.visible != 1));
                cur.visible = cur.visible == 1 ? 0 : 1;
            } else if (e == 2) {
                what = "transparency";
                cur.transparency = uint8_t(pick(256));
                ASSERT_TRUE(SetLayerTransparency(d.doc, slot, cur.transparency));
            } else if (e == 3) {
                what = "blend";
                const BlendMode mode = BlendModeOf(uint8_t(pick(11)));
                ASSERT_TRUE(SetLayerBlendMode(d.doc, slot, mode));
                cur.blend = uint8_t(mode);
            } else {
                what = "rasterize";
                const bool text = cur.kind == LayerKind::Text;
                const Layer l = t.layer(slot);
                ASSERT_EQ(RasterizeCurrentLayer(d.doc), text);
                if (text) {
                    cur.kind = LayerKind::Raster;
                    cur.text.clear();
                    cur.pixels.assign(StrideFor(24, l.width) * size_t(l.height), 255);
                    for (size_t i = 0; i < size_t(l.width) * l.height; ++i) {
                        const size_t at = (i / size_t(l.width)) * StrideFor(24, l.width) +
                                          (i % size_t(l.width)) * 3;
                        cur.pixels[at] = uint8_t(l.textColour);
                        cur.pixels[at + 1] = uint8_t(l.textColour >> 8);
                        cur.pixels[at + 2] = uint8_t(l.textColour >> 16);
                    }
                }
            }
            ASSERT_TRUE(SameAsModel(m, t)) << "op " << op << " " << what;
            d.doc.RecordStep(u"채우기", StepKind::PixelEdit, slot);
        } else if (r < 76) {
            what = "text";
            if (cur.kind == LayerKind::Picture) continue;
            d.makeText(m.current, op);
            if (::testing::Test::HasFatalFailure()) return;
            cur = FromTable(t, m.current);
        } else if (r < 80) {
            what = "paint";
            d.paint(m.current, op);
            cur = FromTable(t, m.current);
        } else if (r < 84) {
            what = "select";
            m.current = m.stack[size_t(pick(int(n)))].slot;
            d.doc.SetCurrentLayerIndex(m.current);
            records = false;
        } else if (r < 94) {
            what = "undo";
            const bool ok = d.doc.Undo();
            ASSERT_EQ(ok, before > 0);
            records = false;
            if (ok) m = history.steps[size_t(d.j().StepIndex())];
        } else {
            what = "redo";
            const bool ok = d.doc.Redo();
            records = false;
            if (ok) m = history.steps[size_t(d.j().StepIndex())];
        }
        // The journal decides which layer is current after a replay; the model follows it.
        if (what == "undo" || what == "redo") m.current = d.doc.CurrentLayer();
        if (refused) {
            records = false;
            ASSERT_EQ(d.j().StepIndex(), before) << "op " << op << " " << what;
        }
        if (records) {
            ASSERT_EQ(d.j().StepIndex(), std::min(before + 1, UndoStore::kSteps - 1))
                << "op " << op << " " << what;
            history.recorded(d.j().StepIndex(), before, m);
        }
        ASSERT_TRUE(SameAsModel(m, t)) << "op " << op << " " << what << ", seed " << seed;
        ASSERT_EQ(d.doc.CurrentLayer(), m.current) << "op " << op << " " << what;
        ++done[what + (refused ? " (refused)" : "")];
    }
    // The run must have reached every operation, its refusals and both directions of replay.
    for (const char* kind :
         {"add", "delete", "duplicate", "merge down", "merge up", "flatten", "swap", "paste",
          "rename", "visibility", "transparency", "blend", "rasterize", "text", "undo", "redo",
          "merge down (refused)", "merge up (refused)"})
        EXPECT_GT(done[kind], 5) << kind;
}

}  // namespace

TEST(LayerOpsRandom, TheDocumentFollowsThePlainModelThroughThousandsOfOperations) {
    for (unsigned seed : {7u, 8u, 9u}) {
        SCOPED_TRACE(seed);
        RunRandomOperations(seed, 2000);
        if (HasFatalFailure()) return;
    }
}
