#include <gtest/gtest.h>

#include <vector>

#include "platform/ClipboardPort.h"
#include "platform/RecordingUserPort.h"
#include "platform/TextRasterizer.h"

using namespace quillet;

TEST(RecordingUserPort, RecordsMessagesAndAnswersFromScript) {
    RecordingUserPort user;
    user.script({Answer::No, Answer::Cancel});
    user.showMessage("하나", MessageIcon::Warning);
    EXPECT_EQ(user.ask("둘", Buttons::YesNoCancel), Answer::No);
    EXPECT_EQ(user.ask("셋", Buttons::YesNoCancel), Answer::Cancel);
    EXPECT_EQ(user.ask("넷", Buttons::YesNoCancel), Answer::Yes);  // script exhausted
    EXPECT_EQ(user.ask("다섯", Buttons::OkCancel), Answer::Ok);
    ASSERT_EQ(user.entries.size(), 5u);
    EXPECT_FALSE(user.entries[0].question);
    EXPECT_TRUE(user.entries[1].question);
    EXPECT_EQ(user.lastText(), "다섯");
}

TEST(MemoryClipboard, HoldsBytesUntilCleared) {
    MemoryClipboard clip;
    EXPECT_FALSE(clip.hasBitmap());
    clip.setPackedDib({1, 2, 3});
    ASSERT_TRUE(clip.hasBitmap());
    EXPECT_EQ(clip.packedDib()->size(), 3u);
    clip.clear();
    EXPECT_FALSE(clip.packedDib().has_value());
}

TEST(FixedTextRasterizer, IsDeterministicAndStaysInsideTheBuffer) {
    FixedTextRasterizer r;
    FontSpec font;
    font.pixelHeight = 16;
    const TextExtent e = r.measure(u"가나 A", font);
    EXPECT_EQ(e.width, 4 * 8);
    EXPECT_EQ(e.height, 16);

    std::vector<uint8_t> a(40 * 20 * 4, 0), b(40 * 20 * 4, 0);
    r.draw(u"가나 A", font, 0x00112233, -1, {a.data(), 40, 20, 160}, 2, 2);
    r.draw(u"가나 A", font, 0x00112233, -1, {b.data(), 40, 20, 160}, 2, 2);
    EXPECT_EQ(a, b);
    int drawn = 0;
    for (size_t i = 0; i < a.size(); i += 4) {
        if (a[i + 3] == 255) {
            ++drawn;
            EXPECT_EQ(a[i], 0x33);
            EXPECT_EQ(a[i + 2], 0x11);
        }
    }
    EXPECT_GT(drawn, 0);
    // Drawing off the edges must not write outside the buffer (ASan would catch it).
    r.draw(u"가나다라마바사", font, 0x00FFFFFF, 0, {a.data(), 40, 20, 160}, 30, 10);
    r.draw(u"가", font, 0x00FFFFFF, 0, {a.data(), 40, 20, 160}, -5, -5);
}
