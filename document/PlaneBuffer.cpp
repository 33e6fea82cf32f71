#include "document/PlaneBuffer.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <utility>

namespace quillet {

namespace {
uint64_t nextStorageId() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

// The bytes live either in a vector (planes built as vectors, moved in without a copy) or in a
// block from new[] (fresh planes, decoders' blocks with their header in front).
struct PlaneBuffer::Storage {
    // Holders of this storage. Another thread (the journal's writer) may let go of its share at
    // any time, never take a new one; so a count of 1 read with acquire means ours alone.
    std::atomic<int> refs{1};
    // Names this storage for PlaneStamp; `writes` counts the holder's non-const accesses (only
    // the document's thread writes planes).
    const uint64_t id = nextStorageId();
    uint64_t writes = 0;
    std::vector<uint8_t> vec;
    std::unique_ptr<uint8_t[]> block;
    void* mapped = nullptr;  // large planes: pages of their own, given back whole when freed
    size_t mappedBytes = 0;
    ~Storage() {
        if (mapped) ::munmap(mapped, mappedBytes);
    }
};

namespace {

// Planes from this size on get pages mapped for them alone: they come zeroed and untouched
// (nothing is paid for pages never written), in large pages where the system offers them, and
// go back to the system when the plane is freed.
constexpr size_t kMappedFrom = size_t(1) << 20;

void* mapPages(size_t bytes) {
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    ::madvise(p, bytes, MADV_HUGEPAGE);
#endif
    return p;
}

}  // namespace

PlaneBuffer::PlaneBuffer(Storage* storage) : storage_(storage) {}

PlaneBuffer PlaneBuffer::Uninitialized(size_t count) {
    if (count == 0) return {};
    auto s = std::make_unique<Storage>();
    uint8_t* bytes;
    if (count >= kMappedFrom) {
        s->mapped = mapPages(count);
        s->mappedBytes = count;
        bytes = static_cast<uint8_t*>(s->mapped);
    } else {
        s->block.reset(new uint8_t[count]);  // default-initialised: no bytes are written
        bytes = s->block.get();
    }
    PlaneBuffer p(s.release());
    p.data_ = bytes;
    p.size_ = count;
    return p;
}

PlaneBuffer PlaneBuffer::Zeroed(size_t count) {
    PlaneBuffer p = Uninitialized(count);
    // Mapped pages are zero already.
    if (count && !p.storage_->mapped) std::memset(p.data_, 0, count);
    return p;
}

PlaneBuffer PlaneBuffer::Adopt(std::unique_ptr<uint8_t[]> block, size_t offset, size_t count) {
    if (!block || count == 0) return {};
    auto* s = new Storage;
    s->block = std::move(block);
    PlaneBuffer p(s);
    p.data_ = s->block.get() + offset;
    p.size_ = count;
    return p;
}

PlaneBuffer::PlaneBuffer(size_t count, uint8_t value) : PlaneBuffer(Uninitialized(count)) {
    if (size_) std::memset(data_, value, size_);
}

PlaneBuffer::PlaneBuffer(std::initializer_list<uint8_t> bytes)
    : PlaneBuffer(std::vector<uint8_t>(bytes)) {}

PlaneBuffer::PlaneBuffer(std::vector<uint8_t>&& bytes) {
    if (bytes.empty()) return;
    storage_ = new Storage;
    storage_->vec = std::move(bytes);
    data_ = storage_->vec.data();
    size_ = storage_->vec.size();
}

PlaneBuffer::PlaneBuffer(const std::vector<uint8_t>& bytes)
    : PlaneBuffer(std::vector<uint8_t>(bytes)) {}

PlaneBuffer::PlaneBuffer(const PlaneBuffer& other) noexcept
    : storage_(other.storage_), data_(other.data_), size_(other.size_) {
    if (storage_) storage_->refs.fetch_add(1, std::memory_order_relaxed);
}

PlaneBuffer::PlaneBuffer(PlaneBuffer&& other) noexcept
    : storage_(std::exchange(other.storage_, nullptr)),
      data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)) {}

