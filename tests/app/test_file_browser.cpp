// The own file browser without its window: the type filter, the selection list, the pages,
// and thumbnails decoded on worker threads (JPEG at a reduced scale, VLR from its flat block,
// unreadable files marked, kept until the file changes).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/FileBrowser.h"
#include "app/ThumbnailLoader.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"

using namespace quillet;
using testsupport::TempDir;

namespace {

void writePicture(const std::string& path, int w, int h, ImageKind kind) {
    RaViru image(w, h, 24, ImageKind::Bmp);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixelColor(x, y, uint32_t(x * 255 / w) << 16 | uint32_t(y * 255 / h) << 8);
    ASSERT_TRUE(image.WriteFile(path, kind));
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> names(const std::vector<BrowserEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(e.folder ? "[" + e.name + "]" : e.name);
    return out;
}

}  // namespace

TEST(FileBrowser, TypeFilterListsExactlyTheNamedExtensionsInEitherCase) {
    TempDir dir;
    for (const char* name : {"a.jpg", "B.JPG", "c.Vlr", "d.bmp", "e.TIF", "f.gif", "g.pcx",
                             "h.jpeg", "i.tiff", "j.psd", "k.png", "noext", ".hidden.jpg"})
        writeBytes(dir.file(name), "x");
    std::filesystem::create_directory(dir.path() / "sub");

    using V = std::vector<std::string>;
    EXPECT_EQ(names(ListBrowserFolder(dir.path().string(), BrowserType::AllPictures)),
              (V{"[sub]", "B.JPG", "a.jpg", "c.Vlr", "d.bmp", "e.TIF", "f.gif", "g.pcx"}));
    EXPECT_EQ(names(ListBrowserFolder(dir.path().string(), BrowserType::Jpg)),
              (V{"B.JPG", "a.jpg"}));
    EXPECT_EQ(names(ListBrowserFolder(dir.path().string(), BrowserType::Vlr)), (V{"c.Vlr"}));
    EXPECT_EQ(names(ListBrowserFolder(dir.path().string(), BrowserType::Tif)), (V{"e.TIF"}));
    EXPECT_EQ(names(ListBrowserFolder(dir.path().string(), BrowserType::Gif)), (V{"f.gif"}));
    EXPECT_EQ(names(ListBrowserFolder(dir.path().string(), BrowserType::Bmp)), (V{"d.bmp"}));
    EXPECT_TRUE(ListBrowserFolder((dir.path() / "missing").string(), BrowserType::Jpg).empty());
    EXPECT_EQ(kBrowserTypeNames[0], "모든그림형식");
}

TEST(FileBrowser, SelectionRulesAndTheLimit) {
    BrowserSelection s;
    s.Click("a", false);
    s.Click("b", true);
    s.Click("c", true);
    EXPECT_EQ(s.Files(), (std::vector<std::string>{"a", "b", "c"}));
    s.Click("b", true);  // Ctrl on a listed file takes it out
    EXPECT_EQ(s.Files(), (std::vector<std::string>{"a", "c"}));
    s.Click("d", false);  // a plain click makes it the only one
    EXPECT_EQ(s.Files(), (std::vector<std::string>{"d"}));

    s.Clear();
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(s.Click("f" + std::to_string(i), true), BrowserSelection::Result::Changed);
    EXPECT_EQ(s.Click("f20", true), BrowserSelection::Result::Full);
    EXPECT_EQ(s.Files().size(), 20u);
    EXPECT_EQ(s.Files().back(), "f19");
    EXPECT_EQ(BrowserSelection::LimitMessage(), "파일은 최대 20 개까지 오픈 가능합니다.");
    // Taking one out makes room again.
    s.Click("f3", true);
    EXPECT_EQ(s.Click("f20", true), BrowserSelection::Result::Changed);
    EXPECT_EQ(s.Click(std::string(261, 'x'), false), BrowserSelection::Result::TooLong);
    EXPECT_EQ(s.Click(std::string(300, 'd') + "/name.jpg", false),
              BrowserSelection::Result::Changed);

    EXPECT_EQ(BrowserPage::RowsFor(41), 11);
    EXPECT_EQ(BrowserPage::LastFirstRow(41), 1);
    EXPECT_EQ(BrowserPage::LastFirstRow(40), 0);
    EXPECT_EQ(BrowserSizeLabel(640, 480), "640ⅹ480");
}

TEST(FileBrowser, ThumbnailsOfEveryKindAndOfBrokenFiles) {
    TempDir dir;
    writePicture(dir.file("big.jpg"), 800, 600, ImageKind::Jpeg);
    writePicture(dir.file("small.bmp"), 40, 30, ImageKind::Bmp);
    writePicture(dir.file("page.tif"), 90, 120, ImageKind::Tiff);
    writeBytes(dir.file("broken.jpg"), std::string("\xFF\xD8\xFF\xE0 not really", 16));
    writeBytes(dir.file("empty.gif"), "");
    {
        RecordingUserPort user;
        CBrevDoc doc(user);
        ASSERT_TRUE(OpenDocument(doc, dir.file("small.bmp")));
        ASSERT_TRUE(SaveDocument(doc, dir.file("doc.vlr")));
    }

    const Thumbnail jpg = ReadThumbnail(dir.file("big.jpg"), 100);
    ASSERT_TRUE(jpg.ok);
    EXPECT_EQ(jpg.width, 800);  // the size in the file, not the decoded one
    EXPECT_EQ(jpg.height, 600);
    EXPECT_EQ(jpg.picture.width, 100);
    EXPECT_EQ(jpg.picture.height, 75);
    // The reduced decode shows the same picture: the gradient's corners.
    EXPECT_NEAR(jpg.picture.bgra[size_t(74 * 100 + 99) * 4 + 2], 255, 12);
    EXPECT_NEAR(jpg.picture.bgra[2], 0, 12);

    const Thumbnail vlr = ReadThumbnail(dir.file("doc.vlr"), 100);
    ASSERT_TRUE(vlr.ok);
    EXPECT_EQ(vlr.width, 40);
    EXPECT_EQ(vlr.height, 30);
    const Thumbnail tif = ReadThumbnail(dir.file("page.tif"), 60);
    ASSERT_TRUE(tif.ok);
    EXPECT_EQ(tif.picture.width, 45);
    EXPECT_EQ(tif.picture.height, 60);
    for (const char* bad : {"broken.jpg", "empty.gif", "missing.bmp"}) {
        const Thumbnail t = ReadThumbnail(dir.file(bad), 100);
        EXPECT_FALSE(t.ok) << bad;
        EXPECT_FALSE(t.error.empty()) << bad;
    }
}

TEST(FileBrowser, LoaderDecodesOnItsThreadsAndKeepsWhatItRead) {
    TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i) {
        paths.push_back(dir.file("p" + std::to_string(i) + ".bmp"));
        writePicture(paths.back(), 30 + i, 20, ImageKind::Bmp);
    }
    paths.push_back(dir.file("bad.bmp"));
    writeBytes(paths.back(), "BM");

