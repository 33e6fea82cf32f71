// The Korean texts of failed saves and opens: the reasons found before writing, and the
// writers' system texts mapped to the common reasons.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/FileMessages.h"

using namespace quillet;

namespace {
struct TempFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("quillet-messages-" + std::to_string(::getpid()));
    TempFolder() { std::filesystem::create_directories(path); }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::string file(const char* name) const { return (path / name).string(); }
};
}  // namespace

TEST(FileMessages, RefusalsBeforeWriting) {
    TempFolder dir;
    EXPECT_EQ(saveRefusalMessage(dir.file("a.bmp")), "");
    EXPECT_EQ(saveRefusalMessage(dir.file("a.png")),
              "[.png] 형식으로는 저장할 수 없습니다.\nBMP, JPG, GIF, TIF, VLR 형식 중에서 "
              "고르십시오.");
    EXPECT_EQ(saveRefusalMessage(dir.file("a.pcx")).rfind("[.pcx] 형식으로는", 0), 0u);
    EXPECT_EQ(saveRefusalMessage(dir.file("이름")).rfind("확장자가 없는 형식으로는", 0), 0u);
    EXPECT_EQ(saveRefusalMessage(dir.file("없음/a.jpg")),
              "[" + dir.file("없음") + "] 폴더가 없어서 [a.jpg] 파일을 저장할 수 없습니다.");
    // A file in place of the folder is no folder either.
    std::ofstream(dir.file("plain")) << "x";
    EXPECT_NE(saveRefusalMessage(dir.file("plain/a.jpg")).find("폴더가 없어서"), std::string::npos);

    const std::string locked = dir.file("잠김.jpg");
    std::ofstream(locked) << "x";
    EXPECT_FALSE(isReadOnlyFile(locked));
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    EXPECT_TRUE(isReadOnlyFile(locked));  // even for a user allowed to write anything
    EXPECT_EQ(saveRefusalMessage(locked), "[잠김.jpg] 파일은 읽기 전용이라서 저장할 수 없습니다.");
    EXPECT_FALSE(isReadOnlyFile(dir.file("없는.jpg")));
}

TEST(FileMessages, WriterReasonsBecomeKoreanTexts) {
    TempFolder dir;
    const std::string path = dir.file("그림.jpg");
    auto failure = [&](int code) {
        return saveFailureMessage(path,
                                  std::string("cannot create a file in x: ") + std::strerror(code));
    };
    EXPECT_EQ(failure(EACCES), "[그림.jpg] 파일을 저장할 권한이 없습니다.");
    EXPECT_EQ(failure(ENOSPC), "디스크 공간이 부족하여 [그림.jpg] 파일을 저장할 수 없습니다.");
    EXPECT_EQ(failure(EDQUOT), "디스크 공간이 부족하여 [그림.jpg] 파일을 저장할 수 없습니다.");
    EXPECT_EQ(failure(EROFS), "읽기 전용 장치라서 [그림.jpg] 파일을 저장할 수 없습니다.");
    EXPECT_NE(failure(ENOENT).find("폴더가 없어서"), std::string::npos);
    EXPECT_EQ(saveFailureMessage(path, "JPEG encoder failed"),
              "[그림.jpg] 파일을 저장할 수 없습니다.\n(JPEG encoder failed)");
    // What can be seen on the disk comes before what the writer said.
    EXPECT_EQ(saveFailureMessage(dir.file("a.png"), std::strerror(EACCES)).rfind("[.png]", 0), 0u);
}

TEST(FileMessages, OpenFailureNamesTheFileAndTheReason) {
    EXPECT_EQ(openFailureMessage("/x/y/사진.vlr", "Truncated layer record"),
              "해당 파일을 열 수 없습니다.\n[사진.vlr]\n(Truncated layer record)");
    EXPECT_EQ(openFailureMessage("a.png", ""), "해당 파일을 열 수 없습니다.\n[a.png]");
}
