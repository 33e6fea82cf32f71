// The arithmetic of the image-size, canvas-size and free-rotation dialogs.
#include <gtest/gtest.h>

#include "app/GeometryFields.h"

using namespace quillet;

TEST(ImageSizeFields, ProportionalModeFollowsTheEditedSize) {
    ImageSizeFields f(640, 480, 72);
    EXPECT_TRUE(f.proportional());
    EXPECT_EQ(f.widthPercent(), 100);
    EXPECT_DOUBLE_EQ(f.printWidth(), 640.0 / 72);
    f.setWidth(333);
    EXPECT_EQ(f.height(), 480 * 333 / 640);                         // integer division: 249
    EXPECT_EQ(f.widthPercent(), int((333.0 / 640 + 0.005) * 100));  // 52
    EXPECT_EQ(f.heightPercent(), f.widthPercent());
    f.setHeight(120);
    EXPECT_EQ(f.width(), 160);
    EXPECT_EQ(f.widthPercent(), 25);
    f.setWidthPercent(150);
    EXPECT_EQ(f.width(), 960);
    EXPECT_EQ(f.height(), 720);
    EXPECT_EQ(f.heightPercent(), 150);
    f.setResolution(144);  // the print size stays, the pixels follow
    EXPECT_EQ(f.width(), int(144 * (960.0 / 72)));
    f.setPrintWidth(2);
    EXPECT_EQ(f.width(), 288);
    EXPECT_EQ(f.height(), int(144 * (2.0 * 480 / 640)));
}

TEST(ImageSizeFields, FreeModeChangesOneSideAndFieldsStayAboveOne) {
    ImageSizeFields f(640, 480, 0);
    EXPECT_EQ(f.resolution(), 72);
    f.toggleMode();
    EXPECT_FALSE(f.proportional());
    f.setWidth(320);
    EXPECT_EQ(f.height(), 480);
    EXPECT_EQ(f.widthPercent(), 50);
    EXPECT_EQ(f.heightPercent(), 100);
    f.setHeightPercent(25);
    EXPECT_EQ(f.height(), 120);
    EXPECT_EQ(f.width(), 320);
    f.setWidthPercent(0);
    EXPECT_EQ(f.widthPercent(), 1);
    f.setResolution(1);
    f.spin(ImageSizeFields::Field::Resolution, -1);
    EXPECT_EQ(f.resolution(), 1);
    const int w = f.width();
    f.spin(ImageSizeFields::Field::Width, +1);
    EXPECT_EQ(f.width(), w + 1);
    f.spin(ImageSizeFields::Field::Width, -1);
    EXPECT_EQ(f.width(), w);
    f.setWidth(0);
    EXPECT_FALSE(f.acceptable());
}

TEST(CanvasSizeFields, SpinsStayAtOrAboveTheCurrentSizeAndAnchorsAreNine) {
    CanvasSizeFields f(100, 80);
    EXPECT_EQ(f.anchor(), 4);
    f.spinWidth(-1);
    EXPECT_EQ(f.width(), 100);
    f.spinWidth(+5);
    f.spinHeight(+1);
    EXPECT_EQ(f.width(), 105);
    EXPECT_EQ(f.height(), 81);
    f.setAnchor(8);
    EXPECT_EQ(f.anchor(), 8);
    f.setAnchor(9);
    EXPECT_EQ(f.anchor(), 8);
}

TEST(RotationAngle, LimitsOneDecimalAndNegativeAngles) {
    EXPECT_DOUBLE_EQ(ClampRotationAngle(400), 359);
    EXPECT_DOUBLE_EQ(ClampRotationAngle(-1000), -359);
    EXPECT_DOUBLE_EQ(ClampRotationAngle(12.345), 12.3);
    EXPECT_DOUBLE_EQ(RotationAngleToApply(-90), 270);
    EXPECT_DOUBLE_EQ(RotationAngleToApply(-359.5), 1);  // the limit first, then + 360
    EXPECT_DOUBLE_EQ(RotationAngleToApply(45.5), 45.5);
}
