#pragma once
// The running numbers that are shared by the whole application. One object lives in the
// application and is passed to whoever names a new document; nothing here is global, so two
// applications (or two tests) never share a number by accident. Document numbers, which keep
// journal files apart, are the journal's own (JournalNumbers), held by the application object.

namespace quillet {

class AppCounters {
public:
    // Each returns the value before it is raised (the first call gives 0).
    int takeResourceImageNumber() { return resourceImage_++; }  // "... Resource Image %d"
    int takeCopyNumber() { return copy_++; }                    // "복사%d_%s"
    int takeChannelNumber() { return channel_++; }              // "Y Channel %d from %s"
    // Shared by scanning and screen capture: "스캔영상_%d", "Captured Image %d".
    int takeCaptureNumber() { return capture_++; }

private:
    int resourceImage_ = 0;
    int copy_ = 0;
    int channel_ = 0;
    int capture_ = 0;
};

}  // namespace quillet
