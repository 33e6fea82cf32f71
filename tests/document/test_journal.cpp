// The journal's files, its edge cases, damaged files, the history rows and the journal folder.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "base/LittleEndian.h"
#include "document/journal/JournalFolder.h"
#include "document/journal/JournalListFile.h"
#include "test_journal_support.h"

using namespace journal_test;

namespace {

using testsupport::readFile;
using testsupport::writeFile;

std::vector<uint8_t> utf16le(const std::string& ascii) {
    std::vector<uint8_t> out;
    for (char c : ascii) {
        out.push_back(uint8_t(c));
        out.push_back(0);
    }
    return out;
}

}  // namespace

TEST(JournalFiles, LayerFilesHoldPlanesMaskAndTextUnderTheirNames) {
    JournalDoc d(7, 5, 4);
    d.open(2);
    EXPECT_EQ(d.j().LayerFileName(3, 12), d.dir.path + "UD_7_3_12.vlrtmp");
    EXPECT_EQ(d.j().InitialListFileName(), d.dir.path + "WrIniLrList_Head_7.vlrtmp");
    EXPECT_EQ(d.j().RedoListFileName(), d.dir.path + "RedIniLrList_Head_7.vlrtmp");

    // Raster: pixels (stride 16 × 4 rows), alpha, effect, then the 5 × 4 mask.
    const std::vector<uint8_t> raster = readFile(d.j().LayerFileName(0, 0));
    const LayerPlanes& p = d.t().planesOf(0);
    ASSERT_EQ(raster.size(), 64u + 20 + 20 + 20);
    EXPECT_TRUE(std::equal(p.pixels.begin(), p.pixels.end(), raster.begin()));
    EXPECT_TRUE(std::equal(p.alpha.begin(), p.alpha.end(), raster.begin() + 64));
    EXPECT_TRUE(std::equal(p.effect.begin(), p.effect.end(), raster.begin() + 84));
    EXPECT_TRUE(fileExists(d.j().InitialListFileName()));

    // Text: no pixel buffer; the text follows the mask.
    const int slot = d.add(3, 2, 1, 1, 4, true);
    const std::vector<uint8_t> text = readFile(d.j().LayerFileName(1, slot));
    const Layer& l = d.t().layer(slot);
    ASSERT_EQ(text.size(), size_t(6 + 6 + 6 + 2 * l.textLength));
    EXPECT_EQ(readU16LE(text.data() + 18), uint16_t(d.t().planesOf(slot).text[0]));
    EXPECT_TRUE(d.j().Entry(1).slotFields[size_t(slot)].stored);
    EXPECT_EQ(d.j().Entry(1).kind, StepKind::TextLayer);
}

TEST(JournalFiles, ListFileHasHeaderPaletteAndEntryLines) {
    JournalDoc d(2, 5, 4);
    d.open(2);
    d.t().header.workingPixelsRef = 0x1234;
    d.add(3, 2, 0, 0, 5);
    ASSERT_TRUE(d.j().WriteListFile(d.dir.path + "list.vlrtmp"));
    const std::vector<uint8_t> f = readFile(d.dir.path + "list.vlrtmp");
    ASSERT_GE(f.size(), 256u);
    EXPECT_EQ(readU32LE(f.data() + 240), 0u);  // working references stored as 0
    EXPECT_EQ(readI32LE(f.data() + 204), 5);
    const std::vector<uint8_t> line = utf16le("848 64 20");
    ASSERT_TRUE(std::equal(line.begin(), line.end(), f.begin() + 256));
    const size_t record = 256 + line.size();
    EXPECT_EQ(readI32LE(f.data() + record), 1);
    const size_t second = record + 848 + 64 + 20 + 20;
    const std::vector<uint8_t> line2 = utf16le("848 24 6");
    ASSERT_TRUE(std::equal(line2.begin(), line2.end(), f.begin() + ptrdiff_t(second)));
    EXPECT_EQ(f.size(), second + line2.size() + 848 + 24 + 6 + 6);

    // Read back into a fresh table: the same list, records and planes.
    MemoryStream in(f.data(), f.size());
    JournalListContent c;
    std::string error;
    ASSERT_TRUE(ParseJournalList(in, 0, c, error)) << error;
    LayerTable copy;
    ApplyJournalList(std::move(c), 0, copy, false);
    EXPECT_TRUE(sameTable(capture(d.t()), copy));
}

