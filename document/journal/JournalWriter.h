#pragma once
// Writes the journal's files. A step hands over what its files hold (planes shared with the
// document, so nothing is copied) and goes on at once; large files are written on a thread of
// their own, in the order they were handed over, while the user goes on working. Whoever needs
// the files on disk (undo and redo reading them back, a manifest that names them, the program's
// quiet close) waits for them with Finish(), which writes the rest itself rather than wait.
//
// Files are created by the caller and written through their descriptors, so renaming or
// removing them while they are being written is safe: a rename moves the file being written, a
// removed one is written to nowhere.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "document/PlaneBuffer.h"

namespace quillet {

// One stretch of a file: a plane (shared, written as far as it goes and padded with zeros to
// `length`) or bytes of its own.
struct FilePiece {
    PlaneBuffer plane;
    std::vector<uint8_t> bytes;
    uint64_t length = 0;

    static FilePiece Plane(const PlaneBuffer& plane, uint64_t length) {
        return {plane, {}, length};
    }
    static FilePiece Bytes(std::vector<uint8_t> bytes) {
        const uint64_t n = bytes.size();
        return {{}, std::move(bytes), n};
    }
    static FilePiece Bytes(const void* data, size_t n);
};

uint64_t PiecesBytes(const std::vector<FilePiece>& pieces);

class JournalWriter {
public:
    JournalWriter() = default;
    // Files still waiting are written before the writer goes (see Abandon for the other way).
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Creates `path` as a new file (any old file of that name is removed first, so a file still
    // being written under the name is never reused). -1 with errno set when that fails.
    static int CreateFile(const std::string& path);

    // Writes the pieces into `fd` and closes it: at once below `backgroundFrom` bytes, on the
    // writer's thread from there on. A file that cannot be written whole is cut to nothing, so
    // that it is never read back as complete; the error is kept for Finish().
    void Write(int fd, std::string path, std::vector<FilePiece> pieces);
    // Runs `task` once every file handed over before it is complete (in order with the files).
    void After(std::function<void()> task);

    // Waits until every file handed over is on disk; gives the errors met since the last call
    // ("" when none).
    std::string Finish();
    // The errors met so far, without waiting.
    std::string TakeErrors();
    // Drops the files not yet started (they stay empty) and waits for the one being written.
    void Abandon();
    // Whether files are still being written.
    bool Busy() const;

    // Files of at least this many bytes are written in the background; 0 sends every file
    // there, UINT64_MAX none.
    void SetBackgroundFrom(uint64_t bytes) { backgroundFrom_ = bytes; }

private:
    struct Job {
        int fd = -1;
        std::string path;
        std::vector<FilePiece> pieces;
        std::function<void()> task;
    };
    void Run(Job& job);
    // Runs the first job of the queue, `lock` held on entry and on return; or, when that job is
    // a task that must wait for a file still being written, waits once and gives false.
    bool RunFirst(std::unique_lock<std::mutex>& lock);
    void Loop();
    void Enqueue(Job job);

    uint64_t backgroundFrom_ = uint64_t(4) << 20;
    mutable std::mutex mutex_;
    std::condition_variable wake_;  // the thread: a job came, or stop
    std::condition_variable idle_;  // waiters: a job finished
    std::deque<Job> queue_;
    int running_ = 0;  // jobs taken from the queue and not yet done
    bool stop_ = false;
    std::string errors_;
    std::thread thread_;
};

}  // namespace quillet
