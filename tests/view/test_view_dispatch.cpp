// Choosing tools, the dispatch of mouse and keys, the move tool with its journal step and its
// transfer between windows, and the outline animation.
#include <gtest/gtest.h>

#include "ViewTestDoc.h"
#include "document/LayerOps.h"
#include "platform/ClipboardPort.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"
#include "view/ToolChoice.h"
#include "view/ToolState.h"
#include "view/ToolTable.h"
#include "view/ViewState.h"
#include "view/ViewZoom.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct Recorder : ToolOperation {
    std::vector<std::pair<char, ViewPoint>> calls;
    void down(ToolEvent& e) override { calls.push_back({'d', e.zoomed}); }
    void drag(ToolEvent& e) override { calls.push_back({'m', e.zoomed}); }
    void up(ToolEvent& e) override { calls.push_back({'u', e.zoomed}); }
    void doubleClick(ToolEvent& e) override { calls.push_back({'2', e.zoomed}); }
    void hover(ToolEvent& e) override { calls.push_back({'h', e.zoomed}); }
};

struct Fixture {
    RecordingUserPort user;
    CBrevDoc doc{user, 1};
    ToolState tools;
    MemoryClipboard clipboard;
    ToolRegistry registry;
    ViewState view{doc, ViewContext{tools, &clipboard, &registry}};
    int slot = -1;

    explicit Fixture(int w = 40, int h = 30) {
        AddPatternLayer(doc, w, h);
        slot = AddPatternLayer(doc, 10, 10, 5, 5, w, h);
        view.SetClientSize({w, h});  // the picture fills the window: window = zoomed point
        view.UpdateOther();
    }
};

}  // namespace

TEST(ToolChoice, RefusalsAndSliders) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    AddPatternLayer(doc, 20, 20);
    ToolState s;
    s.feather = 4;
    EXPECT_EQ(ChooseTool(s, ToolId::MagicWand, &doc), ToolChoice::Chosen);
    EXPECT_EQ(s.selectionKind, SelectionKind::MagicWand);
    EXPECT_EQ(s.slider1, (OptionSlider{true, "포함한계치", 25, 0, 60}));
    EXPECT_EQ(s.slider2.label, "경계퍼짐");
    EXPECT_EQ(s.slider2.value, 4);
    EXPECT_EQ(ChooseTool(s, ToolId::MagicWand, &doc), ToolChoice::AlreadyCurrent);
    EXPECT_EQ(ChooseTool(s, ToolId::RectSelect, &doc), ToolChoice::Chosen);
    EXPECT_EQ(s.slider1, (OptionSlider{true, "경계퍼짐", 4, 0, 30}));
    EXPECT_FALSE(s.slider2.enabled);
    EXPECT_EQ(ChooseTool(s, ToolId::PolygonSelect, &doc), ToolChoice::Chosen);
    EXPECT_EQ(s.previousTool, ToolId::RectSelect);
    EXPECT_EQ(ChooseTool(s, ToolId::Move, &doc), ToolChoice::Chosen);
    EXPECT_FALSE(s.slider1.enabled);

    // The path panel allows only polygon select, zoom and the path tools.
    s.pathPanelOpen = true;
    EXPECT_EQ(ChooseTool(s, ToolId::Brush, &doc), ToolChoice::Refused);
    EXPECT_EQ(s.currentTool, ToolId::Move);
    EXPECT_EQ(ChooseTool(s, ToolId::ZoomIn, &doc), ToolChoice::Chosen);
    s.pathPanelOpen = false;
    s.freeTransformPanelOpen = true;
    EXPECT_EQ(ChooseTool(s, ToolId::Move, &doc), ToolChoice::Refused);
    EXPECT_EQ(ChooseTool(s, ToolId::TransformDistort, &doc), ToolChoice::Chosen);
    EXPECT_TRUE(user.entries.empty());  // refused switches are silent
}

TEST(ToolChoice, SelectionToolOnATextLayerIsRefusedWithTheMessage) {
    RecordingUserPort user;
    CBrevDoc doc(user);
    AddPatternLayer(doc, 20, 20);
    AddPatternLayer(doc, 20, 20, 0, 0, 20, 20, LayerKind::Text);
    ToolState s;
    s.currentTool = ToolId::Move;
    doc.ViewShared().anchors.drag = {3, 3};
    EXPECT_EQ(ChooseTool(s, ToolId::RectSelect, &doc), ToolChoice::Refused);
    EXPECT_EQ(s.currentTool, ToolId::Move);
    EXPECT_EQ(user.lastText(), "현재는 [Text:글] 레이어. \n\r레이어창에서 다른 레이어 선택");
    EXPECT_TRUE(doc.ViewShared().anchors.drag.IsSet());
    EXPECT_EQ(ChooseTool(s, ToolId::Brush, &doc), ToolChoice::Chosen);  // refused at the click
    EXPECT_FALSE(doc.ViewShared().anchors.drag.IsSet());
}

