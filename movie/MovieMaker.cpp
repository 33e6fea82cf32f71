#include "movie/MovieMaker.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/AtomicFileWriter.h"

namespace quillet {

MovieMaker::MovieMaker(MovieProject project, MovieProgress& progress,
                       const TextRasterizer* rasterizer)
    : p_(std::move(project)), progress_(progress), rasterizer_(rasterizer) {}

std::string MovieMaker::WorkPath(const std::string& name) const {
    if (p_.workFolder.empty() || p_.workFolder.back() == '/') return p_.workFolder + name;
    return p_.workFolder + "/" + name;
}

MovieResult MovieMaker::Run() {
    framesWritten_ = 0;
    soundWritten_ = false;
    progress_.Progress(0);
    if (p_.outputPath.empty())
        return MovieResult::Fail(MovieError::FileInUse, "현재 파일()은 사용중입니다.");
    const std::string mid = WorkPath(kMidMovieName);
    MovieResult r = p_.mode == WorkMode::ImageShow ? RunImageShow(mid) : RunVideoConversion(mid);
    progress_.Progress(0);
    if (!r.ok()) {
        std::remove(mid.c_str());
        return r;
    }
    r = MoveMovie(mid, p_.outputPath);
    std::remove(mid.c_str());
    return r;
}

MovieResult MoveMovie(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return MovieResult::Ok();
    const int why = errno;
    auto failed = [&](const std::string& reason) {
        return MovieResult::Fail(MovieError::WriteFailed, to + ": " + reason);
    };
    if (why != EXDEV) return failed(std::strerror(why));
    // Another file system: copy beside the target and rename over it when complete.
    FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) return failed(std::strerror(errno));
    AtomicFileWriter out(to);
    Status status = out.open();
    bool ok = status.ok();
    char buffer[1 << 16];
    while (ok) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, in);
        if (n == 0) break;
        ok = std::fwrite(buffer, 1, n, out.file()) == n;
    }
    ok = ok && !std::ferror(in);
    std::fclose(in);
    if (ok) status = out.commit();
    if (ok && status) return MovieResult::Ok();
    const std::string reason = status ? "the copy failed" : status.message();
    out.discard();
    return failed(reason);
}

}  // namespace quillet
