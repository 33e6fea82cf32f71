#include "services/SaneScanner.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "image/RaViru.h"
#include "services/ScanPage.h"

namespace quillet {

namespace {

constexpr size_t kReadChunk = 256 * 1024;
// A driver that keeps answering "nothing yet" in blocking mode is broken; give up on it.
constexpr int kMaxEmptyReads = 100000;

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string StatusText(SANE_Status s) { return sane_strstatus(s); }

ScanResult ResultOf(SANE_Status s) {
    switch (s) {
        case SANE_STATUS_DEVICE_BUSY:
            return ScanResult::Busy;
        case SANE_STATUS_CANCELLED:
            return ScanResult::Cancelled;
        case SANE_STATUS_NO_DOCS:
            return ScanResult::NoDocuments;
        default:
            return ScanResult::Failed;
    }
}

// One opened device; closed (after ending any scan) when it goes.
class OpenDevice {
public:
    explicit OpenDevice(SANE_Handle h) : h_(h) {}
    ~OpenDevice() {
        sane_cancel(h_);
        sane_close(h_);
    }
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;
    SANE_Handle handle() const { return h_; }

    int Find(const std::string& name) const {
        for (SANE_Int i = 1;; ++i) {
            const SANE_Option_Descriptor* d = sane_get_option_descriptor(h_, i);
            if (!d) return -1;
            if (d->name && name == d->name) return i;
        }
    }

    // Sets one option from its text; false with the reason in `why`.
    bool Set(const ScanOption& option, std::string& why) const {
        const int index = Find(option.name);
        const SANE_Option_Descriptor* d =
            index > 0 ? sane_get_option_descriptor(h_, index) : nullptr;
        if (!d) {
            why = "no option " + option.name;
            return false;
        }
        if (!SANE_OPTION_IS_ACTIVE(d->cap) || !SANE_OPTION_IS_SETTABLE(d->cap)) {
            why = "option " + option.name + " cannot be set now";
            return false;
        }
        SANE_Status s = SANE_STATUS_INVAL;
        if (d->type == SANE_TYPE_STRING) {
            std::vector<char> text(size_t(std::max<SANE_Int>(d->size, 1)), '\0');
            std::strncpy(text.data(), option.value.c_str(), text.size() - 1);
            s = sane_control_option(h_, index, SANE_ACTION_SET_VALUE, text.data(), nullptr);
        } else if (d->type == SANE_TYPE_BOOL || d->type == SANE_TYPE_INT ||
                   d->type == SANE_TYPE_FIXED) {
            SANE_Word word;
            if (d->type == SANE_TYPE_BOOL) {
                const std::string v = Lower(option.value);
                word = v == "yes" || v == "true" || v == "1" ? SANE_TRUE : SANE_FALSE;
            } else {
                char* end = nullptr;
                const double v = std::strtod(option.value.c_str(), &end);
                if (end == option.value.c_str() || !std::isfinite(v) || std::fabs(v) > 32767.0) {
                    why = "option " + option.name + " needs a number";
                    return false;
                }
                word = d->type == SANE_TYPE_FIXED ? SANE_FIX(v) : SANE_Word(std::lround(v));
            }
            // Array options take the one value in every element.
            std::vector<SANE_Word> words(
                std::max<size_t>(1, size_t(std::max<SANE_Int>(d->size, 0)) / sizeof(SANE_Word)),
                word);
            s = sane_control_option(h_, index, SANE_ACTION_SET_VALUE, words.data(), nullptr);
        }
        if (s != SANE_STATUS_GOOD) {
            why = "option " + option.name + ": " + StatusText(s);
            return false;
        }
        return true;
    }

    // The value of a numeric option (0 when the device has none).
    double Number(const std::string& name) const {
        const int index = Find(name);
        const SANE_Option_Descriptor* d =
            index > 0 ? sane_get_option_descriptor(h_, index) : nullptr;
        if (!d || !SANE_OPTION_IS_ACTIVE(d->cap) || d->size < SANE_Int(sizeof(SANE_Word)) ||
            (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED))
            return 0;
        std::vector<SANE_Word> words(size_t(d->size) / sizeof(SANE_Word) + 1);
        if (sane_control_option(h_, index, SANE_ACTION_GET_VALUE, words.data(), nullptr) !=
            SANE_STATUS_GOOD)
            return 0;
        return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(words[0]) : double(words[0]);
    }

    std::string Text(const std::string& name) const {
        const int index = Find(name);
        const SANE_Option_Descriptor* d =
            index > 0 ? sane_get_option_descriptor(h_, index) : nullptr;
        if (!d || d->type != SANE_TYPE_STRING || d->size < 1 || !SANE_OPTION_IS_ACTIVE(d->cap))
            return {};
        std::vector<char> text(size_t(d->size) + 1, '\0');
        if (sane_control_option(h_, index, SANE_ACTION_GET_VALUE, text.data(), nullptr) !=
            SANE_STATUS_GOOD)
            return {};
        return std::string(text.data());
    }

    // Whether the pages come from a document feeder (then every page it holds is scanned).
    bool FeederSource() const {
        const std::string s = Lower(Text(SANE_NAME_SCAN_SOURCE));
        return s.find("adf") != std::string::npos || s.find("feeder") != std::string::npos ||
               s.find("automatic") != std::string::npos || s.find("duplex") != std::string::npos;
    }