TEST(JournalFiles, DamagedListFilesAreRefusedWithoutChangingTheDocument) {
    JournalDoc d(2, 5, 4);
    d.open(2);
    d.add(3, 2, 0, 0, 5, true);
    ASSERT_TRUE(d.j().WriteListFile(d.dir.path + "list.vlrtmp"));
    const std::vector<uint8_t> good = readFile(d.dir.path + "list.vlrtmp");
    std::string error;
    for (size_t n = 0; n < good.size(); ++n) {  // every truncation
        MemoryStream in(good.data(), n);
        JournalListContent c;
        ASSERT_FALSE(ParseJournalList(in, 0, c, error)) << n;
    }
    auto refused = [&](std::vector<uint8_t> bytes, int bottom) {
        MemoryStream in(bytes.data(), bytes.size());
        JournalListContent c;
        return !ParseJournalList(in, bottom, c, error);
    };
    std::vector<uint8_t> bad = good;
    bad[256 + 8] = '9';  // pixel size in the entry line no longer matches the record
    EXPECT_TRUE(refused(bad, 0));
    bad = good;
    writeI16LE(bad.data() + 256 + 18 + 212, 0);  // next points back at itself: a loop
    EXPECT_TRUE(refused(bad, 0));
    bad = good;
    writeI32LE(bad.data() + 256 + 18 + 252, 1 << 20);  // width that no plane matches
    EXPECT_TRUE(refused(bad, 0));
    EXPECT_FALSE(refused(good, 0));

    // A document whose initial list file is damaged keeps its layers when undoing to step 0.
    writeFile(d.j().InitialListFileName(), std::vector<uint8_t>(good.begin(), good.begin() + 300));
    const TableState before = capture(d.t());
    EXPECT_TRUE(d.doc.Undo());
    EXPECT_EQ(d.j().StepIndex(), 0);
    EXPECT_TRUE(sameTable(before, d.t()));
}

TEST(JournalEdges, UndoAtZeroAndRedoAfterRecordDoNothing) {
    JournalDoc d;
    EXPECT_FALSE(d.doc.RecordStep(u"채우기", StepKind::PixelEdit));  // no layer yet
    EXPECT_FALSE(d.doc.Undo());
    EXPECT_EQ(d.j().StepIndex(), -1);
    d.open();
    EXPECT_FALSE(d.doc.Undo());
    EXPECT_EQ(d.j().StepIndex(), 0);
    EXPECT_FALSE(d.doc.Modified());
    d.paint(0, 9);
    EXPECT_TRUE(d.doc.Modified());
    EXPECT_FALSE(d.doc.Redo());
    EXPECT_EQ(d.j().StepIndex(), 1);
    EXPECT_EQ(d.j().RedoLimit(), 1);
}

TEST(JournalEdges, UndoFromOneToZeroRestoresTheInitialListEvenWithANewBottom) {
    JournalDoc d;
    d.open(4);
    const TableState initial = capture(d.t());
    // The added layer becomes the bottom: the initial list must still land in slot 0.
    const int added = d.add(4, 3, 1, 1, 8, false, true);
    ASSERT_EQ(d.t().bottom, added);
    const TableState one = capture(d.t());
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(sameTable(initial, d.t()));
    EXPECT_EQ(d.t().layer(added).used, 0);
    EXPECT_EQ(d.doc.CurrentLayer(), 0);
    ASSERT_TRUE(d.doc.Redo());
    EXPECT_TRUE(sameTable(one, d.t()));
}

TEST(JournalEdges, RecordingAfterUndoDiscardsTheRedoStepsAndTheirFiles) {
    JournalDoc d;
    d.open();
    const int b = d.add(3, 3, 0, 0, 2);
    d.paint(b, 5);  // step 2 saves slot b
    ASSERT_TRUE(fileExists(d.j().LayerFileName(2, b)));
    ASSERT_TRUE(d.doc.Undo());
    d.paint(0, 6);  // a new step 2, about slot 0
    EXPECT_EQ(d.j().RedoLimit(), 2);
    EXPECT_FALSE(fileExists(d.j().LayerFileName(2, b)));
    EXPECT_TRUE(fileExists(d.j().LayerFileName(2, 0)));
    EXPECT_FALSE(d.doc.Redo());
}