TEST(ToolTable, LabelsPromptsAndCursors) {
    EXPECT_EQ(FindTool(ToolId::Move)->undoLabel, u"전체영상 위치이동");
    EXPECT_EQ(FindTool(ToolId::Eraser)->undoLabel, u"영역지우기");
    EXPECT_EQ(FindTool(ToolId::ZoomIn)->prompt, "화면 보기를 확대한다 ");
    EXPECT_EQ(CursorFor(ToolId::Move, false), CursorId::Move);
    EXPECT_EQ(CursorFor(ToolId::Brush, false), CursorId::FrameDefault);
    EXPECT_EQ(CursorFor(ToolId::Brush, true), CursorId::Cross);
    EXPECT_EQ(CursorFor(ToolId::Dot, true), CursorId::Dot);
    EXPECT_EQ(FindTool(ToolId(9999)), nullptr);
}

TEST(ZoomCommand, ChoosesTheToolOrZoomsAtOnceWhileDrawing) {
    Fixture f;
    f.tools.currentTool = ToolId::Brush;
    ZoomCommand(f.tools, f.doc, ToolId::ZoomIn);
    EXPECT_EQ(f.tools.currentTool, ToolId::ZoomIn);
    EXPECT_EQ(f.doc.Zoom(), 1.0);
    f.tools.currentTool = ToolId::FreehandSelect;
    ZoomCommand(f.tools, f.doc, ToolId::ZoomIn);
    EXPECT_EQ(f.tools.currentTool, ToolId::FreehandSelect);
    EXPECT_EQ(f.doc.Zoom(), 2.0);
    EXPECT_FALSE(f.doc.ViewShared().zoomAnchor.IsSet());
    f.tools.currentTool = ToolId::TransformSize;
    ZoomCommand(f.tools, f.doc, ToolId::ZoomOut);
    EXPECT_EQ(f.doc.Zoom(), 2.0);
}

TEST(Dispatch, RegisteredToolGetsZoomedPointsAndRepeatsAreDropped) {
    Fixture f;
    Recorder rec;
    f.registry.add(ToolId::Brush, rec);
    f.tools.currentTool = ToolId::Brush;
    f.view.MouseMove({3, 4}, false);
    f.view.MouseMove({3, 4}, false);  // same raw position: nothing more
    f.view.ButtonDown({6, 7});
    f.view.MouseMove({8, 9}, true);
    f.view.ButtonUp({100, -5});  // clamped to the edge pixel
    ASSERT_EQ(rec.calls.size(), 4u);
    EXPECT_EQ(rec.calls[0].first, 'h');
    EXPECT_EQ(rec.calls[1], (std::pair{'d', ViewPoint{6, 7}}));
    EXPECT_EQ(rec.calls[2], (std::pair{'m', ViewPoint{8, 9}}));
    EXPECT_EQ(rec.calls[3], (std::pair{'u', ViewPoint{39, 0}}));
    EXPECT_EQ(f.doc.ViewShared().anchors.circlePress.x, 6);
}

TEST(Dispatch, ZoomToolClickCentresThePoint) {
    Fixture f(400, 400);
    f.view.SetClientSize({100, 100});
    f.view.UpdateOther();
    f.tools.currentTool = ToolId::ZoomIn;
    f.view.ButtonDown({60, 40});
    f.view.UpdateForZoom();  // what the document's zoom notification does in the window
    EXPECT_EQ(f.doc.Zoom(), 2.0);
    EXPECT_EQ(f.view.ToZoomed({50, 50}), (ViewPoint{120, 80}));
}

TEST(Dispatch, DoubleClicksDropOrReachThePolygonTool) {
    Fixture f;
    Recorder rec;
    f.registry.add(ToolId::PolygonSelect, rec);
    f.doc.SetSelectionActive(true);
    f.doc.ViewShared().selectionShown = true;
    f.tools.currentTool = ToolId::RectSelect;
    f.view.DoubleClick({2, 2});
    EXPECT_FALSE(f.doc.SelectionActive());
    EXPECT_FALSE(f.doc.ViewShared().selectionShown);

    f.tools.currentTool = ToolId::MagicWand;
    f.doc.SetSelectionActive(true);
    f.view.KeyDown(VirtualKey::Shift, kLeftShiftRepeatFlags);
    f.view.DoubleClick({2, 2});
    EXPECT_TRUE(f.doc.SelectionActive());  // kept while adding to the selection

    f.tools.currentTool = ToolId::PolygonSelect;
    f.doc.ViewShared().selectionShown = false;
    f.view.DoubleClick({4, 5});
    ASSERT_EQ(rec.calls.size(), 1u);
    EXPECT_EQ(rec.calls[0], (std::pair{'2', ViewPoint{4, 5}}));
}

