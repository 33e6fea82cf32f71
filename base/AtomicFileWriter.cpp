#include "base/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace quillet {

AtomicFileWriter::AtomicFileWriter(std::string targetPath) : target_(std::move(targetPath)) {}

AtomicFileWriter::~AtomicFileWriter() { discard(); }

bool AtomicFileWriter::open() {
    discard();
    const auto slash = target_.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : target_.substr(0, slash);
    const std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    std::string pattern = folder + "/." + base + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        error_ = std::string("cannot create a file in ") + folder + ": " + std::strerror(errno);
        return false;
    }
    // Keep the permissions an ordinary new file would get (mkstemp makes 0600).
    const mode_t mask = umask(0);
    umask(mask);
    struct stat st;
    fchmod(fd, stat(target_.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~mask));
    file_ = fdopen(fd, "wb");
    if (!file_) {
        error_ = std::strerror(errno);
        close(fd);
        unlink(name.data());
        return false;
    }
    tempPath_ = name.data();
    return true;
}

bool AtomicFileWriter::commit() {
    if (!file_) {
        error_ = "nothing to commit";
        return false;
    }
    bool ok = std::fflush(file_) == 0 && !std::ferror(file_) && fsync(fileno(file_)) == 0;
    if (!ok) error_ = std::string("write failed: ") + std::strerror(errno);
    if (std::fclose(file_) != 0 && ok) {
        ok = false;
        error_ = std::string("close failed: ") + std::strerror(errno);
    }
    file_ = nullptr;
    if (ok && std::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        ok = false;
        error_ = std::string("rename failed: ") + std::strerror(errno);
    }
    if (!ok) unlink(tempPath_.c_str());
    tempPath_.clear();
    return ok;
}

void AtomicFileWriter::discard() {
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!tempPath_.empty()) {
        unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

}  // namespace quillet
