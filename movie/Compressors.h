#pragma once
// The compressor choice ("코덱선택"): the MPEG-4 Part 2 encoders FFmpeg offers, and the chosen
// index kept in "RozOduzuvev.ini" (section "RozOduzuvev", key "CompressorNumber").
#include <string>
#include <vector>

namespace quillet {

struct Compressor {
    std::string name;          // FFmpeg's encoder name, what the writer is given
    std::string friendlyName;  // what the list shows
};

// Encoders that open on this machine, FFmpeg's own first.
std::vector<Compressor> ListCompressors();

inline constexpr const char* kCompressorFile = "RozOduzuvev.ini";
inline constexpr int kDefaultCompressor = 1;

// The stored index (kDefaultCompressor when the file or key is missing or unreadable).
int ReadCompressorNumber(const std::string& folder);
bool WriteCompressorNumber(const std::string& folder, int index);
// The encoder for a stored index: out-of-range indexes fall back to the last entry.
std::string CompressorForIndex(const std::vector<Compressor>& list, int index);

}  // namespace quillet