TEST(Keyboard, CtrlZoomsAndTheModifierFollowsShiftRepeats) {
    Fixture f(400, 400);
    f.view.KeyDown(VirtualKey::Plus);
    EXPECT_EQ(f.doc.Zoom(), 1.0);  // no Ctrl
    f.view.KeyDown(VirtualKey::Control);
    f.view.KeyDown(VirtualKey::Plus);
    EXPECT_EQ(f.doc.Zoom(), 2.0);
    EXPECT_EQ(f.doc.ViewShared().zoomAnchor.x, 0);
    f.view.KeyDown(VirtualKey::Minus);
    f.view.KeyDown(VirtualKey::Minus);
    EXPECT_EQ(f.doc.Zoom(), 0.5);
    f.view.KeyUp(VirtualKey::Control);
    f.view.KeyDown(VirtualKey::Minus);
    EXPECT_EQ(f.doc.Zoom(), 0.5);

    f.view.KeyDown(VirtualKey::Shift, 0x2A);  // first press: not yet
    EXPECT_FALSE(f.doc.ViewShared().addToSelection);
    f.view.KeyDown(VirtualKey::Shift, kLeftShiftRepeatFlags);
    EXPECT_TRUE(f.doc.ViewShared().addToSelection);
    f.view.KeyDown('A');
    EXPECT_FALSE(f.doc.ViewShared().addToSelection);
    f.view.KeyDown(VirtualKey::Shift, kLeftShiftRepeatFlags);
    f.view.KeyUp(VirtualKey::Shift);
    EXPECT_FALSE(f.doc.ViewShared().addToSelection);
}

TEST(MoveTool, DragMovesTheLayerAndButtonUpRecordsTheStep) {
    Fixture f;
    f.tools.currentTool = ToolId::Move;
    f.view.ButtonDown({10, 10});
    f.view.MouseMove({15, 12}, true);
    f.view.MouseMove({20, 13}, true);
    EXPECT_EQ(f.doc.Layers().layer(f.slot).x, 15);
    EXPECT_EQ(f.doc.Layers().layer(f.slot).y, 8);
    EXPECT_EQ(f.doc.Snapshot().layer(f.slot).x, 5);  // stored on button up only
    EXPECT_TRUE(RecordedSteps(f.doc).empty());
    f.view.ButtonUp({20, 13});
    const auto steps = RecordedSteps(f.doc);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].label, u"전체영상 위치이동");
    EXPECT_EQ(steps[0].kind, StepKind::PixelEdit);
    EXPECT_EQ(f.doc.Snapshot().layer(f.slot).x, 15);

    // A pending selection move records nothing here.
    f.doc.ViewShared().selectionMovePending = true;
    f.view.ButtonDown({1, 1});
    f.view.MouseMove({2, 1}, true);
    f.view.ButtonUp({2, 1});
    EXPECT_EQ(RecordedSteps(f.doc).size(), 1u);
}

// The step a tool records is the document's own: undo and redo bring the layer back and forth
// without any window.
TEST(MoveTool, TheRecordedMoveIsUndoneAndRedoneByTheDocument) {
    testsupport::TempDir dir("quillet_view");
    Fixture f;
    f.doc.Journal().SetFolder(dir.path().string() + '/');
    ASSERT_TRUE(f.doc.RecordStep(u"Opening....", StepKind::PixelEdit));
    f.tools.currentTool = ToolId::Move;
    f.view.ButtonDown({10, 10});
    f.view.MouseMove({16, 13}, true);
    f.view.ButtonUp({16, 13});
    ASSERT_EQ(f.doc.Layers().layer(f.slot).x, 11);
    ASSERT_EQ(f.doc.Journal().StepIndex(), 1);
    ASSERT_TRUE(f.doc.Undo());
    EXPECT_EQ(f.doc.Layers().layer(f.slot).x, 5);
    EXPECT_EQ(f.doc.Layers().layer(f.slot).y, 5);
    ASSERT_TRUE(f.doc.Redo());
    EXPECT_EQ(f.doc.Layers().layer(f.slot).x, 11);
    EXPECT_EQ(f.doc.Layers().layer(f.slot).y, 8);
}

