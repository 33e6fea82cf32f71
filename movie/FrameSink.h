#pragma once
// Where composed frames go, in order: the movie writer, with captions and turning on the way.
#include "movie/Frame24.h"

namespace quillet {

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // False ends the run: the writer rejected the frame or the user cancelled.
    virtual bool Put(const Frame24& frame) = 0;
};

}  // namespace quillet
