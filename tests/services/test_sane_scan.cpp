// Scanning through SANE with its "test" backend: device list, colour, grey, 16-bit, line-art,
// three-pass and hand-scanner pages compared pixel for pixel with what SANE's own scanimage
// writes for the same settings, a document feeder, and every way a scan can end early.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "SaneTestBackend.h"
#include "image/RaViru.h"
#include "services/SaneScanner.h"

using namespace quillet;
using quillet::testing::kScansCanRun;
using quillet::testing::kScansSkipped;
using quillet::testing::SaneTestBackend;

namespace {

// Keeps every page it is given.
class Collect : public ScanPageSink {
public:
    Answer page(RaViru& picture) override {
        pages.push_back(std::make_unique<RaViru>(ImageKind::Bmp));
        pages.back()->AdoptFrom(picture);
        return stopAfter > 0 && int(pages.size()) >= stopAfter ? Answer::StopAll : Answer::Take;
    }
    bool progress(int percent) override {
        steps.push_back(percent);
        return cancelAt < 0 || int(steps.size()) < cancelAt;
    }
    std::vector<std::unique_ptr<RaViru>> pages;
    std::vector<int> steps;
    int cancelAt = -1;
    int stopAfter = 0;
};

// A PNM picture (P4, P5 or P6, 8 or 16 bits) as top-down RGB bytes.
struct Pnm {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

bool ReadPnm(const std::string& bytes, Pnm& out) {
    std::istringstream in(bytes);
    std::string magic;
    int maxval = 1;
    // Header numbers, skipping comment lines.
    auto number = [&](int& v) {
        in >> std::ws;
        while (in.peek() == '#') {
            std::string comment;
            std::getline(in, comment);
            in >> std::ws;
        }
        in >> v;
    };
    in >> magic;
    number(out.width);
    number(out.height);
    if (magic != "P4") number(maxval);
    in.get();
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t n = size_t(out.width) * size_t(out.height);
    out.rgb.resize(n * 3);
    auto at = [&](size_t i) { return uint8_t(data[i]); };
    const size_t sample = maxval > 255 ? 2 : 1;
    const size_t rowBits = (size_t(out.width) + 7) / 8;
    for (size_t i = 0; i < n; ++i) {
        for (int c = 0; c < 3; ++c) {
            uint8_t v;
            if (magic == "P4") {
                const size_t y = i / size_t(out.width), x = i % size_t(out.width);
                if (y * rowBits + x / 8 >= data.size()) return false;
                v = (at(y * rowBits + x / 8) >> (7 - x % 8)) & 1 ? 0 : 255;
            } else {
                const size_t index = (magic == "P6" ? i * 3 + size_t(c) : i) * sample;
                if (index >= data.size()) return false;
                v = at(index);  // 16-bit PNM is big-endian: the high byte comes first
            }
            out.rgb[i * 3 + size_t(c)] = v;
        }
    }
    return true;
}

std::string Run(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
        ::pclose(p);
    }
    return out;
}

// The test backend keeps its configured resolution only for its first start in a process, so
// every scan names one (a later option of the same name wins).
std::vector<ScanOption> WithResolution(const std::vector<ScanOption>& options) {
    std::vector<ScanOption> all = {{"resolution", "50"}};
    all.insert(all.end(), options.begin(), options.end());
    return all;
}

// What scanimage writes for the same device and options.
bool PeerScan(const std::vector<ScanOption>& options, Pnm& out) {
    std::string command = "scanimage -d test:0 --format=pnm";
    for (const ScanOption& o : WithResolution(options))
        command += " --" + o.name + "='" + o.value + "'";
    return ReadPnm(Run(command + " 2>/dev/null"), out);
}

void ExpectSamePixels(const RaViru& picture, const Pnm& peer) {
    ASSERT_EQ(picture.Width(), peer.width);
    ASSERT_EQ(picture.Height(), peer.height);
    int differences = 0;
    for (int y = 0; y < peer.height && differences < 5; ++y)
        for (int x = 0; x < peer.width && differences < 5; ++x) {
            const uint32_t c = picture.PixelColorAt(x, peer.height - 1 - y);
            const uint8_t* p = &peer.rgb[(size_t(y) * size_t(peer.width) + size_t(x)) * 3];
            const uint32_t want = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
            if ((c & 0xFFFFFF) != want) {
                ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << c << " vs "
                              << want;
                ++differences;
            }
        }
}

ScanOutcome Scan(const std::vector<ScanOption>& options, Collect& sink,
                 const std::string& device = "test:0") {
    SaneSession session;
    EXPECT_TRUE(session.ok());
    return session.Acquire(device, WithResolution(options), sink);
}

}  // namespace

