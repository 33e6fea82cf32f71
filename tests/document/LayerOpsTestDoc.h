#pragma once
// Layer-operation tests: an opened picture whose journal writes into a temporary folder, layers
// added the way the editor adds them, and the list invariants every operation must keep.
#include <gtest/gtest.h>

#include <set>

#include "document/LayerOps.h"
#include "test_journal_support.h"

namespace layer_ops_test {

using namespace quillet;
using journal_test::capture;
using journal_test::sameTable;
using journal_test::TableState;

// The bottom names a used slot whose previous is -1, links agree both ways, the walk visits
// each listed slot once and every used slot is listed.
inline ::testing::AssertionResult ListIsSound(const LayerTable& t) {
    if (t.bottom == -1) {
        for (int s = 0; s < kLayerSlots; ++s)
            if (t.layer(s).used) return ::testing::AssertionFailure() << "used slot, no list";
        return ::testing::AssertionSuccess();
    }
    if (!LayerTable::IsValidIndex(t.bottom) || !t.layer(t.bottom).used ||
        t.layer(t.bottom).previous != -1)
        return ::testing::AssertionFailure() << "bad bottom " << t.bottom;
    std::set<int> seen;
    int previous = -1;
    for (int s = t.bottom; s != -1; s = t.layer(s).next) {
        if (!LayerTable::IsValidIndex(s) || !seen.insert(s).second)
            return ::testing::AssertionFailure() << "walk breaks at " << s;
        if (!t.layer(s).used) return ::testing::AssertionFailure() << "unused slot listed " << s;
        if (t.layer(s).previous != previous)
            return ::testing::AssertionFailure() << "slot " << s << " previous link";
        previous = s;
    }
    for (int s = 0; s < kLayerSlots; ++s)
        if (t.layer(s).used && !seen.count(s))
            return ::testing::AssertionFailure() << "used slot " << s << " not listed";
    return ::testing::AssertionSuccess();
}

struct OpsDoc : journal_test::JournalDoc {
    explicit OpsDoc(int w = 8, int h = 6, int number = 1) : JournalDoc(number, w, h) { open(1); }

    // A layer added by the add command and painted as a tool would, with its own step.
    int addPainted(int seed) {
        const int slot = AddEmptyLayer(doc);
        if (slot >= 0) paint(slot, seed);
        return slot;
    }
    // Makes a raster layer a text layer of the same size (as the text tool builds one).
    void makeText(int slot, int seed, uint32_t colour = 0x3366CC) {
        CreateLayerArgs a =
            testsupport::LayerArgs(t(), slot, t().layer(slot).x, t().layer(slot).y,
                                   t().layer(slot).width, t().layer(slot).height, LayerKind::Text);
        ASSERT_TRUE(doc.CreateLayer(a));
        paintPattern(slot, seed);
        setText(slot, seed);
        t().layer(slot).textColour = colour;
        doc.RecordStep(u"글자수정", StepKind::TextEdit, slot);
    }
    std::vector<std::u16string> names() {
        std::vector<std::u16string> out;
        for (int s : t().Order()) out.push_back(t().layer(s).Name());
        return out;
    }
};

}  // namespace layer_ops_test
