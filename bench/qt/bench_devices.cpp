// Speed of the device paths: a 300-DPI A4 colour page from SANE's test scanner until it is a
// document, and a 4000 × 3000 picture printed at 300 DPI to a PDF file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPrinter>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "document/CBrevDoc.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "services/AcquiredPicture.h"
#include "services/PrintGeometry.h"
#include "services/SaneScanner.h"
#include "services/qt/PicturePrinter.h"

using namespace quillet;

namespace {

const std::filesystem::path kDir = std::filesystem::temp_directory_path() /
                                   ("quillet-bench-devices-" + std::to_string(::getpid()));

// Each page becomes a document, as the scan command does.
class ToDocument : public ScanPageSink {
public:
    Answer page(RaViru& picture) override {
        doc = std::make_unique<CBrevDoc>(user);
        built =
            AdoptAcquiredPicture(*doc, picture, AcquiredDocumentName(AcquiredSource::Scanner, 0));
        return Answer::Take;
    }
    RecordingUserPort user;
    std::unique_ptr<CBrevDoc> doc;
    bool built = false;
};

void BM_ScanA4At300Dpi(benchmark::State& state) {
    const std::vector<ScanOption> options = {
        {"mode", "Color"}, {"resolution", "300"}, {"test-picture", "Color pattern"},
        {"tl-x", "0"},     {"tl-y", "0"},         {"br-x", "210"},
        {"br-y", "297"}};
    for (auto _ : state) {
        SaneSession session;
        ToDocument sink;
        const ScanOutcome outcome = session.Acquire("test:0", options, sink);
        if (outcome.result != ScanResult::Done || !sink.built) {
            state.SkipWithError(("scan failed: " + outcome.detail).c_str());
            return;
        }
        state.counters["width"] = sink.doc->Layers().header.canvasWidth;
        state.counters["height"] = sink.doc->Layers().header.canvasHeight;
    }
}

void BM_PrintPdf4000x3000At300Dpi(benchmark::State& state) {
    // A photograph-like picture: smooth gradients with noise, so compression has work to do.
    RaViru picture(4000, 3000, 24, ImageKind::Bmp);
    std::mt19937 rng(3);
    for (int y = 0; y < 3000; ++y) {
        uint8_t* row = picture.Row(y);
        for (int x = 0; x < 4000; ++x) {
            const int n = int(rng() & 15);
            row[x * 3] = uint8_t(x / 16 + n);
            row[x * 3 + 1] = uint8_t(y / 12 + n);
            row[x * 3 + 2] = uint8_t((x + y) / 28 + n);
        }
    }
    picture.SetHorizontalDpi(300);
    picture.SetVerticalDpi(300);
    const std::string pdf = (kDir / "print.pdf").string();
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        printer.setPageSize(QPageSize(QPageSize::A3));
        if (!PrintPictureOn(printer, picture)) {
            state.SkipWithError("print failed");
            return;
        }
    }
    state.counters["pdf_MB"] = double(std::filesystem::file_size(pdf)) / 1e6;
}

}  // namespace

BENCHMARK(BM_ScanA4At300Dpi)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_PrintPdf4000x3000At300Dpi)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // SANE's test scanner, with room for a whole A4 page.
    std::filesystem::create_directories(kDir);
    std::ofstream(kDir / "dll.conf") << "test\n";
    std::ofstream(kDir / "test.conf")
        << "number_of_devices 1\ngeometry_max 300.0\nresolution 50.0\n";
    setenv("SANE_CONFIG_DIR", kDir.c_str(), 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(kDir);
    return 0;
}
