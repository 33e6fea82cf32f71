// quillet-cli movie: an image show without the dialog.
#include <stdlib.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <ostream>

#include "cli/CliCommands.h"
#include "movie/MovieMaker.h"

namespace quillet::cli {

namespace {
// Log lines and the end result go to standard error; the status texts are left out.
class ErrorStreamProgress : public MovieProgress {
public:
    explicit ErrorStreamProgress(std::ostream& err) : err_(err) {}
    void Log(const std::string& text) override { err_ << text << '\n'; }

private:
    std::ostream& err_;
};

bool parseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto [p1, e1] = std::from_chars(begin, begin + x, width);
    auto [p2, e2] = std::from_chars(begin + x + 1, end, height);
    return e1 == std::errc() && e2 == std::errc() && p1 == begin + x && p2 == end && width >= 16 &&
           height >= 16 && width <= 4096 && height <= 4096 && width % 2 == 0 && height % 2 == 0;
}

bool parseSeconds(const std::string& text, double& seconds) {
    char* end = nullptr;
    seconds = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && seconds > 0.0 && seconds <= 3600.0;
}
}  // namespace

int Movie(const std::vector<std::string>& args, std::ostream& err) {
    if (args.size() < 3) return -1;
    MovieProject p;
    p.outputPath = args[1];
    JoinKind join = JoinKind::Fade;
    double seconds = 3.0;
    bool sized = false;
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--size" && hasValue) {
            if (!parseSize(args[++i], p.width, p.height)) return -1;
            sized = true;
        } else if (a == "--join" && hasValue) {
            if (!JoinFromName(args[++i], join)) return -1;
        } else if (a == "--seconds" && hasValue) {
            if (!parseSeconds(args[++i], seconds)) return -1;
        } else if (a == "--sound" && hasValue) {
            p.soundPath = args[++i];
        } else if (a.rfind("--", 0) == 0) {
            return -1;
        } else {
            p.pictures.push_back({a, join});
        }
    }
    if (!sized || p.pictures.empty()) return -1;
    p.holdFrames = std::max(1, int(std::lround(seconds * kMovieRateNum / kMovieRateDen)));

    // Working files go to a folder of this run's own beside the movie.
    std::filesystem::path folder = std::filesystem::path(p.outputPath).parent_path();
    std::string pattern =
        (folder.empty() ? std::string(".") : folder.string()) + "/.quillet-movie-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        err << p.outputPath << ": the folder cannot be written\n";
        return 1;
    }
    p.workFolder = pattern;
    ErrorStreamProgress progress(err);
    MovieMaker maker(p, progress);
    const MovieResult r = maker.Run();
    std::error_code ec;
    std::filesystem::remove_all(p.workFolder, ec);
    if (!r.ok()) {
        err << p.outputPath << ": " << r.message << '\n';
        return 1;
    }
    return 0;
}

}  // namespace quillet::cli
