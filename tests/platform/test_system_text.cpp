// The editor's rasterizer in a program without windows, as quillet-cli uses it: it starts its
// own font engine and draws Hangul and Latin letters.
#include <gtest/gtest.h>

#include <vector>

#include "platform/SystemTextRasterizer.h"

using namespace quillet;

TEST(SystemTextRasterizer, DrawsHangulWithoutAWindow) {
    const std::unique_ptr<TextRasterizer> r = MakeSystemTextRasterizer();
    ASSERT_TRUE(r);
    const FontSpec font{u"굴림", 40};
    const TextExtent e = r->measure(u"한글 Ab", font);
    ASSERT_GT(e.width, 60);
    ASSERT_GT(e.height, 30);
    auto inked = [&](const std::u16string& text) {
        std::vector<uint8_t> px(size_t(e.width) * e.height * 4, 255);
        r->draw(text, font, 0x000000, 0xFFFFFF, Buffer32{px.data(), e.width, e.height, e.width * 4},
                0, 0);
        return px;
    };
    const std::vector<uint8_t> han = inked(u"한"), gul = inked(u"글");
    int dark = 0;
    for (size_t i = 0; i < han.size(); i += 4) dark += han[i] < 128 ? 1 : 0;
    EXPECT_GT(dark, 40);
    EXPECT_NE(han, gul);                      // glyphs of their own, not the same empty box
    EXPECT_TRUE(MakeSystemTextRasterizer());  // a second one shares the engine
}
