#pragma once
// Writes a file so that the target is either the complete new content or untouched:
// the bytes go to a temporary file in the target's folder, which is flushed, synced and
// renamed over the target only by commit(). Without commit() the temporary file is removed.
#include <cstdio>
#include <string>

namespace quillet {

class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string targetPath);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file; false (with error()) when the folder is not writable.
    bool open();
    // The stream to write to; null before open() or after commit()/discard().
    FILE* file() const { return file_; }
    // Flushes, syncs and renames over the target. False leaves the target as it was.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void discard();

    const std::string& error() const { return error_; }
    const std::string& temporaryPath() const { return tempPath_; }

private:
    std::string target_;
    std::string tempPath_;
    std::string error_;
    FILE* file_ = nullptr;
};

}  // namespace quillet
