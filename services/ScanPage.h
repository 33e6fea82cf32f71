#pragma once
// Turns the byte stream of one scanned page into a picture. A scanner describes each frame
// (format, depth, pixels per line, bytes per line, lines) and then sends rows top to bottom in
// pieces of any size; nothing it says is trusted before it is checked.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "image/RaViru.h"

namespace quillet {

// The frame formats a scanner may send, with the values its protocol uses.
enum class ScanFrameFormat : int { Gray = 0, Rgb = 1, Red = 2, Green = 3, Blue = 4 };

struct ScanFrameParameters {
    int format = 0;  // ScanFrameFormat's stored value; anything else is refused
    bool lastFrame = true;
    int bytesPerLine = 0;
    int pixelsPerLine = 0;
    int lines = -1;  // -1 when the height is known only at the end (hand scanners)
    int depth = 8;   // bits per sample: 1, 8 or 16
};

class ScanPage {
public:
    // Starts a frame; false with error() when the description is unusable or does not match
    // the frames before it (a colour page sent as three frames).
    bool BeginFrame(const ScanFrameParameters& p);
    // Takes the next bytes of the current frame; bytes past the announced lines are dropped.
    bool Add(const uint8_t* data, size_t size);
    // Ends the current frame (its rows received so far are kept).
    void EndFrame();
    // The page as a picture: 8-bit grey for grey frames, 24-bit otherwise, as tall as the rows
    // every frame delivered. False with error() when no whole row arrived.
    bool Finish(RaViru& out, int dpiX = 0, int dpiY = 0);

    // Bytes the page will take in all when its size is known (0 otherwise), and so far.
    uint64_t ExpectedBytes() const { return expected_; }
    uint64_t ReceivedBytes() const { return received_; }
    const std::string& error() const { return error_; }

private:
    bool Fail(std::string text);
    void ConvertRow(const uint8_t* source);

    ScanFrameParameters frame_{};
    int width_ = 0;
    int channels_ = 0;  // 1 grey, 3 colour
    bool threePass_ = false;
    int framesBegun_ = 0;
    int channel_ = 0;            // the channel a single-colour frame fills (0 blue .. 2 red)
    size_t outStride_ = 0;       // bytes of one converted row (top-down, packed)
    std::vector<uint8_t> rows_;  // converted rows, top row first
    std::vector<uint8_t> partial_;
    size_t partialFill_ = 0;
    int row_ = 0;  // rows of the current frame received
    int rowsComplete_ = 0;
    int maxRows_ = 0;
    uint64_t expected_ = 0;
    uint64_t received_ = 0;
    std::string error_;
};

}  // namespace quillet
