#include "document/journal/JournalWriter.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace quillet {

namespace {

bool writeAll(int fd, const uint8_t* data, uint64_t n) {
    while (n > 0) {
        const size_t chunk = size_t(std::min<uint64_t>(n, uint64_t(1) << 30));
        const ssize_t done = ::write(fd, data, chunk);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        data += done;
        n -= uint64_t(done);
    }
    return true;
}

bool writeZeros(int fd, uint64_t n) {
    static const uint8_t zeros[1 << 16] = {};
    while (n > 0) {
        const uint64_t chunk = std::min<uint64_t>(n, sizeof zeros);
        if (!writeAll(fd, zeros, chunk)) return false;
        n -= chunk;
    }
    return true;
}

bool writePiece(int fd, const FilePiece& p) {
    const uint8_t* data = p.plane.empty() ? p.bytes.data() : p.plane.data();
    const uint64_t have = p.plane.empty() ? p.bytes.size() : p.plane.size();
    const uint64_t n = std::min(have, p.length);
    return writeAll(fd, data, n) && writeZeros(fd, p.length - n);
}

}  // namespace

FilePiece FilePiece::Bytes(const void* data, size_t n) {
    const auto* b = static_cast<const uint8_t*>(data);
    return Bytes(std::vector<uint8_t>(b, b + n));
}

uint64_t PiecesBytes(const std::vector<FilePiece>& pieces) {
    uint64_t n = 0;
    for (const FilePiece& p : pieces) n += p.length;
    return n;
}

JournalWriter::~JournalWriter() {
    Finish();
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

int JournalWriter::CreateFile(const std::string& path) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        ::unlink(path.c_str());
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void JournalWriter::Run(Job& job) {
    if (job.task) {
        job.task();
        return;
    }
    bool ok = true;
    for (const FilePiece& p : job.pieces)
        if (!(ok = writePiece(job.fd, p))) break;
    if (!ok && ::ftruncate(job.fd, 0) != 0) {
        // Nothing more can be done: the size check on reading refuses the file.
    }
    ok = ::close(job.fd) == 0 && ok;
    if (!ok) {
        std::lock_guard lock(mutex_);
        errors_ += (errors_.empty() ? "cannot write journal file " : "; ") + job.path;
    }
}

void JournalWriter::Write(int fd, std::string path, std::vector<FilePiece> pieces) {
    Job job{fd, std::move(path), std::move(pieces), {}};
    if (PiecesBytes(job.pieces) < backgroundFrom_) {
        // Small files go at once. Each file is a new one (CreateFile), so one written before a
        // larger file handed over earlier can never be overwritten by it.
        Run(job);
        return;
    }
    Enqueue(std::move(job));
}

void JournalWriter::After(std::function<void()> task) {
    if (backgroundFrom_ == UINT64_MAX) {
        task();
        return;
    }
    Enqueue(Job{-1, {}, {}, std::move(task)});
}

void JournalWriter::Enqueue(Job job) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(job));
        if (!thread_.joinable()) thread_ = std::thread([this] { Loop(); });
    }
    wake_.notify_one();
}

void JournalWriter::Loop() {
#ifdef SYS_gettid
    // Behind the user's work: the view's painting comes first on a busy machine.
    ::setpriority(PRIO_PROCESS, id_t(::syscall(SYS_gettid)), 10);
#endif
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (queue_.empty()) return;  // stopping with nothing left
        RunFirst(lock);
    }
}

bool JournalWriter::RunFirst(std::unique_lock<std::mutex>& lock) {
    // A task comes after every file handed over before it, also one a waiter is writing; it
    // stays first in the queue meanwhile, so that nothing after it can overtake it.
    if (queue_.front().task && running_ > 0) {
        idle_.wait(lock);
        return false;
    }
    Job job = std::move(queue_.front());
    queue_.pop_front();
    ++running_;
    lock.unlock();
    Run(job);
    job = {};  // the shared planes are let go before anyone is told
    lock.lock();
    --running_;
    idle_.notify_all();
    return true;
}

std::string JournalWriter::Finish() {
    std::unique_lock lock(mutex_);
    // Whoever waits writes what is left itself: the thread may be slowed by its low priority.
    while (!queue_.empty()) RunFirst(lock);
    idle_.wait(lock, [this] { return running_ == 0; });
    return std::exchange(errors_, {});
}

std::string JournalWriter::TakeErrors() {
    std::lock_guard lock(mutex_);
    return std::exchange(errors_, {});
}

void JournalWriter::Abandon() {
    std::unique_lock lock(mutex_);
    for (Job& job : queue_)
        if (job.fd >= 0) ::close(job.fd);
    queue_.clear();
    idle_.wait(lock, [this] { return running_ == 0; });
    errors_.clear();
}

bool JournalWriter::Busy() const {
    std::lock_guard lock(mutex_);
    return !queue_.empty() || running_ > 0;
}

}  // namespace quillet
