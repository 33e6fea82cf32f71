// A step whose layer holds what the layer's previous file holds shares that file (a link) rather
// than writing the same bytes again; any change to the planes or the mask writes a file anew.
#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "tests/document/test_journal_support.h"

using namespace journal_test;

namespace {

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::vector<char> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(JournalLinks, AMoveSharesTheLayersFileAndUndoesAndRedoesExactly) {
    JournalDoc d;
    d.open();
    const int b = d.add(5, 4, 1, 1, 3);  // step 1 writes b's file
    const TableState added = capture(d.t());
    d.move(b, 2, 1);  // step 2: same planes
    const TableState moved = capture(d.t());
    ASSERT_TRUE(d.j().FinishWrites());
    EXPECT_NE(inodeOf(d.j().LayerFileName(1, b)), 0u);
    EXPECT_EQ(inodeOf(d.j().LayerFileName(1, b)), inodeOf(d.j().LayerFileName(2, b)));
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(sameTable(added, d.t()));
    ASSERT_TRUE(d.doc.Redo());
    EXPECT_TRUE(sameTable(moved, d.t()));

    // After the undo and redo the planes came from a file; moving again still shares it, and
    // painting then writes a file of its own.
    d.move(b, -1, 0);  // step 3
    const TableState movedAgain = capture(d.t());
    d.paint(b, 9);  // step 4
    ASSERT_TRUE(d.j().FinishWrites());
    EXPECT_EQ(bytesOf(d.j().LayerFileName(3, b)), bytesOf(d.j().LayerFileName(2, b)));
    EXPECT_NE(inodeOf(d.j().LayerFileName(4, b)), inodeOf(d.j().LayerFileName(3, b)));
    EXPECT_NE(bytesOf(d.j().LayerFileName(4, b)), bytesOf(d.j().LayerFileName(3, b)));
    ASSERT_TRUE(d.doc.Undo());
    EXPECT_TRUE(sameTable(movedAgain, d.t()));
}

TEST(JournalLinks, OneChangedByteOrAChangedMaskWritesANewFile) {
    JournalDoc d;
    d.open();
    const int b = d.add(5, 4, 0, 0, 3);  // step 1
    // One byte of alpha, written in place (the plane is no longer shared after its own detach).
    d.t().planesOf(b).alpha[7] ^= 1;
    d.move(b, 1, 0);  // step 2
    ASSERT_TRUE(d.j().FinishWrites());
    EXPECT_NE(inodeOf(d.j().LayerFileName(2, b)), inodeOf(d.j().LayerFileName(1, b)));
    d.t().planesOf(b).effect[0] ^= 1;
    d.t().planesOf(b).effect[1] ^= 1;  // a second write to the same, now unshared, plane
    d.move(b, 1, 0);                   // step 3
    ASSERT_TRUE(d.j().FinishWrites());
    EXPECT_NE(inodeOf(d.j().LayerFileName(3, b)), inodeOf(d.j().LayerFileName(2, b)));
    EXPECT_NE(bytesOf(d.j().LayerFileName(3, b)), bytesOf(d.j().LayerFileName(2, b)));
    // The selection mask goes into the file too.
    ASSERT_FALSE(d.t().mask.bytes.empty());
    d.t().mask.bytes[0] ^= 1;
    d.move(b, 1, 0);  // step 4
    ASSERT_TRUE(d.j().FinishWrites());
    EXPECT_NE(inodeOf(d.j().LayerFileName(4, b)), inodeOf(d.j().LayerFileName(3, b)));
    EXPECT_NE(bytesOf(d.j().LayerFileName(4, b)), bytesOf(d.j().LayerFileName(3, b)));
}

TEST(JournalLinks, MaskHashSeesEveryByteAndTheLength) {
    std::vector<uint8_t> m(37, 1);
    const uint64_t h = MaskHash(m);
    for (size_t i = 0; i < m.size(); ++i) {
        m[i] ^= 0x80;
        EXPECT_NE(MaskHash(m), h) << i;
        m[i] ^= 0x80;
    }
    m.push_back(0);
    EXPECT_NE(MaskHash(m), h);
    EXPECT_EQ(MaskHash({}), MaskHash(std::vector<uint8_t>{}));
}
