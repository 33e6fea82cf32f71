#pragma once
// A layer plane's bytes, shared between the tables that hold the same plane (the current table,
// the snapshot, the preview copy, the journal's pending files) until one of them writes: every
// non-const access to the bytes first makes this holder the only one (copy on write). Reading
// through a const reference never copies. The interface follows std::vector<uint8_t> so that
// planes read and write like the byte arrays they are.
//
// A pointer taken from a non-const access stays valid for writing only until the plane is
// shared again (copied into another table or handed to the journal): take it after that.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <vector>

namespace quillet {

// Which bytes a plane holds, without looking at them: equal stamps mean the same storage, not
// written in between (every write goes through a non-const access, which counts).
struct PlaneStamp {
    uint64_t storage = 0;  // 0 for an empty plane
    uint64_t writes = 0;
    size_t size = 0;
    bool operator==(const PlaneStamp&) const = default;
};

class PlaneBuffer {
public:
    using value_type = uint8_t;
    using size_type = size_t;
    using iterator = uint8_t*;
    using const_iterator = const uint8_t*;

    PlaneBuffer() = default;
    PlaneBuffer(size_t count, uint8_t value);
    PlaneBuffer(std::initializer_list<uint8_t> bytes);
    PlaneBuffer(std::vector<uint8_t>&& bytes);  // takes the vector's storage
    PlaneBuffer(const std::vector<uint8_t>& bytes);
    PlaneBuffer(const PlaneBuffer& other) noexcept;  // shares
    PlaneBuffer(PlaneBuffer&& other) noexcept;
    PlaneBuffer& operator=(const PlaneBuffer& other) noexcept;  // shares
    PlaneBuffer& operator=(PlaneBuffer&& other) noexcept;
    PlaneBuffer& operator=(std::vector<uint8_t>&& bytes);
    PlaneBuffer& operator=(const std::vector<uint8_t>& bytes);
    PlaneBuffer& operator=(std::initializer_list<uint8_t> bytes);
    ~PlaneBuffer();

    // `count` bytes whose content is undefined: for buffers that are overwritten at once.
    static PlaneBuffer Uninitialized(size_t count);
    // `count` zero bytes. Large planes come as untouched zero pages from the system, so a plane
    // that is never written (most effect planes) costs no memory.
    static PlaneBuffer Zeroed(size_t count);
    // Takes a block allocated with new[] whose plane starts `offset` bytes in (a decoder's
    // picture block with its header in front), without copying.
    static PlaneBuffer Adopt(std::unique_ptr<uint8_t[]> block, size_t offset, size_t count);

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    const uint8_t* data() const { return data_; }
    uint8_t* data() {
        Detach();
        return data_;
    }
    const uint8_t* begin() const { return data_; }
    const uint8_t* end() const { return data_ + size_; }
    const uint8_t* cbegin() const { return data_; }
    const uint8_t* cend() const { return data_ + size_; }
    uint8_t* begin() { return data(); }
    uint8_t* end() { return data() + size_; }
    const uint8_t& operator[](size_t i) const { return data_[i]; }
    uint8_t& operator[](size_t i) { return data()[i]; }
    const uint8_t& front() const { return data_[0]; }
    const uint8_t& back() const { return data_[size_ - 1]; }
    uint8_t& front() { return data()[0]; }
    uint8_t& back() { return data()[size_ - 1]; }

    // Every byte `value`; reuses the storage when this holder alone has it at that size.
    void assign(size_t count, uint8_t value);
    // Reuses the storage when this holder alone has it at that size.
    template <std::input_iterator It>
    void assign(It first, It last) {
        const size_t count = size_t(std::distance(first, last));
        if (count != size_ || Holders() > 1) {
            // The source may lie inside this plane: the old storage goes only after the copy.
            PlaneBuffer fresh = Uninitialized(count);
            std::copy(first, last, fresh.data_);
            swap(fresh);
        } else {
            std::copy(first, last, data());  // counts the write
        }
    }
    void resize(size_t count, uint8_t value = 0);
    void clear() { Release(); }
    void push_back(uint8_t value);
    void pop_back();
    void swap(PlaneBuffer& other) noexcept;

    // Bytes that are about to be overwritten whole: a shared plane gets fresh storage of the
    // same size instead of a copy of what it held. Gives the writable bytes.
    uint8_t* PrepareOverwrite();

    // The bytes as a vector: moved out when this holder alone has a vector's storage.
    std::vector<uint8_t> TakeVector() &&;
    operator std::vector<uint8_t>() && { return std::move(*this).TakeVector(); }
    operator std::vector<uint8_t>() const& { return ToVector(); }
    std::vector<uint8_t> ToVector() const { return {begin(), end()}; }

    // Whether both hold the very same storage (not merely equal bytes).
    bool SharesWith(const PlaneBuffer& other) const {
        return storage_ != nullptr && storage_ == other.storage_;
    }
    // Holders of this storage, this one included; 0 for an empty plane.
    int Holders() const;
    PlaneStamp Stamp() const;

    friend bool operator==(const PlaneBuffer& a, const PlaneBuffer& b);
    friend bool operator==(const PlaneBuffer& a, const std::vector<uint8_t>& b);

private:
    struct Storage;
    explicit PlaneBuffer(Storage* storage);
    void Detach();  // a copy of its own when shared
    void Release();

    Storage* storage_ = nullptr;
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

inline void swap(PlaneBuffer& a, PlaneBuffer& b) noexcept { a.swap(b); }

}  // namespace quillet
