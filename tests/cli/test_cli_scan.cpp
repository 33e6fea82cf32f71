// quillet-cli scan with SANE's test scanner: one page, every page of a feeder, a missing
// scanner, and wrong arguments.
#include "../services/SaneTestBackend.h"
#include "CliTestSupport.h"
#include "image/RaViru.h"

using namespace quillet;
using namespace quillet::clitest;
using quillet::testing::kScansCanRun;
using quillet::testing::kScansSkipped;
using quillet::testing::SaneTestBackend;

namespace {
class CliScan : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        if (!kScansCanRun) GTEST_SKIP() << kScansSkipped;
        ASSERT_TRUE(SaneTestBackend::Use(2));
    }
};
}  // namespace

TEST_F(CliScan, APageIsSavedAsTheEditorWouldNameIt) {
    const RunResult r =
        run({"scan", path("page.bmp"), "--device", "test:1", "--option", "resolution=254",
             "--option", "mode=Color", "--option", "test-picture=Solid white"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "스캔영상_0 " + path("page.bmp") + " 800x1000\n");
    RaViru back(path("page.bmp"), ImageKind::Bmp);
    ASSERT_TRUE(back.HasBlock());
    EXPECT_EQ(back.Width(), 800);
    EXPECT_EQ(back.Height(), 1000);
    EXPECT_EQ(back.BitCount(), 24);
    EXPECT_EQ(back.PixelColorAt(400, 500) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(CliScan, EveryPageOfAFeeder) {
    const RunResult r = run({"scan", path("p.jpg"), "--option", "resolution=10", "--option",
                             "source=Automatic Document Feeder"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(path("p.jpg")));
    EXPECT_TRUE(fs::exists(path("p-2.jpg")));
    EXPECT_TRUE(fs::exists(path("p-10.jpg")));
    EXPECT_FALSE(fs::exists(path("p-11.jpg")));
    EXPECT_NE(r.out.find("스캔영상_9 "), std::string::npos);
}

TEST_F(CliScan, FailuresAndUsage) {
    RunResult r = run({"scan", path("x.bmp"), "--device", "test:5"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("연결된 스캐너를 찾을 수 없습니다."), std::string::npos);
    EXPECT_FALSE(fs::exists(path("x.bmp")));
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"scan"},
                                               {"scan", path("x.unknown")},
                                               {"scan", path("x.bmp"), "--device"},
                                               {"scan", path("x.bmp"), "--option", "novalue"},
                                               {"scan", path("x.bmp"), "--colour", "1"}}) {
        r = run(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("usage:"), std::string::npos);
    }
}
