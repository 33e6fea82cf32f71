#pragma once
// Thumbnails for the file browser, decoded on worker threads and kept while the program runs:
// the window asks for the files it shows and paints each thumbnail as it arrives, so it never
// waits for a decode.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "document/FirstPicture.h"

namespace quillet {

struct Thumbnail {
    bool ok = false;            // false: the file could not be read; the browser shows a stand-in
    int width = 0, height = 0;  // the picture's size in the file (a VLR document's canvas)
    Picture32 picture;          // reduced to fit the thumbnail size
    std::string error;          // why it could not be read
};

// Reads one thumbnail now, on the calling thread: the first picture of the file (JPEG at the
// library's reduced scale, a VLR document's flat block, the first picture of a PSD or TIFF)
// reduced so that its longer side is at most `size`.
Thumbnail ReadThumbnail(const std::string& path, int size);

class ThumbnailLoader {
public:
    // `size`: the longer side of a thumbnail; `threads` workers decode.
    ThumbnailLoader(int size, int threads);
    ~ThumbnailLoader();
    ThumbnailLoader(const ThumbnailLoader&) = delete;
    ThumbnailLoader& operator=(const ThumbnailLoader&) = delete;

    int Size() const { return size_; }
    // Called on a worker thread with the file's path whenever its thumbnail is ready. Once
    // SetListener returns, the previous listener is not running and is never called again.
    void SetListener(std::function<void(const std::string& path)> ready);
    // The thumbnail of a file, or null while it is not ready.
    std::shared_ptr<const Thumbnail> Find(const std::string& path) const;
    // Queues files ahead of everything asked for before, the first of them first. Files whose
    // thumbnail is kept (and unchanged on disk) or already queued are not read again.
    void Request(const std::vector<std::string>& paths);
    // Drops the requests no worker has started (the browser left the folder).
    void CancelPending();
    // Blocks until nothing is queued or being read.
    void WaitIdle();

private:
    struct Kept {
        std::shared_ptr<const Thumbnail> thumbnail;
        int64_t modified = 0;
    };
    void Work();

    const int size_;
    mutable std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<std::string> queue_;
    std::set<std::string> queued_;
    std::map<std::string, Kept> kept_;
    int busy_ = 0;
    bool stopping_ = false;
    std::mutex listenerMutex_;
    std::function<void(const std::string&)> listener_;
    std::vector<std::thread> workers_;
};

}  // namespace quillet
