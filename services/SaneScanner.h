#pragma once
// Scanners and cameras through SANE: the device list for choosing a source, and the
// acquisition of pages with progress and cancel. SANE keeps process-wide state, so a
// SaneSession is opened for one command and closed again; only one lives at a time.
#include <cstdint>
#include <string>
#include <vector>

namespace quillet {

class RaViru;

struct ScanDevice {
    std::string name;  // what the device is opened by ("test:0", "genesys:libusb:001:004")
    std::string vendor;
    std::string model;
    std::string type;
    // "vendor model (name)" for the source chooser.
    std::string Label() const;
};

// A device option to set before scanning, by its SANE name ("mode", "resolution", "source").
struct ScanOption {
    std::string name;
    std::string value;  // a list entry, a number (fractions allowed) or yes/no
};

enum class ScanResult {
    Done,         // at least one page arrived (or the user stopped after some)
    NoDevice,     // no scanner is attached, or the chosen one is gone
    Busy,         // the device is in use by another program
    Cancelled,    // the user cancelled before a page was complete
    NoDocuments,  // the feeder is empty
    Failed,       // the device or its driver reported an error
};

struct ScanOutcome {
    ScanResult result = ScanResult::Failed;
    int pages = 0;
    std::string detail;  // the driver's own words, in English, for the log and tests
};

// The message the user sees for an outcome that ends without a document; empty for Done.
std::string ScanResultMessage(ScanResult result);

// What the acquisition asks of the caller while it runs.
class ScanPageSink {
public:
    enum class Answer { Take, Skip, StopAll };
    virtual ~ScanPageSink() = default;
    // A complete page; the sink may move its pixels away.
    virtual Answer page(RaViru& picture) = 0;
    // Progress of the current page, 0..100 (-1 while its size is unknown). False cancels.
    virtual bool progress(int percent) {
        (void)percent;
        return true;
    }
};

class SaneSession {
public:
    SaneSession();
    ~SaneSession();
    SaneSession(const SaneSession&) = delete;
    SaneSession& operator=(const SaneSession&) = delete;

    bool ok() const { return ok_; }
    // Every device SANE finds, local and over the network.
    std::vector<ScanDevice> Devices();
    // Opens `device`, sets `options`, and scans: one page from a flatbed, every page the feeder
    // holds when the device's source is a document feeder. Each page goes to `sink`.
    ScanOutcome Acquire(const std::string& device, const std::vector<ScanOption>& options,
                        ScanPageSink& sink);

private:
    bool ok_ = false;
};

}  // namespace quillet
