#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "base/AtomicFileWriter.h"
#include "base/CheckedSize.h"
#include "base/LittleEndian.h"
#include "base/Utf.h"
#include "tests/support/TempDir.h"

using namespace quillet;

TEST(LittleEndian, ReadsAndWritesRegardlessOfSign) {
    uint8_t b[4];
    writeU32LE(b, 0x11223344);
    EXPECT_EQ(b[0], 0x44);
    EXPECT_EQ(b[3], 0x11);
    EXPECT_EQ(readU32LE(b), 0x11223344u);
    writeI16LE(b, -2);
    EXPECT_EQ(b[0], 0xFE);
    EXPECT_EQ(b[1], 0xFF);
    EXPECT_EQ(readI16LE(b), -2);
    writeI32LE(b, -3);
    EXPECT_EQ(readI32LE(b), -3);
    const uint8_t be[4] = {0x38, 0x42, 0x50, 0x53};
    EXPECT_EQ(readU32BE(be), 0x38425053u);
    EXPECT_EQ(readU16BE(be), 0x3842);
}

TEST(CheckedSize, CatchesOverflowAndPadsRows) {
    EXPECT_FALSE(checkedMul(SIZE_MAX / 2 + 1, 2).has_value());
    EXPECT_FALSE(checkedAdd(SIZE_MAX, 1).has_value());
    EXPECT_EQ(*checkedMul(3, 4), 12u);
    EXPECT_FALSE(checkedAdd(checkedMul(SIZE_MAX, 2), 1).has_value());
    EXPECT_EQ(*dibRowBytes(1, 24), 4u);
    EXPECT_EQ(*dibRowBytes(5, 1), 4u);
    EXPECT_EQ(*dibRowBytes(33, 1), 8u);
    EXPECT_EQ(*dibRowBytes(3, 8), 4u);
    EXPECT_FALSE(dibRowBytes(SIZE_MAX / 4, 32).has_value());
}

TEST(Utf, RoundTripsKoreanAndSupplementaryCharacters) {
    const std::string text = "배경영상 2024 여름 😀";
    const std::u16string wide = utf8ToUtf16(text);
    EXPECT_EQ(wide[0], u'배');
    EXPECT_EQ(wide.size(), 15u);  // the emoji is a surrogate pair
    EXPECT_EQ(utf16ToUtf8(wide), text);
}

TEST(Utf, ReplacesBrokenSequences) {
    EXPECT_EQ(utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(utf8ToUtf16("\xE0\x80"), u"\uFFFD");      // truncated and overlong
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD");      // overlong slash
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");  // encoded surrogate
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

class AtomicFileWriterTest : public testsupport::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        target = path("picture.bmp");
    }
    static std::string slurp(const std::string& path) { return testsupport::readText(path); }
    std::string target;
};

TEST_F(AtomicFileWriterTest, CommitReplacesTargetWhole) {
    { std::ofstream(target) << "old"; }
    AtomicFileWriter w(target);
    ASSERT_TRUE(w.open());
    std::fputs("new content", w.file());
    EXPECT_EQ(slurp(target), "old");  // untouched until commit
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(slurp(target), "new content");
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(AtomicFileWriterTest, DiscardOrDestructionKeepsOldFileAndLeavesNoTemporary) {
    { std::ofstream(target) << "old"; }
    {
        AtomicFileWriter w(target);
        ASSERT_TRUE(w.open());
        std::fputs("partial", w.file());
    }
    EXPECT_EQ(slurp(target), "old");
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(AtomicFileWriterTest, FailsCleanlyInMissingFolder) {
    AtomicFileWriter w((dir_ / "missing" / "x.bmp").string());
    const Status opened = w.open();
    EXPECT_FALSE(opened);
    EXPECT_FALSE(opened.message().empty());
    EXPECT_FALSE(w.commit());
}

TEST_F(AtomicFileWriterTest, KeepsPermissionsOfReplacedFile) {
    { std::ofstream(target) << "old"; }
    chmod(target.c_str(), 0640);
    AtomicFileWriter w(target);
    ASSERT_TRUE(w.open());
    ASSERT_TRUE(w.commit());
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}