TEST(JournalEdges, TheTwentyFirstStepKeepsStepsZeroOneAndTheLatest) {
    JournalDoc d;
    d.open();
    const int b = d.add(3, 3, 0, 0, 2);  // step 1
    d.paint(b, 77);                      // step 2: the only step that saves b's new pixels
    const TableState afterStep2 = capture(d.t());
    for (int i = 3; i <= 25; ++i) {
        d.paint(0, i);
        d.j().SetViewState(JournalViewState{});
    }
    EXPECT_EQ(d.j().StepIndex(), 19);
    EXPECT_EQ(d.j().RedoLimit(), 19);
    EXPECT_EQ(d.j().Entry(0).label, u"Opening....");
    EXPECT_EQ(d.j().Entry(1).label, u"레이어추가");
    EXPECT_EQ(d.j().Entry(2).kind, StepKind::PixelEdit);
    for (int s = 0; s < kLayerSlots; ++s) EXPECT_FALSE(fileExists(d.j().LayerFileName(20, s)));
    // Back down to step 2: b keeps the pixels of the discarded step.
    for (int i = 0; i < 17; ++i) ASSERT_TRUE(d.doc.Undo());
    EXPECT_EQ(d.j().StepIndex(), 2);
    EXPECT_EQ(d.t().planesOf(b).pixels, afterStep2.planes[1].pixels);
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_NE(d.t().planesOf(b).pixels, afterStep2.planes[1].pixels);
}

TEST(JournalEdges, TextLayersComeBackWithTheirTextAndCreatedPixels) {
    JournalDoc d;
    d.open();
    const int t = d.add(4, 2, 0, 0, 3, true);
    const TableState added = capture(d.t());
    d.editText(t, 6);
    const TableState edited = capture(d.t());
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(sameTable(added, d.t()));
    EXPECT_EQ(d.t().layer(t).stride, 4u);
    EXPECT_EQ(d.t().planesOf(t).pixels, std::vector<uint8_t>(8, 255));
    ASSERT_TRUE(d.doc.Redo());
    EXPECT_TRUE(sameTable(edited, d.t()));
}

TEST(JournalEdges, DeletedLayerReturnsAtItsSlotWithItsNameAndLinks) {
    JournalDoc d;
    d.open();
    const int a = d.add(3, 3, 0, 0, 2);
    const int b = d.add(2, 2, 1, 1, 3);
    d.t().layer(a).SetName(u"지울 레이어");
    d.paint(a, 4);
    const TableState before = capture(d.t());
    d.remove(a);
    EXPECT_TRUE(d.t().planesOf(a).pixels.empty());  // released once recorded
    d.add(5, 5, 0, 0, 9);                           // takes slot a again, another name
    ASSERT_TRUE(d.doc.Undo());
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(sameTable(before, d.t()));
    EXPECT_EQ(d.t().layer(a).Name(), u"지울 레이어");
    EXPECT_EQ(d.t().layer(a).next, b);
}

TEST(JournalDamage, MissingShortOrCorruptLayerFilesLeaveCreatedPlanes) {
    for (int damage = 0; damage < 3; ++damage) {
        SCOPED_TRACE(damage);
        JournalDoc d;
        d.open();
        const int b = d.add(3, 2, 0, 0, 2);
        d.paint(b, 5);
        const std::string file = d.j().LayerFileName(1, b);
        std::vector<uint8_t> bytes = readFile(file);
        if (damage == 0) std::filesystem::remove(file);
        if (damage == 1) bytes.resize(bytes.size() - 1);
        if (damage == 2) bytes.resize(bytes.size() * 3, 0xEE);
        if (damage) writeFile(file, bytes);
        ASSERT_TRUE(d.doc.Undo());
        const Layer& l = d.t().layer(b);
        const LayerPlanes& p = d.t().planesOf(b);
        EXPECT_EQ(p.pixels, std::vector<uint8_t>(l.pixelSize, 255));
        EXPECT_EQ(p.alpha, std::vector<uint8_t>(l.planeSize, 0));
        EXPECT_EQ(p.effect.size(), size_t(l.planeSize));
        EXPECT_FALSE(d.j().LastError().empty());
    }
}

TEST(JournalHistory, RowsAndRedoText) {
    JournalDoc d;
    EXPECT_EQ(d.j().HistoryRows().size(), 1u);
    EXPECT_EQ(d.j().HistoryRows()[0].text, u"   0  (처음상태)");
    d.open();
    d.add(2, 2, 0, 0, 1);
    d.t().header.paletteSize = 256;
    d.paint(0, 3);
    const auto rows = d.j().HistoryRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].text, u"  2 256 칼라           채우기");
    EXPECT_EQ(rows[1].text, u"  1              레이어추가");
    EXPECT_EQ(rows[2].text, u"  0            (처음이미지)");
    EXPECT_EQ(rows[1].kind, StepKind::AddLayer);
    d.t().header.paletteSize = 0;
    ASSERT_TRUE(d.doc.Undo());
    ASSERT_TRUE(d.doc.Redo());
    EXPECT_EQ(d.j().LastRedoText(),
              u"REDO : 언두리스트(Top 2) (0) Opening.... (1) 레이어추가 (2) 채우기");
}

