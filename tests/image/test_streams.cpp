#include <gtest/gtest.h>

#include <cstdio>

#include "image/ByteStream.h"
#include "tests/support/TempDir.h"

using namespace quillet;

TEST(MemoryStream, ReadsWholeItemsAndReportsEnd) {
    const uint8_t data[7] = {1, 2, 3, 4, 5, 6, 7};
    MemoryStream s(data, sizeof data);
    uint16_t pair[2];
    EXPECT_EQ(s.Read(pair, 2, 2), 2u);
    EXPECT_EQ(s.Tell(), 4);
    EXPECT_EQ(s.Remaining(), 3);
    EXPECT_EQ(s.Read(pair, 2, 2), 1u);  // only one whole item left
    EXPECT_TRUE(s.Eof());
    EXPECT_EQ(s.GetByte(), 7);
    EXPECT_EQ(s.GetByte(), -1);
    EXPECT_TRUE(s.Seek(-2, SEEK_END));
    EXPECT_FALSE(s.Eof());
    EXPECT_EQ(s.GetByte(), 6);
    EXPECT_FALSE(s.Seek(1, SEEK_END));
    EXPECT_FALSE(s.Seek(-1, SEEK_SET));
    EXPECT_EQ(s.Write(data, 1, 1), 0u);  // read-only view
    EXPECT_TRUE(s.Error());
}

TEST(MemoryStream, EmptyStreamReadsNothingAndReportsEnd) {
    MemoryStream empty;
    uint8_t byte = 0x5A;
    EXPECT_EQ(empty.Read(&byte, 1, 1), 0u);
    EXPECT_TRUE(empty.Eof());
    EXPECT_EQ(byte, 0x5A);
    MemoryStream none(nullptr, 0);
    EXPECT_EQ(none.Read(&byte, 1, 4), 0u);
    EXPECT_EQ(none.GetByte(), -1);
}

TEST(MemoryStream, WritesGrowAndSeekBackOverwrites) {
    MemoryStream s;
    const uint8_t a[3] = {1, 2, 3};
    EXPECT_EQ(s.Write(a, 1, 3), 3u);
    EXPECT_TRUE(s.PutByte(4));
    EXPECT_TRUE(s.Seek(1, SEEK_SET));
    EXPECT_TRUE(s.PutByte(9));
    EXPECT_TRUE(s.Seek(6, SEEK_SET));  // past the end: the gap is zero
    EXPECT_TRUE(s.PutByte(8));
    EXPECT_EQ(s.buffer(), (std::vector<uint8_t>{1, 9, 3, 4, 0, 0, 8}));
    EXPECT_TRUE(s.Seek(0, SEEK_SET));
    EXPECT_EQ(s.GetByte(), 1);
}

TEST(FileStream, RoundTripAndSize) {
    const testsupport::TempDir dir;
    const std::string path = dir.file("f");
    {
        FileStream out(path.c_str(), "wb");
        ASSERT_TRUE(out.isOpen());
        EXPECT_EQ(out.Write("abcdef", 1, 6), 6u);
        EXPECT_TRUE(out.PutByte('g'));
        EXPECT_TRUE(out.Flush());
    }
    FileStream in(path.c_str(), "rb");
    EXPECT_EQ(in.Size(), 7);
    EXPECT_TRUE(in.Seek(2, SEEK_SET));
    EXPECT_EQ(in.Size(), 7);
    EXPECT_EQ(in.Tell(), 2);  // Size() keeps the position
    EXPECT_EQ(in.GetByte(), 'c');
    EXPECT_EQ(in.Remaining(), 4);
    char rest[8] = {};
    EXPECT_EQ(in.Read(rest, 1, 8), 4u);
    EXPECT_TRUE(in.Eof());
    FileStream missing("/nonexistent/q", "rb");
    EXPECT_FALSE(missing.isOpen());
    EXPECT_EQ(missing.GetByte(), -1);
}

TEST(FileStream, SizeFollowsWritesAndStaysRightForReaders) {
    const testsupport::TempDir dir;
    const std::string path = dir.file("f");
    {
        FileStream out(path.c_str(), "w+b");  // writable: every call measures the file
        EXPECT_EQ(out.Size(), 0);
        EXPECT_EQ(out.Write("abc", 1, 3), 3u);
        EXPECT_EQ(out.Size(), 3);
        EXPECT_TRUE(out.Seek(1, SEEK_SET));
        EXPECT_EQ(out.Write("xyz", 1, 3), 3u);
        EXPECT_EQ(out.Size(), 4);
        EXPECT_EQ(out.Tell(), 4);
    }
    FILE* raw = std::fopen(path.c_str(), "rb");
    ASSERT_NE(raw, nullptr);
    FileStream in(raw, true);  // a reader taken from elsewhere caches its size too
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(in.Remaining(), 4 - i);
        EXPECT_EQ(in.GetByte(), "axyz"[i]);
    }
    EXPECT_EQ(in.Size(), 4);
    EXPECT_EQ(in.GetByte(), -1);
}
