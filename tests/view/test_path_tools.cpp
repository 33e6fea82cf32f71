// Path editing: distances, closing, the 300-point limit, moving, inserting and removing guide
// points, the questions asked, and the cursors over the view.
#include <gtest/gtest.h>

#include "platform/RecordingUserPort.h"
#include "tests/view/ViewTestDoc.h"
#include "view/ToolState.h"
#include "view/ToolTable.h"
#include "view/tools/PathTools.h"

using namespace quillet;

namespace {

struct PathDoc : ::testing::Test {
    RecordingUserPort user;
    CBrevDoc doc{user};
    ToolState tools;
    PathTool tool;
    void SetUp() override { ASSERT_GE(quillet::testing::AddPatternLayer(doc, 400, 300), 0); }
    GuidePath& path() { return doc.ViewShared().path; }
    void click(ToolId id, int x, int y) {
        tools.currentTool = id;
        ToolEvent e{doc, tools, {x, y}};
        tool.down(e);
        tool.up(e);
    }
};

}  // namespace

TEST(GuideDistance, SquaredAndNegativeCoordinatesAreFarthest) {
    EXPECT_EQ(GuideDistance({1, 2}, {4, 6}), 25u);
    EXPECT_EQ(GuideDistance({-1, 2}, {4, 6}), 0xFFFFFFFFu);
    GuidePath p;
    p.points = {{10, 10}, {20, 20}, {10, 10}};
    EXPECT_EQ(NearestGuidePoint(p, {11, 11}), 0);  // the first of equals
    EXPECT_EQ(NearestGuidePoint(GuidePath{}, {1, 1}), -1);
}

TEST_F(PathDoc, ClosesAtSquaredDistanceNineNotSixteen) {
    click(ToolId::PathPlace, 50, 50);
    click(ToolId::PathPlace, 150, 50);
    click(ToolId::PathPlace, 100, 150);
    click(ToolId::PathPlace, 54, 50);  // 16 from the first: a fourth point
    EXPECT_FALSE(path().closed);
    ASSERT_EQ(path().Count(), 4);
    path().points.pop_back();
    click(ToolId::PathPlace, 53, 50);  // 9 from the first: closes, adds nothing
    EXPECT_TRUE(path().closed);
    EXPECT_EQ(path().Count(), 3);
    path().closed = false;
    path().points.push_back({54, 50});
    click(ToolId::PathPlace, 53, 50);  // the nearest is the fourth point: added
    EXPECT_FALSE(path().closed);
    EXPECT_EQ(path().Count(), 5);
    path().closed = true;
    // A click on a closed path asks; Cancel keeps it, OK removes it.
    user.script({Answer::Cancel, Answer::Ok});
    click(ToolId::PathPlace, 200, 200);
    EXPECT_EQ(user.lastText(), kRemoveFinishedPath);
    EXPECT_EQ(path().Count(), 5);
    click(ToolId::PathPlace, 200, 200);
    EXPECT_TRUE(path().Empty());
    EXPECT_FALSE(path().closed);
}

TEST_F(PathDoc, PointsKeepTheirCanvasPlaceWhenAPointBesideTheLayerGrowsIt) {
    click(ToolId::PathPlace, 50, 50);
    click(ToolId::PathPlace, -10, 20);  // the layer grows 10 columns to the left
    ASSERT_EQ(doc.Layers().layer(doc.CurrentLayer()).x, -10);
    ASSERT_EQ(path().Count(), 2);
    EXPECT_EQ(path().points[0], (GuidePoint{60, 50}));
    EXPECT_EQ(path().points[1], (GuidePoint{0, 20}));
}

TEST_F(PathDoc, TheThreeHundredAndFirstPointIsRefused) {
    for (int i = 0; i < 300; ++i) click(ToolId::PathPlace, 10 + i % 30 * 12, 10 + i / 30 * 12);
    ASSERT_EQ(path().Count(), 300);
    EXPECT_TRUE(user.entries.empty());
    click(ToolId::PathPlace, 10, 290);
    EXPECT_EQ(path().Count(), 300);
    EXPECT_EQ(user.lastText(), kTooManyGuidePoints);
}

TEST_F(PathDoc, RemovingFromTwoPointsClearsAndFromMoreRemovesTheNearest) {
    path().points = {{10, 10}, {100, 10}, {100, 100}};
    click(ToolId::PathDelete, 98, 12);
    EXPECT_EQ(path().points, (std::vector<GuidePoint>{{10, 10}, {100, 100}}));
    click(ToolId::PathDelete, 11, 11);
    EXPECT_TRUE(path().Empty());
}

TEST_F(PathDoc, InsertGoesBetweenTheEndsOfTheNearestEdge) {
    path().points = {{10, 10}, {100, 10}, {100, 100}};
    click(ToolId::PathInsert, 100, 60);
    EXPECT_EQ(path().points, (std::vector<GuidePoint>{{10, 10}, {100, 10}, {100, 60}, {100, 100}}));
    // The closing edge counts once the path is closed.
    path().closed = true;
    click(ToolId::PathInsert, 50, 56);
    EXPECT_EQ(path().points.back(), (GuidePoint{50, 56}));
    EXPECT_EQ(path().Count(), 5);
}

TEST_F(PathDoc, MovePicksByTheHalfEdgesAndCarriesCoincidingEnds) {
    path().points = {{10, 10}, {100, 10}, {100, 100}, {10, 10}};
    // A third of the way along the first edge lies on the first point's half.
    EXPECT_EQ(PickGuidePoint(path(), {40, 12}), 0);
    EXPECT_EQ(PickGuidePoint(path(), {70, 12}), 1);
    tools.currentTool = ToolId::PathMove;
    ToolEvent e{doc, tools, {40, 12}};
    tool.down(e);
    e.zoomed = {20, 30};
    tool.drag(e);
    tool.up(e);
    EXPECT_EQ(path().points.front(), (GuidePoint{20, 30}));
    EXPECT_EQ(path().points.back(), (GuidePoint{20, 30}));
    // Explicitly closed now (4 points, last on first): placing does nothing, silently.
    click(ToolId::PathPlace, 300, 200);
    EXPECT_EQ(path().Count(), 4);
    EXPECT_TRUE(user.entries.empty());
}

TEST_F(PathDoc, TextLayerRefusesWithThePathMessage) {
    quillet::testing::AddPatternLayer(doc, 50, 50, 0, 0, -1, -1, LayerKind::Text);
    click(ToolId::PathPlace, 5, 5);
    EXPECT_TRUE(path().Empty());
    EXPECT_EQ(user.lastText(), kPathOnTextLayer);
}

TEST_F(PathDoc, CursorsNearGuidePoints) {
    path().points = {{100, 100}, {200, 100}};
    tools.currentTool = ToolId::PathPlace;
    EXPECT_EQ(tool.hoverCursor(doc, tools, {103, 100}), CursorId::DropOrHandle);
    EXPECT_EQ(tool.hoverCursor(doc, tools, {104, 100}), std::nullopt);
    tools.currentTool = ToolId::PathMove;
    EXPECT_EQ(tool.hoverCursor(doc, tools, {249, 100}), CursorId::DropOrHandle);
    EXPECT_EQ(tool.hoverCursor(doc, tools, {250, 100}), std::nullopt);
    tools.currentTool = ToolId::PathInsert;
    EXPECT_EQ(tool.hoverCursor(doc, tools, {200, 100}), std::nullopt);
}