TEST(SaneScan, ListsTheTestScanners) {
    if (!kScansCanRun) GTEST_SKIP() << kScansSkipped;
    ASSERT_TRUE(SaneTestBackend::Use(2));
    SaneSession session;
    ASSERT_TRUE(session.ok());
    const std::vector<ScanDevice> devices = session.Devices();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].name, "test:0");
    EXPECT_EQ(devices[1].name, "test:1");
    EXPECT_NE(devices[0].Label().find("(test:0)"), std::string::npos);
}

TEST(SaneScan, PagesMatchScanimagePixelForPixel) {
    if (!kScansCanRun) GTEST_SKIP() << kScansSkipped;
    ASSERT_TRUE(SaneTestBackend::Use(2));
    const std::vector<std::vector<ScanOption>> cases = {
        {{"mode", "Color"}, {"test-picture", "Color pattern"}, {"resolution", "50"}},
        {{"mode", "Gray"}, {"test-picture", "Grid"}, {"resolution", "60"}},
        {{"mode", "Gray"}, {"depth", "16"}, {"test-picture", "Color pattern"}},
        {{"mode", "Color"}, {"depth", "16"}, {"test-picture", "Color pattern"}},
        {{"mode", "Gray"}, {"depth", "1"}, {"test-picture", "Grid"}, {"resolution", "75"}},
        {{"mode", "Color"},
         {"three-pass", "yes"},
         {"three-pass-order", "GBR"},
         {"test-picture", "Color pattern"}},
        {{"mode", "Color"}, {"hand-scanner", "yes"}, {"test-picture", "Color pattern"}},
        {{"mode", "Color"},
         {"read-limit", "yes"},
         {"read-limit-size", "333"},
         {"test-picture", "Color pattern"},
         {"resolution", "30"}},
    };
    for (const auto& options : cases) {
        std::string label;
        for (const ScanOption& o : options) label += o.name + "=" + o.value + " ";
        SCOPED_TRACE(label);
        Collect sink;
        const ScanOutcome outcome = Scan(options, sink);
        ASSERT_EQ(outcome.result, ScanResult::Done) << outcome.detail;
        EXPECT_TRUE(outcome.detail.empty()) << outcome.detail;
        ASSERT_EQ(sink.pages.size(), 1u);
        Pnm peer;
        ASSERT_TRUE(PeerScan(options, peer));
        ExpectSamePixels(*sink.pages[0], peer);
        // Grey pages arrive as 8-bit grey, colour pages as 24 bits.
        const bool grey = options[0].value == "Gray";
        EXPECT_EQ(sink.pages[0]->BitCount(), grey ? 8 : 24);
        EXPECT_TRUE(!grey || sink.pages[0]->HasGreyPalette());
    }
}

// Lines longer than their pixels (scanimage itself misreads these): the page is the same page
// without the lost pixels at the end of each line.
TEST(SaneScan, PaddedLinesKeepTheirPixels) {
    if (!kScansCanRun) GTEST_SKIP() << kScansSkipped;
    ASSERT_TRUE(SaneTestBackend::Use(2));
    Collect full, lossy;
    ASSERT_EQ(Scan({{"test-picture", "Color pattern"}}, full).result, ScanResult::Done);
    ASSERT_EQ(Scan({{"test-picture", "Color pattern"}, {"ppl-loss", "7"}}, lossy).result,
              ScanResult::Done);
    ASSERT_EQ(full.pages.size(), 1u);
    ASSERT_EQ(lossy.pages.size(), 1u);
    const RaViru &a = *full.pages[0], &b = *lossy.pages[0];
    ASSERT_EQ(b.Width(), a.Width() - 7);
    ASSERT_EQ(b.Height(), a.Height());
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            ASSERT_EQ(b.PixelColorAt(x, y), a.PixelColorAt(x, y)) << x << "," << y;
}

TEST(SaneScan, PageSizeAndResolutionFollowTheSettings) {
    if (!kScansCanRun) GTEST_SKIP() << kScansSkipped;
    ASSERT_TRUE(SaneTestBackend::Use(2));
    Collect sink;
    // 80 × 100 mm at 254 DPI is exactly 800 × 1000 pixels.
    const ScanOutcome outcome =
        Scan({{"mode", "Color"}, {"test-picture", "Solid white"}, {"resolution", "254"}}, sink);
    ASSERT_EQ(outcome.result, ScanResult::Done) << outcome.detail;
    ASSERT_EQ(sink.pages.size(), 1u);
    const RaViru& page = *sink.pages[0];
    EXPECT_EQ(page.Width(), 800);
    EXPECT_EQ(page.Height(), 1000);
    EXPECT_EQ(page.dpiX, 254);
    EXPECT_EQ(page.dpiY, 254);
    for (int y : {0, 500, 999})
        for (int x : {0, 400, 799}) EXPECT_EQ(page.PixelColorAt(x, y) & 0xFFFFFF, 0xFFFFFFu);
    // Progress climbs to 100 and never goes back.
    ASSERT_FALSE(sink.steps.empty());
    EXPECT_EQ(sink.steps.back(), 100);
    for (size_t i = 1; i < sink.steps.size(); ++i) EXPECT_GE(sink.steps[i], sink.steps[i - 1]);

    Collect black;
    ASSERT_EQ(Scan({{"mode", "Gray"}, {"test-picture", "Solid black"}}, black).result,
              ScanResult::Done);
    ASSERT_EQ(black.pages.size(), 1u);
    EXPECT_EQ(black.pages[0]->PixelColorAt(10, 10) & 0xFFFFFF, 0u);
}

