// "YUV구분" and "HSL구분" through the application: three new grey documents with their titles.
#include <gtest/gtest.h>

#include "app/CBrevApp.h"
#include "app/ChannelDocuments.h"
#include "app/CommandId.h"
#include "document/CBrevDoc.h"
#include "image/effects/ColourTables.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"

using namespace quillet;

TEST(ChannelDocuments, ThreeTitledDocumentsOfTheChannels) {
    const testsupport::TempDir temp("quillet-channels");
    RecordingUserPort user;
    CBrevApp app(user);
    ASSERT_TRUE(app.start((temp.path() / "home").string()));
    CBrevDoc* source = app.openResourcePicture(CommandId::BitmapResource);
    ASSERT_TRUE(source);
    const std::u16string title = source->FileName();
    const auto yuv = OpenChannelDocuments(app, *source, ChannelSpace::Yuv);
    for (CBrevDoc* doc : yuv) ASSERT_TRUE(doc);
    EXPECT_EQ(yuv[0]->FileName(), u"Y Channel 0 from " + title);
    EXPECT_EQ(yuv[1]->FileName(), u"U Channel 0 from " + title);
    EXPECT_EQ(yuv[2]->FileName(), u"V Channel 0 from " + title);
    // Each document holds its channel as grey: the Y of the source's first pixel.
    const LayerTable& s = source->Layers();
    const uint32_t c = s.ColorAt(0, 3, 2);
    const Yuv v = ToYuv(int(c >> 16 & 0xFF), int(c >> 8 & 0xFF), int(c & 0xFF));
    EXPECT_EQ(yuv[0]->Layers().ColorAt(0, 3, 2), uint32_t(v.y) * 0x010101u);
    EXPECT_EQ(yuv[2]->Layers().ColorAt(0, 3, 2), uint32_t(v.v) * 0x010101u);
    EXPECT_EQ(yuv[0]->Layers().layer(0).width, s.layer(0).width);

    const auto hsl = OpenChannelDocuments(app, *source, ChannelSpace::Hsl);
    ASSERT_TRUE(hsl[1]);
    EXPECT_EQ(hsl[1]->FileName(), u"Saturation Channel 1 from " + title);
    EXPECT_EQ(app.documents().size(), 7u);
}