    ThumbnailLoader loader(16, 2);
    std::mutex m;
    std::vector<std::string> told;
    loader.SetListener([&](const std::string& p) {
        std::lock_guard lock(m);
        told.push_back(p);
    });
    loader.Request(paths);
    loader.WaitIdle();
    EXPECT_EQ(told.size(), paths.size());
    for (size_t i = 0; i + 1 < paths.size(); ++i) {
        const auto t = loader.Find(paths[i]);
        ASSERT_TRUE(t && t->ok) << paths[i];
        EXPECT_EQ(t->width, 30 + int(i));
    }
    ASSERT_TRUE(loader.Find(paths.back()));
    EXPECT_FALSE(loader.Find(paths.back())->ok);

    // Asked again: nothing is read again, the same thumbnails stay.
    const auto first = loader.Find(paths[0]);
    told.clear();
    loader.Request(paths);
    loader.WaitIdle();
    EXPECT_TRUE(told.empty());
    EXPECT_EQ(loader.Find(paths[0]), first);

    // A file that changed on disk is read again.
    writePicture(paths[0], 50, 20, ImageKind::Bmp);
    std::filesystem::last_write_time(
        paths[0], std::filesystem::last_write_time(paths[0]) + std::chrono::seconds(5));
    loader.Request({paths[0]});
    loader.WaitIdle();
    EXPECT_EQ(loader.Find(paths[0])->width, 50);

    // After the listener is taken away nothing calls it.
    loader.SetListener({});
    told.clear();
    loader.Request({dir.file("new.bmp")});
    loader.WaitIdle();
    EXPECT_TRUE(told.empty());
}
