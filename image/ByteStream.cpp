#include "image/ByteStream.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <limits>

namespace quillet {

namespace {

bool OpenedForReadingOnly(FILE* file) {
    if (!file) return false;
    const int flags = fcntl(fileno(file), F_GETFL);
    return flags >= 0 && (flags & O_ACCMODE) == O_RDONLY;
}

}  // namespace

FileStream::FileStream(FILE* file, bool owns)
    : file_(file), owns_(owns), readOnly_(OpenedForReadingOnly(file)) {}

FileStream::FileStream(const char* path, const char* mode)
    : file_(std::fopen(path, mode)), owns_(true), readOnly_(OpenedForReadingOnly(file_)) {}

FileStream::~FileStream() {
    if (owns_ && file_) std::fclose(file_);
}

size_t FileStream::Read(void* buffer, size_t size, size_t count) {
    return file_ ? std::fread(buffer, size, count, file_) : 0;
}
size_t FileStream::Write(const void* buffer, size_t size, size_t count) {
    if (!file_) return 0;
    const size_t written = std::fwrite(buffer, size, count, file_);
    if (written != count) NoteFailure();
    return written;
}

void FileStream::NoteFailure() {
    if (!lastErrno_) lastErrno_ = errno;
}
int FileStream::GetByte() {
    if (!file_) return -1;
    const int c = std::getc(file_);
    return c == EOF ? -1 : c;
}
bool FileStream::PutByte(uint8_t value) {
    if (!file_) return false;
    if (std::putc(value, file_) != EOF) return true;
    NoteFailure();
    return false;
}
bool FileStream::Seek(int64_t offset, int origin) {
    return file_ && fseeko(file_, off_t(offset), origin) == 0;
}
int64_t FileStream::Tell() const { return file_ ? int64_t(ftello(file_)) : -1; }
bool FileStream::Flush() {
    if (!file_) return false;
    if (std::fflush(file_) == 0) return true;
    NoteFailure();
    return false;
}
bool FileStream::Eof() const { return !file_ || std::feof(file_); }
bool FileStream::Error() const { return !file_ || std::ferror(file_); }
int64_t FileStream::Size() const {
    if (!file_) return -1;
    if (sizeKnown_) return size_;
    const off_t here = ftello(file_);
    if (here < 0 || fseeko(file_, 0, SEEK_END) != 0) return -1;
    const off_t end = ftello(file_);
    fseeko(file_, here, SEEK_SET);
    if (readOnly_ && end >= 0) {
        size_ = int64_t(end);
        sizeKnown_ = true;
    }
    return int64_t(end);
}

MemoryStream::MemoryStream() : writable_(true) {}

MemoryStream::MemoryStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}

size_t MemoryStream::Read(void* buffer, size_t size, size_t count) {
    if (size == 0 || count == 0) return 0;
    const size_t available = pos_ < size_ ? size_ - pos_ : 0;
    size_t items = available / size;
    if (items >= count) {
        items = count;
    } else {
        eof_ = true;
    }
    // An empty stream has no data pointer, and memcpy must not be given one even for 0 bytes.
    if (items == 0) return 0;
    std::memcpy(buffer, data_ + pos_, items * size);
    pos_ += items * size;
    return items;
}

size_t MemoryStream::Write(const void* buffer, size_t size, size_t count) {
    if (!writable_) {
        error_ = true;
        return 0;
    }
    if (size == 0 || count == 0) return 0;
    if (count > std::numeric_limits<size_t>::max() / size) {
        error_ = true;
        return 0;
    }
    const size_t bytes = size * count;
    if (pos_ + bytes > owned_.size()) owned_.resize(pos_ + bytes);
    std::memcpy(owned_.data() + pos_, buffer, bytes);
    pos_ += bytes;
    data_ = owned_.data();
    size_ = owned_.size();
    return count;
}

int MemoryStream::GetByte() {
    if (pos_ >= size_) {
        eof_ = true;
        return -1;
    }
    return data_[pos_++];
}

bool MemoryStream::PutByte(uint8_t value) { return Write(&value, 1, 1) == 1; }

bool MemoryStream::Seek(int64_t offset, int origin) {
    int64_t base = 0;
    if (origin == SEEK_CUR)
        base = int64_t(pos_);
    else if (origin == SEEK_END)
        base = int64_t(size_);
    else if (origin != SEEK_SET)
        return false;
    const int64_t target = base + offset;
    // Reading streams cannot move past their end; writing streams may (the gap reads as zeros).
    if (target < 0 || (!writable_ && target > int64_t(size_))) return false;
    if (writable_ && size_t(target) > owned_.size()) {
        owned_.resize(size_t(target));
        data_ = owned_.data();
        size_ = owned_.size();
    }
    pos_ = size_t(target);
    eof_ = false;
    return true;
}

std::vector<uint8_t> MemoryStream::takeBuffer() {
    std::vector<uint8_t> out = std::move(owned_);
    owned_.clear();
    data_ = nullptr;
    size_ = pos_ = 0;
    return out;
}

}  // namespace quillet
