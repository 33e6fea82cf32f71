// Thousands of edits, undos and redos in random order, far past the 20-step window: after every
// operation the layer table must equal what a plain in-memory history says it should be.
#include <random>

#include "test_journal_support.h"

using namespace journal_test;

namespace {

// The in-memory history: one deep copy per kept step, shifted exactly as the journal shifts.
struct ModelHistory {
    std::vector<TableState> steps;
    void recorded(int newIndex, int oldIndex, TableState state) {
        if (oldIndex == UndoStore::kSteps - 1 && newIndex == UndoStore::kSteps - 1)
            steps.erase(steps.begin() + 2);
        else
            steps.resize(size_t(newIndex));
        steps.push_back(std::move(state));
    }
};

void runRandomHistory(unsigned seed, int operations, bool background = false) {
    std::mt19937 rng(seed);
    auto pick = [&](int n) { return int(rng() % unsigned(n)); };
    JournalDoc d(1, 9, 7);
    // Every file through the writer's thread, as large pictures' files go.
    if (background) d.j().Writer().SetBackgroundFrom(0);
    d.open(3);
    ModelHistory model;
    model.steps.push_back(capture(d.t()));
    int undos = 0, redos = 0, shifts = 0;

    for (int op = 0; op < operations; ++op) {
        const int before = d.j().StepIndex();
        const int r = pick(100);
        std::string what;
        if (r < 52) {
            const std::vector<int> order = d.t().Order();
            const int slot = order[size_t(pick(int(order.size())))];
            const int e = pick(100);
            if (e < 30) {
                what = "paint";
                d.paint(slot, op);
            } else if (e < 42) {
                what = "move";
                d.move(slot, pick(5) - 2, pick(5) - 2);
            } else if (e < 56 && order.size() < 12) {
                what = "add";
                d.doc.SetCurrentLayerIndex(slot);
                d.add(1 + pick(9), 1 + pick(7), pick(5) - 2, pick(5) - 2, op, pick(4) == 0,
                      pick(6) == 0);
            } else if (e < 66 && order.size() > 1) {
                what = "delete";
                d.remove(slot);
            } else if (e < 78 && order.size() > 1) {
                what = "restack";
                int below = pick(3) == 0 ? -1 : order[size_t(pick(int(order.size())))];
                if (below == slot) below = -1;
                d.restack(slot, below);
            } else if (e < 84) {
                what = "canvas";
                d.resizeCanvas(4 + pick(8), 3 + pick(6), op, pick(2) == 0);
            } else {
                const int text = [&] {
                    for (int s : order)
                        if (d.t().layer(s).kind == LayerKind::Text) return s;
                    return -1;
                }();
                if (text < 0) continue;
                what = "text";
                d.editText(text, op);
            }
            const int after = d.j().StepIndex();
            if (before == UndoStore::kSteps - 1) ++shifts;
            model.recorded(after, before, capture(d.t()));
            ASSERT_FALSE(d.doc.Redo()) << "redo right after recording, op " << op;
        } else if (r < 80) {
            what = "undo";
            const bool ok = d.doc.Undo();
            ASSERT_EQ(ok, before > 0) << "op " << op;
            ASSERT_EQ(d.j().StepIndex(), before > 0 ? before - 1 : before);
            undos += ok;
        } else {
            what = "redo";
            const bool ok = d.doc.Redo();
            ASSERT_EQ(ok, d.j().StepIndex() == before + 1);
            redos += ok;
        }
        const int k = d.j().StepIndex();
        ASSERT_GE(k, 0);
        ASSERT_LE(k, UndoStore::kSteps - 1);
        ASSERT_LE(d.j().RedoLimit(), UndoStore::kSteps - 1);
        ASSERT_EQ(model.steps.size() > size_t(k), true);
        ASSERT_TRUE(sameTable(model.steps[size_t(k)], d.t()))
            << "after op " << op << " (" << what << "), step " << k << ", seed " << seed;
        // The snapshot shares the planes: it must still hold the state of the step.
        ASSERT_TRUE(sameTable(model.steps[size_t(k)], d.doc.Snapshot()))
            << "snapshot after op " << op << " (" << what << "), seed " << seed;
        ASSERT_TRUE(d.t().InList(d.doc.CurrentLayer())) << "op " << op << " " << what;
        ASSERT_FALSE(d.doc.Busy());
    }
    // The run must really have exercised the window and both directions.
    EXPECT_GT(shifts, 20);
    EXPECT_GT(undos, 200);
    EXPECT_GT(redos, 100);
}

}  // namespace

TEST(JournalRandom, TableFollowsTheModelThroughThousandsOfOperations) {
    for (unsigned seed : {1u, 2u}) {
        SCOPED_TRACE(seed);
        runRandomHistory(seed, 2500);
        if (HasFatalFailure()) return;
    }
}

TEST(JournalRandom, FilesWrittenInTheBackgroundGiveTheSameHistory) {
    runRandomHistory(3, 2500, true);
}
