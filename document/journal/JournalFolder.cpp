#include "document/journal/JournalFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillet {

namespace fs = std::filesystem;

namespace {

// The program's start time in clock ticks since boot (field 22 of /proc/self/stat): with the
// pid it names this run, even after the pid is reused.
unsigned long long startTime() {
    std::ifstream stat("/proc/self/stat");
    std::string line;
    if (std::getline(stat, line)) {
        const size_t close = line.rfind(')');
        if (close != std::string::npos) {
            std::istringstream rest(line.substr(close + 2));
            std::string field;
            // Fields after the name start at 3 (state); the start time is field 22.
            for (int i = 3; i <= 22 && rest >> field; ++i)
                if (i == 22) return std::strtoull(field.c_str(), nullptr, 10);
        }
    }
    return static_cast<unsigned long long>(std::time(nullptr));
}

bool isInstanceName(const std::string& name) {
    const size_t dash = name.find('-');
    if (dash == std::string::npos || dash == 0 || dash + 1 == name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (i != dash && (name[i] < '0' || name[i] > '9')) return false;
    return true;
}

// Removes what the journal put in a folder, then the folder if that emptied it.
void removeJournalFolder(const fs::path& dir) {
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        // Also the temporary names a manifest being replaced has for a moment (".NAME.vlrtmp.X").
        const std::string name = it->path().filename().string();
        if (it->path().extension() == ".vlrtmp" ||
            (name.size() > 1 && name[0] == '.' && name.find(".vlrtmp.") != std::string::npos))
            fs::remove(it->path(), ec);
    }
    fs::remove(dir / JournalFolder::kLockName, ec);
    fs::remove(dir, ec);  // fails, harmlessly, when something else is left
}

}  // namespace

std::unique_ptr<JournalFolder> JournalFolder::Create(const std::string& tmpRoot,
                                                     std::string& error) {
    std::error_code ec;
    fs::create_directories(tmpRoot, ec);
    const std::string name = std::to_string(getpid()) + "-" + std::to_string(startTime());
    const fs::path staging = fs::path(tmpRoot) / ("." + name + ".new");
    const fs::path final = fs::path(tmpRoot) / name;
    fs::remove_all(staging, ec);
    if (!fs::create_directory(staging, ec)) {
        error = "cannot create the journal folder " + staging.string();
        return nullptr;
    }
    const std::string lockPath = (staging / kLockName).string();
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = "cannot lock the journal folder: " + std::string(std::strerror(errno));
        if (fd >= 0) ::close(fd);
        fs::remove_all(staging, ec);
        return nullptr;
    }
    if (fs::exists(final, ec)) {
        // Our own name: left by an earlier run with the same pid and start time, unless this
        // program already holds it (a second folder in one run would share its files).
        const int other = ::open((final / kLockName).c_str(), O_RDWR | O_CLOEXEC);
        const bool held = other >= 0 && ::flock(other, LOCK_EX | LOCK_NB) != 0;
        if (other >= 0) ::close(other);
        if (held) {
            error = "the journal folder " + final.string() + " is in use";
            ::close(fd);
            fs::remove_all(staging, ec);
            return nullptr;
        }
        removeJournalFolder(final);
    }
    fs::rename(staging, final, ec);
    if (ec) {
        error = "cannot set up the journal folder " + final.string();
        ::close(fd);
        fs::remove_all(staging, ec);
        return nullptr;
    }
    std::string path = final.string();
    if (path.back() != '/') path += '/';
    return std::unique_ptr<JournalFolder>(new JournalFolder(std::move(path), fd));
}

JournalFolder::~JournalFolder() {
    removeJournalFolder(fs::path(path_));
    if (lockFd_ >= 0) ::close(lockFd_);
}

int JournalFolder::RemoveAbandoned(const std::string& tmpRoot) {
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(tmpRoot, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_directory(ec) || !isInstanceName(it->path().filename().string())) continue;
        const std::string lockPath = (it->path() / kLockName).string();
        const int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC);
        // A folder gets its final name only once locked, so one without a lock file is abandoned.
        const bool gone = fd < 0 ? errno == ENOENT : ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (gone) {
            removeJournalFolder(it->path());
            ++removed;
        }
        if (fd >= 0) ::close(fd);
    }
    return removed;
}

bool JournalFolder::IsInstanceName(const std::string& name) { return isInstanceName(name); }

void JournalFolder::RemoveJournalFiles(const std::string& dir) {
    removeJournalFolder(fs::path(dir));
}

int JournalNumbers::Acquire() {
    int number = 0;
    if (next_ <= kMaxNumber) {
        number = next_++;
    } else {
        number = 1;
        for (int held : held_) {  // ascending: the first gap is the lowest free number
            if (held != number) break;
            ++number;
        }
    }
    held_.insert(number);
    return number;
}

void JournalNumbers::Release(int number) { held_.erase(number); }

}  // namespace quillet
