#pragma once
// What a movie step reports: a code the shell can act on and the text the user is shown.
#include <string>

namespace quillet {

enum class MovieError {
    None,
    EmptyList,       // nothing to make a movie of
    FileInUse,       // the movie file cannot be created
    CodecMissing,    // no MPEG-4 encoder could be opened
    FormatMismatch,  // the encoder refused the frame format
    WriteFailed,     // a frame or the file's end could not be written
    Unreadable,      // an input file cannot be read
    Cancelled,       // the user stopped the run
};

struct MovieResult {
    MovieError code = MovieError::None;
    std::string message;

    bool ok() const { return code == MovieError::None; }
    static MovieResult Ok() { return {}; }
    static MovieResult Fail(MovieError code, std::string message) {
        return {code, std::move(message)};
    }
};

}  // namespace quillet
