// The application object without a screen: the command-line name, document numbers handed
// out and given back, the resource pictures' running number, and start-up on a fresh home.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/CBrevApp.h"
#include "document/CBrevDoc.h"
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
        CBrevDoc* jpeg = app.openResourcePicture(1416);
        CBrevDoc* tif = app.openResourcePicture(1425);
        ASSERT_TRUE(jpeg && tif);
        EXPECT_EQ(jpeg->FileName(), u"JPEG Resource Image 0");
        EXPECT_EQ(tif->FileName(), u"TIF Resource Image 1");
        EXPECT_EQ(app.openResourcePicture(57600), nullptr);
        EXPECT_EQ(app.documentNumbers().OpenCount(), 3);
        EXPECT_EQ(app.openDocument((home / "missing.jpg").string()), nullptr);
        EXPECT_EQ(app.documents().size(), 3u);  // the failed one is gone, its number given back
        EXPECT_EQ(app.documentNumbers().OpenCount(), 3);
    }
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
