// The application object without a screen: the command-line name, document numbers handed
// out and given back, the resource pictures' running number, and start-up on a fresh home.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/CBrevApp.h"
#include "document/CBrevDoc.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"

using namespace quillet;

TEST(CBrevApp, CommandLineDropsOneLeadingAndTheLastQuote) {
    EXPECT_EQ(CBrevApp::commandLineFile(""), "");
    EXPECT_EQ(CBrevApp::commandLineFile("a b.jpg"), "a b.jpg");
    EXPECT_EQ(CBrevApp::commandLineFile("\"/tmp/a b.jpg\""), "/tmp/a b.jpg");
    EXPECT_EQ(CBrevApp::commandLineFile("\"\"x\"\""), "\"x\"");
}

TEST(CBrevApp, StartsOnAFreshHomeAndNumbersDocuments) {
    const testsupport::TempDir temp("quillet-app");
    const std::filesystem::path home = temp.path() / "home";
    RecordingUserPort user;
    {
        CBrevApp app(user);
        ASSERT_TRUE(app.start(home.string()));
        EXPECT_TRUE(user.entries.empty());
        ASSERT_FALSE(app.journalFolder().empty());
        EXPECT_TRUE(std::filesystem::is_directory(app.journalFolder()));
        CBrevDoc& a = app.createDocument();
        CBrevDoc& b = app.createDocument();
        EXPECT_EQ(a.DocumentNumber(), 1);
        EXPECT_EQ(b.DocumentNumber(), 2);
        EXPECT_EQ(a.Journal().Folder(), app.journalFolder());
        app.closeDocument(a);
        EXPECT_EQ(app.documents().size(), 1u);
        CBrevDoc* jpeg = app.openResourcePicture(CommandId::JpegResource);
        CBrevDoc* tif = app.openResourcePicture(CommandId::TiffResource);
        ASSERT_TRUE(jpeg && tif);
        EXPECT_EQ(jpeg->FileName(), u"JPEG Resource Image 0");
        EXPECT_EQ(tif->FileName(), u"TIF Resource Image 1");
        EXPECT_EQ(app.openResourcePicture(CommandId::New), nullptr);
        EXPECT_EQ(app.documentNumbers().OpenCount(), 3);
        EXPECT_EQ(app.openDocument((home / "missing.jpg").string()), nullptr);
        EXPECT_EQ(app.documents().size(), 3u);  // the failed one is gone, its number given back
        EXPECT_EQ(app.documentNumbers().OpenCount(), 3);
    }
}

// Scans and captures take one running number between them; a picture without pixels makes no
// document and takes no number.
TEST(CBrevApp, AcquiredPicturesShareOneRunningNumber) {
    RecordingUserPort user;
    CBrevApp app(user);
    auto picture = [](int w, int h) {
        auto r = std::make_unique<RaViru>(w, h, 24, ImageKind::Bmp);
        r->PutPixelColor(0, 0, 0x123456);
        return r;
    };
    auto shot = picture(40, 30);
    CBrevDoc* a = app.openAcquiredPicture(*shot, AcquiredSource::Screen);
    CBrevDoc* b = app.openAcquiredPicture(*picture(8, 8), AcquiredSource::Screen);
    RaViru empty;
    EXPECT_EQ(app.openAcquiredPicture(empty, AcquiredSource::Scanner), nullptr);
    CBrevDoc* c = app.openAcquiredPicture(*picture(5, 7), AcquiredSource::Scanner);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->FileName(), u"Captured Image 0");
    EXPECT_EQ(b->FileName(), u"Captured Image 1");
    EXPECT_EQ(c->FileName(), u"스캔영상_2");
    EXPECT_EQ(app.documents().size(), 3u);
    // The picture moved into the document: one opaque layer of its size, the history started.
    EXPECT_FALSE(shot->HasBlock());
    const LayerTable& t = a->Layers();
    EXPECT_EQ(t.header.canvasWidth, 40);
    EXPECT_EQ(t.header.canvasHeight, 30);
    EXPECT_EQ(t.layer(0).transparency, 0);
    EXPECT_EQ(a->Journal().StepIndex(), 0);
    EXPECT_EQ(a->Journal().Entry(0).label, u"Opening....");
    EXPECT_TRUE(user.entries.empty());
}

TEST(CBrevApp, EveryArgumentIsAFileUnlessTogetherTheyNameOne) {
    const std::vector<std::string> existing = {"/p/a.jpg", "/p/b c.vlr", "/p/my picture.bmp"};
    auto exists = [&](const std::string& p) {
        return std::find(existing.begin(), existing.end(), p) != existing.end();
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(CBrevApp::commandLineFiles({}, exists), V{});
    EXPECT_EQ(CBrevApp::commandLineFiles({"\"/p/a.jpg\""}, exists), V{"/p/a.jpg"});
    EXPECT_EQ(CBrevApp::commandLineFiles({"/p/a.jpg", "/p/b c.vlr"}, exists),
              (V{"/p/a.jpg", "/p/b c.vlr"}));
    // Missing files are still handed on: opening them says why they cannot be read.
    EXPECT_EQ(CBrevApp::commandLineFiles({"/p/a.jpg", "/p/gone.gif"}, exists),
              (V{"/p/a.jpg", "/p/gone.gif"}));
    EXPECT_EQ(CBrevApp::commandLineFiles({"/p/my", "picture.bmp"}, exists), V{"/p/my picture.bmp"});
    EXPECT_EQ(CBrevApp::commandLineFiles({"\"/p/my", "picture.bmp\""}, exists),
              V{"/p/my picture.bmp"});
}
