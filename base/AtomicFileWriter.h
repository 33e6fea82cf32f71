#pragma once
// Writes a file so that the target is either the complete new content or untouched. The bytes go
// to an anonymous file in the target's folder (O_TMPFILE) that is linked in only by commit(), so
// a killed program leaves nothing behind; where the file system has no anonymous files, to a
// temporary name that commit() renames over the target. A symbolic link is written through:
// the file it points to is replaced, keeping the link and that file's owner and mode. A file the
// user may not write, or one that is not a regular file (a device, a folder), is refused.
#include <cstdio>
#include <string>

#include "base/Status.h"

namespace quillet {

class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string targetPath);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Checks the target and creates the temporary file.
    Status open();
    // The stream to write to; null before open() or after commit()/discard().
    FILE* file() const { return file_; }
    // Flushes, syncs and puts the new file in the target's place. A failure leaves the target
    // as it was.
    Status commit();
    // Drops what was written; the target stays as it was.
    void discard();

    // The file that is replaced: the target, or where its symbolic links lead.
    const std::string& finalPath() const { return final_; }
    // Whether the bytes go to an anonymous file (nothing in the folder until commit()).
    bool anonymous() const { return anonymous_; }

private:
    Status LinkIntoPlace();

    std::string target_;
    std::string final_;
    std::string folder_;
    std::string tempPath_;  // the named temporary file, when there is one
    FILE* file_ = nullptr;
    bool anonymous_ = false;
    bool targetExists_ = false;
};

}  // namespace quillet