TEST(SaneScan, AFeederGivesEveryPageUntilItIsEmpty) {
    if (!kScansCanRun) GTEST_SKIP() << kScansSkipped;
    ASSERT_TRUE(SaneTestBackend::Use(2));
    Collect sink;
    const ScanOutcome outcome =
        Scan({{"source", "Automatic Document Feeder"}, {"resolution", "10"}}, sink);
    EXPECT_EQ(outcome.result, ScanResult::Done) << outcome.detail;
    EXPECT_EQ(outcome.pages, 10);
    EXPECT_EQ(sink.pages.size(), 10u);

    Collect stop;
    stop.stopAfter = 3;
    EXPECT_EQ(Scan({{"source", "Automatic Document Feeder"}, {"resolution", "10"}}, stop).pages, 3);
    EXPECT_EQ(stop.pages.size(), 3u);
}

TEST(SaneScan, EarlyEndsAreReportedAndDeliverNothing) {
    if (!kScansCanRun) GTEST_SKIP() << kScansSkipped;
    ASSERT_TRUE(SaneTestBackend::Use(2));
    struct Case {
        std::string readValue;
        ScanResult result;
    };
    for (const Case& c : {Case{"SANE_STATUS_DEVICE_BUSY", ScanResult::Busy},
                          Case{"SANE_STATUS_JAMMED", ScanResult::Failed},
                          Case{"SANE_STATUS_NO_DOCS", ScanResult::NoDocuments},
                          Case{"SANE_STATUS_CANCELLED", ScanResult::Cancelled},
                          Case{"SANE_STATUS_IO_ERROR", ScanResult::Failed}}) {
        SCOPED_TRACE(c.readValue);
        Collect sink;
        const ScanOutcome outcome = Scan({{"read-return-value", c.readValue}}, sink);
        EXPECT_EQ(outcome.result, c.result) << outcome.detail;
        EXPECT_TRUE(sink.pages.empty());
        EXPECT_FALSE(ScanResultMessage(outcome.result).empty());
    }

    Collect cancelled;
    cancelled.cancelAt = 2;
    EXPECT_EQ(
        Scan({{"resolution", "300"}, {"read-limit", "yes"}, {"read-limit-size", "4096"}}, cancelled)
            .result,
        ScanResult::Cancelled);
    EXPECT_TRUE(cancelled.pages.empty());
    // The device is free again afterwards.
    Collect again;
    EXPECT_EQ(Scan({{"resolution", "20"}}, again).result, ScanResult::Done);
    EXPECT_EQ(again.pages.size(), 1u);

    Collect gone;
    EXPECT_EQ(Scan({}, gone, "test:7").result, ScanResult::NoDevice);
    EXPECT_EQ(ScanResultMessage(ScanResult::NoDevice), "연결된 스캐너를 찾을 수 없습니다.");
}

// Runs alone in its own process (a second ctest entry): SANE's configuration is per process.
TEST(SaneNoScanner, NothingIsFound) {
    if (!SaneTestBackend::Use(0)) GTEST_SKIP() << "this process scans with the test backend";
    SaneSession session;
    EXPECT_TRUE(session.Devices().empty());
    Collect sink;
    EXPECT_EQ(session.Acquire("", {}, sink).result, ScanResult::NoDevice);
}

TEST(SaneScan, OptionsThatCannotBeSetAreNamedButDoNotStopTheScan) {
    if (!kScansCanRun) GTEST_SKIP() << kScansSkipped;
    ASSERT_TRUE(SaneTestBackend::Use(2));
    Collect sink;
    const ScanOutcome outcome =
        Scan({{"no-such-option", "1"}, {"resolution", "many"}, {"resolution", "20"}}, sink);
    EXPECT_EQ(outcome.result, ScanResult::Done);
    EXPECT_NE(outcome.detail.find("no-such-option"), std::string::npos);
    EXPECT_NE(outcome.detail.find("resolution"), std::string::npos);
    ASSERT_EQ(sink.pages.size(), 1u);
    EXPECT_EQ(sink.pages[0]->dpiX, 20);
}