    int Dpi(bool vertical) const {
        double v = Number(vertical ? SANE_NAME_SCAN_Y_RESOLUTION : SANE_NAME_SCAN_X_RESOLUTION);
        if (v <= 0) v = Number(SANE_NAME_SCAN_RESOLUTION);
        return v >= 1 && v <= 1e6 ? int(std::lround(v)) : 0;
    }

private:
    SANE_Handle h_;
};

}  // namespace

std::string ScanDevice::Label() const {
    std::string label = vendor;
    if (!model.empty()) label += (label.empty() ? "" : " ") + model;
    return label.empty() ? name : label + " (" + name + ")";
}

std::string ScanResultMessage(ScanResult result) {
    switch (result) {
        case ScanResult::Done:
            return {};
        case ScanResult::NoDevice:
            return "연결된 스캐너를 찾을 수 없습니다.";
        case ScanResult::Busy:
            return "스캐너가 다른 프로그램에서 사용 중입니다.";
        case ScanResult::Cancelled:
            return "스캔이 취소되었습니다.";
        case ScanResult::NoDocuments:
            return "급지대에 원고가 없습니다.";
        case ScanResult::Failed:
            break;
    }
    return "스캐너에서 그림을 읽지 못했습니다.";
}

SaneSession::SaneSession() {
    SANE_Int version = 0;
    ok_ = sane_init(&version, nullptr) == SANE_STATUS_GOOD;
}

SaneSession::~SaneSession() {
    if (ok_) sane_exit();
}

std::vector<ScanDevice> SaneSession::Devices() {
    std::vector<ScanDevice> out;
    const SANE_Device** list = nullptr;
    if (!ok_ || sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list) return out;
    auto text = [](const char* s) { return std::string(s ? s : ""); };
    for (const SANE_Device** d = list; *d; ++d)
        if ((*d)->name && *(*d)->name)
            out.push_back(
                {text((*d)->name), text((*d)->vendor), text((*d)->model), text((*d)->type)});
    return out;
}

ScanOutcome SaneSession::Acquire(const std::string& device, const std::vector<ScanOption>& options,
                                 ScanPageSink& sink) {
    ScanOutcome outcome;
    if (!ok_) {
        outcome.result = ScanResult::NoDevice;
        outcome.detail = "SANE could not be started";
        return outcome;
    }
    std::string name = device;
    if (name.empty()) {
        const std::vector<ScanDevice> all = Devices();
        if (all.empty()) {
            outcome.result = ScanResult::NoDevice;
            outcome.detail = "no scanner found";
            return outcome;
        }
        name = all.front().name;
    }
    SANE_Handle handle = nullptr;
    const SANE_Status opened = sane_open(name.c_str(), &handle);
    if (opened != SANE_STATUS_GOOD || !handle) {
        outcome.result = opened == SANE_STATUS_DEVICE_BUSY ? ScanResult::Busy
                         : opened == SANE_STATUS_INVAL     ? ScanResult::NoDevice
                                                           : ScanResult::Failed;
        outcome.detail = name + ": " + StatusText(opened);
        return outcome;
    }
    OpenDevice dev(handle);
    for (const ScanOption& option : options) {
        std::string why;
        if (!dev.Set(option, why)) outcome.detail += (outcome.detail.empty() ? "" : "; ") + why;
    }
    const bool feeder = dev.FeederSource();
    std::vector<uint8_t> buffer(kReadChunk);

    for (;;) {
        ScanPage page;
        bool more = true;
        SANE_Status status = SANE_STATUS_GOOD;
        // One page: its frames (three for a colour page sent colour by colour), each started.
        while (more) {
            status = sane_start(handle);
            if (status != SANE_STATUS_GOOD) break;
            SANE_Parameters p;
            status = sane_get_parameters(handle, &p);
            if (status != SANE_STATUS_GOOD) break;
            const ScanFrameParameters frame{int(p.format),     p.last_frame != 0, p.bytes_per_line,
                                            p.pixels_per_line, p.lines,           p.depth};
            if (!page.BeginFrame(frame)) {
                outcome.result = ScanResult::Failed;
                outcome.detail = page.error();
                return outcome;
            }
            int empty = 0, lastPercent = -2;
            for (;;) {
                SANE_Int length = 0;
                status = sane_read(handle, buffer.data(), SANE_Int(buffer.size()), &length);
                if (status == SANE_STATUS_EOF) break;
                if (status != SANE_STATUS_GOOD) break;
                if (length <= 0) {
                    if (++empty > kMaxEmptyReads) {
                        status = SANE_STATUS_IO_ERROR;
                        break;
                    }
                    continue;
                }
                empty = 0;
                page.Add(buffer.data(),
                         size_t(std::min<SANE_Int>(length, SANE_Int(buffer.size()))));
                const uint64_t total = page.ExpectedBytes();
                const int percent =
                    total ? int(std::min<uint64_t>(100, page.ReceivedBytes() * 100 / total)) : -1;
                if (percent != lastPercent || percent < 0) {
                    lastPercent = percent;
                    if (!sink.progress(percent)) {
                        outcome.result = ScanResult::Cancelled;
                        outcome.detail = "cancelled by the user";
                        return outcome;  // the device's destructor cancels the scan
                    }
                }
            }
            page.EndFrame();
            if (status != SANE_STATUS_EOF) break;
            status = SANE_STATUS_GOOD;
            more = !frame.lastFrame;
        }
        if (status == SANE_STATUS_NO_DOCS && outcome.pages > 0) break;  // the feeder is empty
        if (status != SANE_STATUS_GOOD) {
            outcome.result = ResultOf(status);
            outcome.detail = StatusText(status);
            return outcome;
        }
        RaViru picture(ImageKind::Bmp);
        if (page.Finish(picture, dev.Dpi(false), dev.Dpi(true))) {
            ++outcome.pages;
            if (sink.page(picture) == ScanPageSink::Answer::StopAll) break;
        }
        if (!feeder) break;  // a flatbed would scan the same page again
    }
    outcome.result = ScanResult::Done;
    return outcome;
}

}  // namespace quillet