TEST(MoveTool, ZoomedDragsAddUpWithoutDrift) {
    Fixture f(400, 400);
    f.doc.SetZoom(2.0);
    f.view.SetClientSize({800, 800});
    f.view.UpdateOther();
    f.tools.currentTool = ToolId::Move;
    f.view.ButtonDown({10, 10});
    for (int x = 11; x <= 17; ++x) f.view.MouseMove({x, 10}, true);
    EXPECT_EQ(f.doc.Layers().layer(f.slot).x, 5 + 8 - 5);  // floor(17 / 2) − floor(10 / 2)
    f.doc.SetZoom(0.25);
    f.view.SetClientSize({100, 100});
    f.view.UpdateOther();
    f.view.ButtonUp({17, 10});
    f.view.ButtonDown({10, 10});
    f.view.MouseMove({11, 10}, true);
    EXPECT_EQ(f.doc.Layers().layer(f.slot).x, 8 + 4);
}

TEST(MoveTool, ArrowKeysMoveByOnePixelAndStoreTheSnapshot) {
    Fixture f;
    f.view.KeyDown(VirtualKey::Left);
    EXPECT_EQ(f.doc.Layers().layer(f.slot).x, 5);  // not the move tool
    f.tools.currentTool = ToolId::Move;
    f.view.KeyDown(VirtualKey::Left);
    f.view.KeyDown(VirtualKey::Up);
    f.view.KeyDown(VirtualKey::Up);
    f.view.KeyDown(VirtualKey::Right);
    f.view.KeyDown(VirtualKey::Right);
    f.view.KeyDown(VirtualKey::Down);
    EXPECT_EQ(f.doc.Layers().layer(f.slot).x, 6);
    EXPECT_EQ(f.doc.Layers().layer(f.slot).y, 4);
    EXPECT_EQ(f.doc.Snapshot().layer(f.slot).y, 4);
}

TEST(MoveTool, LayerDraggedOutOfAWindowIsPastedIntoAnother) {
    Fixture a;
    RecordingUserPort user2;
    CBrevDoc docB(user2, 2);
    AddPatternLayer(docB, 30, 20);
    ViewState viewB(docB, ViewContext{a.tools, &a.clipboard, &a.registry});
    viewB.SetClientSize({30, 20});
    // Half of the layer is transparent: the alpha travels with it.
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 5; ++c) a.doc.Layers().PutAlpha(a.slot, c, r, 0);

    a.tools.currentTool = ToolId::Move;
    a.view.ButtonDown({10, 10});
    a.view.MouseMove({14, 11}, true);
    EXPECT_TRUE(a.view.MoveDragLeft());
    EXPECT_EQ(a.doc.Layers().layer(a.slot).x, 5);  // back where the drag started
    EXPECT_TRUE(a.tools.dropPending);
    EXPECT_FALSE(a.view.AcceptPendingDrop());  // not into its own window
    a.view.ButtonUp({40, 10});
    EXPECT_TRUE(RecordedSteps(a.doc).empty());

    EXPECT_TRUE(viewB.AcceptPendingDrop());
    EXPECT_FALSE(a.tools.dropPending);
    const int pasted = docB.CurrentLayer();
    ASSERT_EQ(pasted, 1);
    const LayerTable& t = docB.Layers();
    EXPECT_EQ(t.Top(), pasted);
    EXPECT_EQ(t.layer(pasted).width, 10);
    EXPECT_EQ(t.header.canvasWidth, 30);
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c) {
            EXPECT_EQ(t.ColorAt(pasted, c, r), a.doc.Layers().ColorAt(a.slot, c, r));
            EXPECT_EQ(t.AlphaAt(pasted, c, r), c < 5 ? 0 : 255);
        }
    const auto steps = RecordedSteps(docB);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].label, u"복사물 붙이기");
    EXPECT_EQ(steps[0].kind, StepKind::PasteLayer);
}

TEST(OutlineAnimation, SixTicksPauseAndResume) {
    Fixture f;
    OutlineAnimation& a = f.view.Animation();
    a.start(100);
    EXPECT_EQ(a.intervalMs(), 100);
    f.doc.SetBusy(true);
    EXPECT_FALSE(f.view.TimerTick());
    f.doc.SetBusy(false);
    int repaints = 0;
    for (int i = 0; i < 10; ++i) repaints += f.view.TimerTick() ? 1 : 0;
    EXPECT_EQ(repaints, 6);
    EXPECT_EQ(a.intervalMs(), 400);
    EXPECT_FALSE(a.timerRunning());
    EXPECT_TRUE(f.doc.ViewShared().outlinePaused);
    f.view.MouseMove({1, 1}, false);
    EXPECT_TRUE(a.timerRunning());
    EXPECT_TRUE(f.doc.ViewShared().selectionShown);
    f.view.FocusLost();
    EXPECT_FALSE(a.timerRunning());
    EXPECT_TRUE(a.paused());
    f.view.FocusGained();
    EXPECT_TRUE(a.timerRunning());
    f.view.DropSelection();
    EXPECT_FALSE(a.timerRunning());
    EXPECT_FALSE(a.paused());
}
