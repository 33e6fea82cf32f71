// quillet-cli recover: every document of a dead program's journal folder as a VLR file equal to
// the document's last recorded state; a running program's folder is refused untouched.
#include <fstream>
#include <iterator>

#include "CliTestSupport.h"
#include "document/journal/JournalFolder.h"
#include "document/journal/RecoveryManifest.h"
#include "tests/support/DeadJournal.h"

using namespace quillet;
using namespace quillet::clitest;

namespace {

std::vector<char> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(CliRecover, WritesEveryDocumentAsTheVlrOfItsLastState) {
    testsupport::TempDir dir("quillet-recover");
    const std::string dead = testsupport::MakeDeadJournal(
        dir.file("tmp"), {u"/home/user/풍경.jpg", u"/home/user/인물.png"}, dir.path().string());
    ASSERT_FALSE(dead.empty());
    const RunResult r = run({"recover", dead, dir.file("out")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(bytesOf(dir.file("out/풍경.vlr")), bytesOf(dir.file("풍경.vlr")));
    EXPECT_EQ(bytesOf(dir.file("out/인물.vlr")), bytesOf(dir.file("인물.vlr")));
    EXPECT_NE(r.out.find("풍경.vlr"), std::string::npos);
    // The folder is left as it was; a second run names its files apart.
    EXPECT_TRUE(fs::exists(dead + RecoveryManifest::FileName(3)));
    const RunResult again = run({"recover", dead, dir.file("out")});
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(bytesOf(dir.file("out/풍경 (2).vlr")), bytesOf(dir.file("풍경.vlr")));
}

TEST(CliRecover, DamageIsReportedAndALiveFolderRefused) {
    testsupport::TempDir dir("quillet-recover");
    const std::string dead =
        testsupport::MakeDeadJournal(dir.file("tmp"), {u"a.bmp", u"b.bmp"}, dir.path().string());
    ASSERT_FALSE(dead.empty());
    std::ofstream(dead + RecoveryManifest::FileName(4), std::ios::trunc) << "half";
    RunResult r = run({"recover", dead, dir.file("out")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(fs::exists(dir.file("out/a.vlr")));
    EXPECT_NE(r.err.find("Manifest_4"), std::string::npos) << r.err;

    std::string error;
    auto live = JournalFolder::Create(dir.file("live"), error);
    ASSERT_TRUE(live) << error;
    r = run({"recover", live->Path(), dir.file("out2")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("in use"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(live->Path() + JournalFolder::kLockName));
    EXPECT_EQ(run({"recover", dead}).code, 2);
}
