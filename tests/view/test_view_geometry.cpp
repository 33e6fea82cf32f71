// Zoom limits and anchors, the displayed rectangle, point mapping against the composed
// picture, the zoom update and the title.
#include <gtest/gtest.h>

#include <cmath>

#include "ViewTestDoc.h"
#include "platform/RecordingUserPort.h"
#include "view/ToolState.h"
#include "view/ViewState.h"
#include "view/ViewZoom.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

struct Fixture {
    RecordingUserPort user;
    CBrevDoc doc{user, 1};
    ToolState tools;
    ViewState view{doc, ViewContext{tools}};

    Fixture(int w, int h, ViewSize client) {
        AddPatternLayer(doc, w, h);
        view.SetClientSize(client);
        view.UpdateOther();
    }
};

}  // namespace

TEST(ViewZoom, StopsAtTheLimitsAndRescalesSetAnchors) {
    Fixture f(40, 30, {200, 200});
    ToolAnchors& a = f.doc.ViewShared().anchors;
    a.drag = {3, 5};
    a.moveLast = {7, 1};
    int changes = 0;
    for (int i = 0; i < 5; ++i) changes += ZoomIn(f.doc, {}) ? 1 : 0;
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(f.doc.Zoom(), 16.0);
    EXPECT_EQ(a.drag.x, 48);
    EXPECT_EQ(a.drag.y, 80);
    EXPECT_EQ(a.moveLast.x, 112);
    EXPECT_FALSE(a.farCorner.IsSet());  // unset points stay unset

    ZoomOneToOne(f.doc);
    EXPECT_EQ(f.doc.Zoom(), 1.0);
    EXPECT_EQ(a.drag.x, 3);
    changes = 0;
    for (int i = 0; i < 5; ++i) changes += ZoomOut(f.doc, {}) ? 1 : 0;
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(f.doc.Zoom(), 0.0625);
    EXPECT_EQ(a.moveLast.x, 0);  // 7 halved four times
    EXPECT_EQ(a.drag.y, 0);
}

TEST(ViewGeometry, SmallPictureIsCentredAndClicksOutsideTakeTheEdge) {
    Fixture f(50, 30, {101, 80});
    const ViewRect r = f.view.DisplayedRect();
    EXPECT_EQ(r, (ViewRect{26, 25, 76, 55}));  // (101 + 1 − 50) / 2, (80 + 1 − 30) / 2
    EXPECT_EQ(f.view.ToZoomed({0, 0}), (ViewPoint{0, 0}));
    EXPECT_EQ(f.view.ToZoomed({500, 500}), (ViewPoint{49, 29}));
    EXPECT_EQ(f.view.ToZoomed({30, 40}), (ViewPoint{4, 15}));
}

TEST(ViewGeometry, LargePictureSpansTheWindowAndFollowsTheScroll) {
    Fixture f(400, 300, {100, 100});
    EXPECT_EQ(f.view.DisplayedRect(), (ViewRect{0, 0, 100, 100}));
    EXPECT_EQ(f.view.ScrollMax(), (ViewPoint{300, 200}));
    f.view.ScrollTo({50, 500});
    EXPECT_EQ(f.view.Scroll(), (ViewPoint{50, 200}));
    EXPECT_EQ(f.view.ToZoomed({10, 10}), (ViewPoint{60, 210}));
    EXPECT_EQ(f.doc.ViewShared().scrollX, 50);
}

// The pixel shown under a window point is the canvas pixel the mapping gives, at every zoom
// and with odd window sizes (the centring offset of the display and of the mouse agree).
TEST(ViewGeometry, MappingAgreesWithTheComposedPicture) {
    for (double zoom : {0.25, 0.5, 1.0, 2.0, 4.0}) {
        for (ViewSize client : {ViewSize{101, 77}, ViewSize{64, 33}}) {
            Fixture f(37, 23, client);
            f.doc.SetZoom(zoom);
            f.view.UpdateOther();
            if (f.view.ScrollMax().x > 0) f.view.ScrollTo({3, 5});
            const ViewRect r = f.view.DisplayedRect();
            const Image32 img =
                f.doc.ComposeDisplay(f.view.RequestFor({0, 0, client.width, client.height}));
            ASSERT_FALSE(img.Empty());
            for (int wy = r.top; wy < r.bottom; wy += 3) {
                for (int wx = r.left; wx < r.right; wx += 3) {
                    if (wx < img.x || wy < img.y || wx >= img.x + img.width ||
                        wy >= img.y + img.height)
                        continue;
                    const ViewPoint z = f.view.ToZoomed({wx, wy});
                    const int cx = int(std::floor(z.x / zoom)), cy = int(std::floor(z.y / zoom));
                    const uint32_t expect = PatternColour(cx, cy);
                    const uint8_t* px = img.Row(wy - img.y) + size_t(wx - img.x) * 4;
                    const uint32_t got = (uint32_t(px[2]) << 16) | (uint32_t(px[1]) << 8) | px[0];
                    ASSERT_EQ(got, expect) << "zoom " << zoom << " at " << wx << "," << wy;
                }
            }
        }
    }
}

