#pragma once
// The byte streams the codecs read and write: over a C file or over a memory block.
#include <cstdint>
#include <cstdio>
#include <vector>

namespace quillet {

class ByteStream {
public:
    virtual ~ByteStream() = default;
    // fread/fwrite semantics: the number of whole items moved.
    virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
    virtual bool PutByte(uint8_t value) { return Write(&value, 1, 1) == 1; }
    // The next byte, or -1 at the end.
    virtual int GetByte() {
        uint8_t b;
        return Read(&b, 1, 1) == 1 ? b : -1;
    }
    // origin is SEEK_SET, SEEK_CUR or SEEK_END; false when the position would be invalid.
    virtual bool Seek(int64_t offset, int origin) = 0;
    virtual int64_t Tell() const = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() const = 0;
    virtual bool Error() const = 0;
    // Total length in bytes, or -1 when unknown; readers use it to check lengths they are given.
    virtual int64_t Size() const = 0;

    // Bytes between the position and the end (a large number when the size is unknown).
    int64_t Remaining() const {
        const int64_t size = Size();
        return size < 0 ? INT64_MAX : size - Tell();
    }
};

class FileStream : public ByteStream {
public:
    // Takes a stream opened elsewhere; closes it only when `owns` is set.
    FileStream(FILE* file, bool owns);
    // Opens `path` with fopen's mode ("rb" or "wb"); isOpen() tells whether that worked.
    FileStream(const char* path, const char* mode);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    FILE* file() const { return file_; }
    // The system's reason for the first failed write or flush (ENOSPC, EIO, ...), or 0.
    int LastErrno() const { return lastErrno_; }

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    int GetByte() override;
    bool PutByte(uint8_t value) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() const override;
    bool Flush() override;
    bool Eof() const override;
    bool Error() const override;
    int64_t Size() const override;

private:
    FILE* file_ = nullptr;
    bool owns_ = false;
    // A stream opened only for reading keeps its length after the first look (readers ask for
    // Remaining() often, and the file does not change under them); a writable one measures anew.
    bool readOnly_ = false;
    mutable int64_t size_ = -1;
    mutable bool sizeKnown_ = false;
    int lastErrno_ = 0;
    void NoteFailure();
};

// Reads from a caller's block (read-only), or writes into a growing owned buffer.
class MemoryStream : public ByteStream {
public:
    MemoryStream();                                  // empty, writable
    MemoryStream(const uint8_t* data, size_t size);  // read-only view over the caller's bytes

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    int GetByte() override;
    bool PutByte(uint8_t value) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() const override { return int64_t(pos_); }
    bool Flush() override { return true; }
    bool Eof() const override { return eof_; }
    bool Error() const override { return error_; }
    int64_t Size() const override { return int64_t(size_); }

    const uint8_t* data() const { return data_; }
    // The bytes written so far (writable streams).
    const std::vector<uint8_t>& buffer() const { return owned_; }
    std::vector<uint8_t> takeBuffer();

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    bool writable_ = false;
    bool eof_ = false;
    bool error_ = false;
    std::vector<uint8_t> owned_;
};

}  // namespace quillet
