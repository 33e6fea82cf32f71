#include "app/ThumbnailLoader.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace quillet {

namespace {

// The file's modification time as a number; 0 when it cannot be read.
int64_t modifiedTime(const std::string& path) {
    std::error_code ec;
    const auto t = std::filesystem::last_write_time(std::filesystem::path(path), ec);
    return ec ? 0 : int64_t(t.time_since_epoch().count());
}

}  // namespace

Thumbnail ReadThumbnail(const std::string& path, int size) {
    Thumbnail t;
    const std::unique_ptr<RowSource> picture =
        ReadFirstPicture(path, t.error, size, &t.width, &t.height);
    if (!picture || picture->Width() < 1 || picture->Height() < 1) return t;
    int w = 0, h = 0;
    FitSize(picture->Width(), picture->Height(), size, w, h);
    t.picture = Reduce(*picture, w, h);
    t.ok = true;
    return t;
}

ThumbnailLoader::ThumbnailLoader(int size, int threads) : size_(std::max(1, size)) {
    for (int i = 0; i < std::max(1, threads); ++i) workers_.emplace_back([this] { Work(); });
}

ThumbnailLoader::~ThumbnailLoader() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
        queued_.clear();
    }
    wake_.notify_all();
    for (auto& w : workers_) w.join();
}

void ThumbnailLoader::SetListener(std::function<void(const std::string&)> ready) {
    std::lock_guard lock(listenerMutex_);
    listener_ = std::move(ready);
}

std::shared_ptr<const Thumbnail> ThumbnailLoader::Find(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto it = kept_.find(path);
    return it == kept_.end() ? nullptr : it->second.thumbnail;
}

void ThumbnailLoader::Request(const std::vector<std::string>& paths) {
    {
        std::lock_guard lock(mutex_);
        for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
            const auto kept = kept_.find(*it);
            if (kept != kept_.end() && kept->second.modified == modifiedTime(*it)) continue;
            if (queued_.count(*it)) {
                // Asked again: it moves to the front with the others.
                queue_.erase(std::find(queue_.begin(), queue_.end(), *it));
            }
            queue_.push_front(*it);
            queued_.insert(*it);
        }
    }
    wake_.notify_all();
}

void ThumbnailLoader::CancelPending() {
    std::lock_guard lock(mutex_);
    queue_.clear();
    queued_.clear();
    if (busy_ == 0) idle_.notify_all();
}

void ThumbnailLoader::WaitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && busy_ == 0; });
}

void ThumbnailLoader::Work() {
    for (;;) {
        std::string path;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            path = std::move(queue_.front());
            queue_.pop_front();
            queued_.erase(path);
            ++busy_;
        }
        const int64_t modified = modifiedTime(path);
        auto thumbnail = std::make_shared<const Thumbnail>(ReadThumbnail(path, size_));
        {
            std::lock_guard lock(mutex_);
            kept_[path] = Kept{std::move(thumbnail), modified};
        }
        {
            std::lock_guard lock(listenerMutex_);
            if (listener_) listener_(path);
        }
        {
            std::lock_guard lock(mutex_);
            --busy_;
            if (busy_ == 0 && queue_.empty()) idle_.notify_all();
        }
    }
}

}  // namespace quillet