TEST(ViewGeometry, StretchViewFillsTheWindow) {
    Fixture f(40, 20, {200, 100});
    f.doc.ViewShared().stretchView = true;
    f.view.UpdateOther();
    EXPECT_EQ(f.view.ScrollExtent(), (ViewSize{0, 0}));
    EXPECT_EQ(f.view.DisplayedRect(), (ViewRect{0, 0, 200, 100}));
    EXPECT_EQ(f.view.ToZoomed({199, 99}), (ViewPoint{39, 19}));
    const DisplayRequest q = f.view.RequestFor({0, 0, 200, 100});
    EXPECT_EQ(q.zoomX, 5.0);
    EXPECT_EQ(q.zoomY, 5.0);
}

TEST(ViewZoomUpdate, AnchorComesToTheMiddle) {
    Fixture f(400, 400, {100, 100});
    ZoomIn(f.doc, {200, 200});
    f.view.UpdateForZoom();
    EXPECT_EQ(f.view.ScrollExtent(), (ViewSize{800, 800}));
    EXPECT_EQ(f.view.Scroll(), (ViewPoint{350, 350}));
    EXPECT_EQ(f.view.ToZoomed({50, 50}), (ViewPoint{400, 400}));
    EXPECT_TRUE(f.view.TakeFrameFitRequest());
    EXPECT_FALSE(f.view.TakeFrameFitRequest());
}

TEST(ViewZoomUpdate, WithoutAnchorKeepsTheRelativeScrollAndAMaximumStays) {
    Fixture f(400, 400, {100, 100});
    f.view.ScrollTo({100, 300});
    ZoomIn(f.doc, {});
    f.view.UpdateForZoom();
    EXPECT_EQ(f.view.Scroll(), (ViewPoint{200, 600}));
    // An anchor at the far corner: step 4 gives the maximum, which stays.
    ZoomIn(f.doc, {799, 799});
    f.doc.ViewShared().keepFrameSize = true;
    f.view.TakeFrameFitRequest();
    f.view.UpdateForZoom();
    EXPECT_EQ(f.view.Scroll(), (ViewPoint{1500, 1500}));
    EXPECT_FALSE(f.view.TakeFrameFitRequest());  // the one-shot flag suppressed the resize
    EXPECT_FALSE(f.doc.ViewShared().keepFrameSize);
    // Zooming out far enough centres the picture: the scroll returns to 0.
    for (int i = 0; i < 4; ++i) ZoomOut(f.doc, {});
    f.view.UpdateForZoom();
    EXPECT_EQ(f.view.Scroll(), (ViewPoint{0, 0}));
}

TEST(ViewZoomUpdate, FrameFitsThePictureWithinTheMainWindow) {
    EXPECT_EQ(ViewState::FrameFitClientSize({800, 600}, {10, 20}, {500, 400}),
              (ViewSize{482, 372}));
    EXPECT_EQ(ViewState::FrameFitClientSize({100, 50}, {10, 20}, {500, 400}), (ViewSize{104, 54}));
}

TEST(ViewTitle, NameZoomPercentAndLayer) {
    Fixture f(40, 30, {100, 100});
    f.doc.SetFileName(u"꽃.jpg");
    EXPECT_EQ(f.view.Title(), "꽃.jpg 100 % (배경영상)");
    ZoomIn(f.doc, {});
    EXPECT_EQ(f.view.Title(), "꽃.jpg 200 % (배경영상)");
    for (int i = 0; i < 6; ++i) ZoomOut(f.doc, {});
    EXPECT_EQ(f.view.Title("작업중"), "꽃.jpg 6 % (배경영상) 작업중");
}