TEST(JournalHistory, ViewStateAndCanvasStepsComeBack) {
    JournalDoc d;
    d.open();
    JournalViewState v;
    v.toolCommand = 32771;
    v.scroll[27] = 44;
    v.frameRect = {1, 2, 300, 400};
    d.j().SetViewState(v);
    d.doc.SetZoom(2.0);
    d.paint(0, 2);
    d.j().SetViewState(JournalViewState{});
    d.doc.SetZoom(1.0);
    d.resizeCanvas(12, 10, 5);
    EXPECT_EQ(d.j().Entry(2).kind, StepKind::CanvasResize);
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_EQ(d.t().header.canvasWidth, 8);
    EXPECT_EQ(d.j().ViewState().toolCommand, 32771);
    EXPECT_EQ(d.j().ViewState().scroll[27], 44);
    EXPECT_EQ(d.doc.Zoom(), 2.0);
}

TEST(JournalHistory, ClosingTheDocumentDeletesItsFiles) {
    TempDir dir;
    RecordingUserPort user;
    std::string name;
    {
        CBrevDoc doc(user, 5);
        doc.Journal().SetFolder(dir.path);
        CreateLayerArgs a;
        a.width = a.height = 2;
        ASSERT_EQ(testsupport::AddLayer(doc, a, -1), 0);
        doc.SetCurrentLayerIndex(0);
        doc.RecordStep(u"Opening....", StepKind::PixelEdit);
        name = doc.Journal().LayerFileName(0, 0);
        ASSERT_TRUE(fileExists(name));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path));
}

TEST(JournalFolderTest, EachProgramOwnsItsFolderAndCleanUpSparesLiveOnes) {
    TempDir root;
    std::string error;
    auto mine = JournalFolder::Create(root.path + "tmp", error);
    ASSERT_TRUE(mine) << error;
    EXPECT_FALSE(JournalFolder::Create(root.path + "tmp", error));  // one folder per program
    writeFile(mine->Path() + "UD_1_0_0.vlrtmp", {1, 2, 3});

    // A program that died: lock file present but unlocked, and one that never got a lock file.
    const std::string dead = root.path + "tmp/4242-17/";
    std::filesystem::create_directories(dead);
    writeFile(dead + JournalFolder::kLockName, {});
    writeFile(dead + "UD_1_0_0.vlrtmp", {1});
    std::filesystem::create_directories(root.path + "tmp/4243-18");
    // Not ours: left alone.
    std::filesystem::create_directories(root.path + "tmp/photos");

    // A live program in another process holds its lock.
    const std::string live = root.path + "tmp/4244-19/";
    std::filesystem::create_directories(live);
    writeFile(live + "UD_2_0_0.vlrtmp", {1});
    int toChild[2], toParent[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(toParent), 0);
    const pid_t child = fork();
    if (child == 0) {
        const int fd = ::open((live + JournalFolder::kLockName).c_str(), O_RDWR | O_CREAT, 0600);
        const bool locked = fd >= 0 && flock(fd, LOCK_EX) == 0;
        char c = locked ? 'L' : 'X';
        (void)!write(toParent[1], &c, 1);
        (void)!read(toChild[0], &c, 1);  // until the parent is done
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(toParent[0], &c, 1), 1);
    ASSERT_EQ(c, 'L');

    EXPECT_EQ(JournalFolder::RemoveAbandoned(root.path + "tmp"), 2);
    EXPECT_FALSE(fileExists(dead));
    EXPECT_FALSE(fileExists(root.path + "tmp/4243-18"));
    EXPECT_TRUE(fileExists(mine->Path() + "UD_1_0_0.vlrtmp"));
    EXPECT_TRUE(fileExists(live + "UD_2_0_0.vlrtmp"));
    EXPECT_TRUE(fileExists(root.path + "tmp/photos"));

    (void)!write(toChild[1], &c, 1);
    waitpid(child, nullptr, 0);
    EXPECT_EQ(JournalFolder::RemoveAbandoned(root.path + "tmp"), 1);
    EXPECT_FALSE(fileExists(live));

    const std::string minePath = mine->Path();
    mine.reset();
    EXPECT_FALSE(fileExists(minePath));
}

TEST(JournalFolderTest, DocumentNumbersStayApartPastTheNineHundredNinetyNinth) {
    JournalNumbers numbers;
    for (int i = 1; i <= 999; ++i) ASSERT_EQ(numbers.Acquire(), i);
    numbers.Release(17);
    numbers.Release(5);
    EXPECT_EQ(numbers.Acquire(), 5);
    EXPECT_EQ(numbers.Acquire(), 17);
    EXPECT_EQ(numbers.Acquire(), 1000);  // 999 documents open at once
    EXPECT_EQ(numbers.OpenCount(), 1000);
}
