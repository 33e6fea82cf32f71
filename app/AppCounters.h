#pragma once
// The running numbers that are shared by the whole application. One object lives in the
// application and is passed to whoever names a new document; nothing here is global, so two
// applications (or two tests) never share a number by accident.
#include <bitset>

namespace quillet {

class AppCounters {
public:
    static constexpr int kMaxDocumentNumber = 999;

    // Each returns the value before it is raised (the first call gives 0).
    int takeResourceImageNumber() { return resourceImage_++; }  // "... Resource Image %d"
    int takeCopyNumber() { return copy_++; }                    // "복사%d_%s"
    int takeChannelNumber() { return channel_++; }              // "Y Channel %d from %s"
    // Shared by scanning and screen capture: "스캔영상_%d", "Captured Image %d".
    int takeCaptureNumber() { return capture_++; }

    // Document numbers keep the journal files of open documents apart, so a number is never
    // handed out twice while its document is open. Numbers run 1..999 and wrap around to the
    // first free one; 0 means all 999 are in use.
    int takeDocumentNumber();
    void releaseDocumentNumber(int number);
    bool documentNumberInUse(int number) const;

private:
    int resourceImage_ = 0;
    int copy_ = 0;
    int channel_ = 0;
    int capture_ = 0;
    int nextDocument_ = 1;
    std::bitset<kMaxDocumentNumber + 1> documentsInUse_;
};

}  // namespace quillet