PlaneBuffer& PlaneBuffer::operator=(const PlaneBuffer& other) noexcept {
    if (this != &other) {
        PlaneBuffer copy(other);
        swap(copy);
    }
    return *this;
}

PlaneBuffer& PlaneBuffer::operator=(PlaneBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        swap(other);
    }
    return *this;
}

PlaneBuffer& PlaneBuffer::operator=(std::vector<uint8_t>&& bytes) {
    PlaneBuffer p(std::move(bytes));
    swap(p);
    return *this;
}

PlaneBuffer& PlaneBuffer::operator=(const std::vector<uint8_t>& bytes) {
    return *this = std::vector<uint8_t>(bytes);
}

PlaneBuffer& PlaneBuffer::operator=(std::initializer_list<uint8_t> bytes) {
    return *this = std::vector<uint8_t>(bytes);
}

PlaneBuffer::~PlaneBuffer() { Release(); }

void PlaneBuffer::Release() {
    if (storage_ && storage_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete storage_;
    storage_ = nullptr;
    data_ = nullptr;
    size_ = 0;
}

void PlaneBuffer::swap(PlaneBuffer& other) noexcept {
    std::swap(storage_, other.storage_);
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
}

int PlaneBuffer::Holders() const {
    return storage_ ? storage_->refs.load(std::memory_order_acquire) : 0;
}

PlaneStamp PlaneBuffer::Stamp() const {
    return storage_ ? PlaneStamp{storage_->id, storage_->writes, size_} : PlaneStamp{};
}

void PlaneBuffer::Detach() {
    if (!storage_) return;
    if (storage_->refs.load(std::memory_order_acquire) == 1) {
        ++storage_->writes;
        return;
    }
    PlaneBuffer copy = Uninitialized(size_);
    std::memcpy(copy.data_, data_, size_);
    swap(copy);
}

uint8_t* PlaneBuffer::PrepareOverwrite() {
    if (storage_ && storage_->refs.load(std::memory_order_acquire) > 1) {
        PlaneBuffer fresh = Uninitialized(size_);
        swap(fresh);
    } else if (storage_) {
        ++storage_->writes;
    }
    return data_;
}

void PlaneBuffer::assign(size_t count, uint8_t value) {
    if (count != size_ || Holders() > 1) {
        PlaneBuffer fresh = value == 0 ? Zeroed(count) : Uninitialized(count);
        swap(fresh);
        if (value == 0) return;
    }
    if (storage_) ++storage_->writes;
    if (size_) std::memset(data_, value, size_);
}

void PlaneBuffer::resize(size_t count, uint8_t value) {
    if (count == size_) return;
    PlaneBuffer fresh = Uninitialized(count);
    const size_t kept = std::min(count, size_);
    if (kept) std::memcpy(fresh.data_, data_, kept);
    if (count > kept) std::memset(fresh.data_ + kept, value, count - kept);
    swap(fresh);
}

void PlaneBuffer::push_back(uint8_t value) {
    std::vector<uint8_t> v = std::move(*this).TakeVector();
    v.push_back(value);
    *this = std::move(v);
}

void PlaneBuffer::pop_back() {
    if (size_ == 0) return;
    resize(size_ - 1);
}

std::vector<uint8_t> PlaneBuffer::TakeVector() && {
    std::vector<uint8_t> out;
    if (storage_ && Holders() == 1 && !storage_->vec.empty() && data_ == storage_->vec.data() &&
        size_ == storage_->vec.size()) {
        out = std::move(storage_->vec);
    } else {
        out.assign(begin(), end());
    }
    Release();
    return out;
}

bool operator==(const PlaneBuffer& a, const PlaneBuffer& b) {
    return a.size_ == b.size_ &&
           (a.size_ == 0 || a.data_ == b.data_ || std::memcmp(a.data_, b.data_, a.size_) == 0);
}

bool operator==(const PlaneBuffer& a, const std::vector<uint8_t>& b) {
    return a.size_ == b.size() && (a.size_ == 0 || std::memcmp(a.data_, b.data(), a.size_) == 0);
}

}  // namespace quillet
