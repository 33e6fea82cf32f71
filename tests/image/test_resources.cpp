#include <gtest/gtest.h>

#include "image/EmbeddedResources.h"
#include "image/RaViru.h"

using namespace quillet;

TEST(Resources, BuiltInPicturesDecode) {
    struct Case {
        const char* name;
        ImageKind kind;
    } cases[] = {
        {"IDR_JPG1", ImageKind::Jpeg}, {"1015", ImageKind::Tiff}, {"3131", ImageKind::Bmp}};
    for (const Case& c : cases) {
        RaViru img(ImageKind::Unknown);
        ASSERT_TRUE(img.ReadResource(c.name, c.kind)) << c.name << ": " << img.lastError;
        EXPECT_EQ(img.Width(), 96);
        EXPECT_EQ(img.Height(), 64);
        EXPECT_EQ(img.BitCount(), 24);
        // The white rectangle of the drawing sits right of the middle.
        const uint32_t white = img.PixelColorAt(70, 32);
        EXPECT_GE(white & 0xFF, 240u) << c.name;
        EXPECT_GE((white >> 16) & 0xFF, 240u) << c.name;
    }
    EXPECT_NE(FindEmbeddedResource("1011"), nullptr);  // the GIF picture
}

TEST(Resources, MissingResourceIsReportedAndChangesNothing) {
    RaViru img(4, 4, 8, ImageKind::Bmp);
    const Status status = img.ReadResource("IDR_NONE", ImageKind::Jpeg);
    EXPECT_FALSE(status);
    EXPECT_STREQ(img.lastError, "Unable to load resource!");
    EXPECT_EQ(status.message(), "Unable to load resource!");
    EXPECT_EQ(img.Width(), 4);
}
