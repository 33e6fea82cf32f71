// The Korean texts of failed saves and opens, from the statuses the real writer and readers give:
// a code and its text must stay in step when either side changes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <fstream>

#include "app/FileMessages.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "platform/RecordingUserPort.h"
#include "tests/support/TempDir.h"

using namespace quillet;

namespace {

class FileMessages : public testsupport::TempDirTest {
protected:
    // What the editor says after saving a small new picture to `target`.
    std::string saveMessage(const std::string& target) {
        CBrevDoc doc(user_);
        if (!NewDocument(doc, {})) return "no document";
        const Status saved = SaveDocument(doc, target);
        return saved ? std::string() : saveFailureMessage(target, saved);
    }

    RecordingUserPort user_;
};

}  // namespace

TEST_F(FileMessages, SavesTheWriterRefusesAreSaidInKorean) {
    EXPECT_EQ(saveMessage(path("a.bmp")), "");
    EXPECT_EQ(saveMessage(path("a.png")),
              "[.png] 형식으로는 저장할 수 없습니다.\nBMP, JPG, GIF, TIF, VLR 형식 중에서 "
              "고르십시오.");
    EXPECT_EQ(saveMessage(path("a.pcx")).rfind("[.pcx] 형식으로는", 0), 0u);
    EXPECT_EQ(saveMessage(path("이름")).rfind("확장자가 없는 형식으로는", 0), 0u);
    EXPECT_EQ(saveMessage(path("없음/a.jpg")),
              "[" + path("없음") + "] 폴더가 없어서 [a.jpg] 파일을 저장할 수 없습니다.");
    EXPECT_EQ(saveMessage(path("없음/a.vlr")),
              "[" + path("없음") + "] 폴더가 없어서 [a.vlr] 파일을 저장할 수 없습니다.");
    // A file in place of the folder is no folder either.
    testsupport::writeText(path("plain"), "x");
    EXPECT_NE(saveMessage(path("plain/a.jpg")).find("폴더가 없어서"), std::string::npos);

    // Marked read-only: refused even for a user allowed to write anything, and kept.
    const std::string locked = path("잠김.jpg");
    testsupport::writeText(locked, "old");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    EXPECT_EQ(saveMessage(locked), "[잠김.jpg] 파일은 읽기 전용이라서 저장할 수 없습니다.");
    EXPECT_EQ(testsupport::readText(locked), "old");
}

TEST_F(FileMessages, SystemReasonsOfTheWriter) {
    const std::string target = path("그림.jpg");
    auto failure = [&](int code) {
        return saveFailureMessage(target, StatusFromErrno(code, "cannot create a file in x"));
    };
    // Nothing exists at the target: the folder is what refused.
    EXPECT_EQ(failure(EACCES), "[그림.jpg] 파일을 저장할 권한이 없습니다.");
    EXPECT_EQ(failure(ENOSPC), "디스크 공간이 부족하여 [그림.jpg] 파일을 저장할 수 없습니다.");
    EXPECT_EQ(failure(EDQUOT), "디스크 공간이 부족하여 [그림.jpg] 파일을 저장할 수 없습니다.");
    EXPECT_EQ(failure(EROFS), "읽기 전용 장치라서 [그림.jpg] 파일을 저장할 수 없습니다.");
    EXPECT_NE(failure(ENOENT).find("폴더가 없어서"), std::string::npos);
    EXPECT_EQ(saveFailureMessage(target, {StatusCode::IoError, "JPEG encoder failed"}),
              "[그림.jpg] 파일을 저장할 수 없습니다.\n(JPEG encoder failed)");
}

TEST_F(FileMessages, OpenFailureNamesTheFileAndTheReason) {
    EXPECT_EQ(openFailureMessage("/x/y/사진.vlr", {StatusCode::Corrupt, "Truncated layer record"}),
              "해당 파일을 열 수 없습니다.\n[사진.vlr]\n(Truncated layer record)");
    EXPECT_EQ(openFailureMessage("a.png", {StatusCode::UnknownFormat, ""}),
              "해당 파일을 열 수 없습니다.\n[a.png]");
    EXPECT_EQ(openFailureMessage("a.bmp", {StatusCode::TooLarge, "20000 x 20000"}),
              "그림이 너무 커서 열 수 없습니다.\n[a.bmp]\n(20000 x 20000)");
    EXPECT_EQ(openFailureMessage("a.bmp", {StatusCode::OutOfMemory, "8 GB"})
                  .rfind("메모리가 부족하여 그림을 열 수 없습니다.\n[a.bmp]", 0),
              0u);
    // The user said no to a very large picture: nothing more to say.
    EXPECT_EQ(openFailureMessage("a.bmp", {StatusCode::Cancelled, "not opened"}), "");

    // A file that is not there, as the reader reports it.
    CBrevDoc doc(user_);
    const Status opened = OpenDocument(doc, path("없는.jpg"));
    ASSERT_FALSE(opened);
    EXPECT_EQ(openFailureMessage(path("없는.jpg"), opened)
                  .rfind("해당파일이 존재하지 않습니다.\n[없는.jpg]\n(", 0),
              0u);
}
