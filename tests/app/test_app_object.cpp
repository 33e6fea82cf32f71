// The application object without a screen: the command-line name, document numbers handed
// out and given back, the resource pictures' running number, and start-up on a fresh home.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/CBrevApp.h"
#include "document/CBrevDoc.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

TEST(CBrevApp, CommandLineDropsOneLeadingAndTheLastQuote) {
    EXPECT_EQ(CBrevApp::commandLineFile(""), "");
    EXPECT_EQ(CBrevApp::commandLineFile("a b.jpg"), "a b.jpg");
    EXPECT_EQ(CBrevApp::commandLineFile("\"/tmp/a b.jpg\""), "/tmp/a b.jpg");
    EXPECT_EQ(CBrevApp::commandLineFile("\"\"x\"\""), "\"x\"");
}

TEST(CBrevApp, StartsOnAFreshHomeAndNumbersDocuments) {
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("quillet-app-" + std::to_string(::getpid()));
    std::filesystem::remove_all(home);
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
    std::filesystem::remove_all(home);
}
