#include "base/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

namespace quillet {

namespace {

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the file they lead to (which need not exist yet).
Status resolveLinks(const std::string& path, std::string& out) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            out = current;
            return {};
        }
        std::vector<char> buffer(size_t(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = readlink(current.c_str(), buffer.data(), buffer.size());
        if (n < 0) return StatusFromErrno(errno, "cannot read the link " + current);
        std::string next(buffer.data(), size_t(n));
        current = next.front() == '/' ? next : folderOf(current) + "/" + next;
    }
    return {StatusCode::Failed, "too many symbolic links: " + path};
}

std::string randomSuffix() {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device device;
    std::string s(6, 'x');
    for (char& c : s) c = kChars[device() % (sizeof kChars - 1)];
    return s;
}

// Gives the new file the target's owner and mode, or an ordinary new file's mode.
void copyOwnerAndMode(int fd, bool exists, const struct stat& target) {
    if (exists) {
        // The owner first: changing it clears set-id bits that the mode then puts back.
        if (target.st_uid != geteuid() || target.st_gid != getegid())
            (void)fchown(fd, target.st_uid, target.st_gid);
        fchmod(fd, target.st_mode & 07777);
        return;
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string targetPath) : target_(std::move(targetPath)) {}

AtomicFileWriter::~AtomicFileWriter() { discard(); }

Status AtomicFileWriter::open() {
    discard();
    if (Status resolved = resolveLinks(target_, final_); !resolved) return resolved;
    folder_ = folderOf(final_);

    struct stat folderStat;
    if (stat(folder_.c_str(), &folderStat) != 0 || !S_ISDIR(folderStat.st_mode))
        return {StatusCode::FolderMissing, "the folder does not exist: " + folder_};
    struct stat st {};
    targetExists_ = stat(final_.c_str(), &st) == 0;
    if (targetExists_) {
        if (!S_ISREG(st.st_mode))
            return {StatusCode::NotRegularFile, "not a regular file: " + final_};
        // A file without any write permission is read-only for everyone, the superuser too.
        if (access(final_.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0)
            return {StatusCode::PermissionDenied, "no permission to write " + final_};
    }

    int fd = -1;
#ifdef O_TMPFILE
    fd = ::open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT)
        return StatusFromErrno(errno, "cannot create a file in " + folder_);
    anonymous_ = fd >= 0;
#endif
    if (fd < 0) {
        const std::string pattern = folder_ + "/." + nameOf(final_) + ".XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        fd = mkstemp(name.data());
        if (fd < 0) return StatusFromErrno(errno, "cannot create a file in " + folder_);
        tempPath_ = name.data();
    }
    copyOwnerAndMode(fd, targetExists_, st);
    file_ = fdopen(fd, "wb");
    if (!file_) {
        const int error = errno;
        ::close(fd);
        if (!tempPath_.empty()) unlink(tempPath_.c_str());
        tempPath_.clear();
        return StatusFromErrno(error, "cannot write " + final_);
    }
    return {};
}

// An anonymous file is linked in under a temporary name and renamed over the target (a link
// cannot replace a file); a new target gets the name directly.
Status AtomicFileWriter::LinkIntoPlace() {
    const std::string source = "/proc/self/fd/" + std::to_string(fileno(file_));
    auto link = [&](const std::string& to) {
        if (linkat(AT_FDCWD, source.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        // Without /proc: the descriptor itself, which needs the right to search any folder.
        if (errno == ENOENT && linkat(fileno(file_), "", AT_FDCWD, to.c_str(), AT_EMPTY_PATH) == 0)
            return 0;
        return errno;
    };
    if (!targetExists_) {
        const int error = link(final_);
        if (error == 0) return {};
        if (error != EEXIST) return StatusFromErrno(error, "cannot write " + final_);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = folder_ + "/." + nameOf(final_) + "." + randomSuffix();
        const int error = link(temporary);
        if (error == EEXIST) continue;
        if (error != 0) return StatusFromErrno(error, "cannot write " + final_);
        if (std::rename(temporary.c_str(), final_.c_str()) != 0) {
            const int renameError = errno;
            unlink(temporary.c_str());
            return StatusFromErrno(renameError, "cannot replace " + final_);
        }
        return {};
    }
    return {StatusCode::IoError, "cannot find a free temporary name in " + folder_};
}

Status AtomicFileWriter::commit() {
    if (!file_) return {StatusCode::Failed, "nothing to commit"};
    Status status;
    if (std::fflush(file_) != 0 || std::ferror(file_) || fsync(fileno(file_)) != 0)
        status = StatusFromErrno(errno ? errno : EIO, "write failed");
    if (status) {
        if (anonymous_) {
            status = LinkIntoPlace();
        } else if (std::rename(tempPath_.c_str(), final_.c_str()) != 0) {
            status = StatusFromErrno(errno, "cannot replace " + final_);
        }
    }
    if (std::fclose(file_) != 0 && status) status = StatusFromErrno(errno, "close failed");
    file_ = nullptr;
    if (!status && !tempPath_.empty()) unlink(tempPath_.c_str());
    tempPath_.clear();
    return status;
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
