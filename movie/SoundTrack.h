#pragma once
// A sound track decoded to 16-bit interleaved samples: any file FFmpeg reads (WAV, MP3, MPEG,
// AVI, WMV, ...), with more than two channels mixed down to stereo.
#include <cstdint>
#include <string>
#include <vector>

#include "movie/MovieResult.h"

namespace quillet {

struct SoundTrack {
    int sampleRate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved

    bool Empty() const { return channels <= 0 || samples.empty(); }
    int64_t Frames() const { return channels > 0 ? int64_t(samples.size()) / channels : 0; }
    double Seconds() const { return sampleRate > 0 ? double(Frames()) / sampleRate : 0.0; }
    // Drops the first `percent` (0..100) of the track: the sound starts later in its file.
    void DropStart(int percent);
};

// What the status line shows about a sound file without decoding it.
struct SoundFacts {
    int channels = 0;
    int bitsPerSample = 0;
    int sampleRate = 0;
    double seconds = 0.0;
};

// Longest track kept: a longer file is cut here (an hour of stereo 48 kHz is 690 MB).
inline constexpr double kMaxSoundSeconds = 30.0 * 60.0;

MovieResult DecodeSound(const std::string& path, SoundTrack& out);
MovieResult ProbeSound(const std::string& path, SoundFacts& out);

}  // namespace quillet
