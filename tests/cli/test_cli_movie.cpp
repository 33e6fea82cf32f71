#include "CliTestSupport.h"

namespace quillet::clitest {
namespace {

class CliMovie : public TempDirTest {
protected:
    // Two small BMP pictures made by ImageMagick.
    bool makePictures() {
        return std::system(("convert -size 80x60 gradient:red-blue '" + path("a.bmp") +
                            "' && convert -size 60x80 gradient:green-white '" + path("b.bmp") + "'")
                               .c_str()) == 0;
    }
    std::string probe(const std::string& file) {
        const std::vector<uint8_t> text = capture(
            "ffprobe -v error -show_entries stream=codec_type,codec_tag_string,nb_frames,width "
            "-of csv=p=0 '" +
            file + "'");
        return std::string(text.begin(), text.end());
    }
};

TEST_F(CliMovie, MakesAnImageShowWithJoinsAndSound) {
    if (!haveConvert()) GTEST_SKIP() << "ImageMagick is not installed";
    ASSERT_TRUE(makePictures());
    ASSERT_EQ(std::system(("ffmpeg -v error -f lavfi -i sine=d=1 '" + path("s.wav") + "'").c_str()),
              0);
    const RunResult r =
        run({"movie", path("show.avi"), "--size", "240x320", "--seconds", "0.5", "--sound",
             path("s.wav"), path("a.bmp"), "--join", "lines", path("b.bmp")});
    ASSERT_EQ(r.code, 0) << r.err;
    // Two holds of 15 frames and one line join of 30.
    EXPECT_EQ(probe(path("show.avi")), "video,XVID,240,60\naudio,[1][0][0][0],44100\n");
    // The working folder beside the movie is gone.
    size_t entries = 0;
    for (auto& e : fs::directory_iterator(dir_)) (void)e, ++entries;
    EXPECT_EQ(entries, 4u);
}

TEST_F(CliMovie, RefusesWrongArguments) {
    EXPECT_EQ(run({"movie", path("x.avi"), "a.bmp"}).code, 2);  // no size
    EXPECT_EQ(run({"movie", path("x.avi"), "--size", "321x240", "a.bmp"}).code, 2);
    EXPECT_EQ(run({"movie", path("x.avi"), "--size", "320x240", "--join", "wipe", "a.bmp"}).code,
              2);
    EXPECT_EQ(run({"movie", path("x.avi"), "--size", "320x240"}).code, 2);  // no pictures
    const RunResult missing = run({"movie", path("x.avi"), "--size", "320x240", path("none.bmp")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_FALSE(fs::exists(path("x.avi")));
}

}  // namespace
}  // namespace quillet::clitest
