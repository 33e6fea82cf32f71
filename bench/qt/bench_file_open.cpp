// The own file browser over a folder of 500 baseline JPEGs of 4000 × 3000 (one picture and 499 hard
// links to it: every path is decoded on its own): the dialog shown and painted, the first page
// of 40 thumbnails complete on the two worker threads, and a scroll by a page while thumbnails
// are still being decoded.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <random>

#include "app/ThumbnailLoader.h"
#include "app/qt/CDlg_FileOpen.h"
#include "bench/qt/QtBenchMain.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"

using namespace quillet;

namespace {

constexpr int kFiles = 500;
constexpr int kThumbnailSize = 128;
constexpr int kThreads = 2;

struct Folder {
    QTemporaryDir dir;
    Folder() {
        RaViru image(4000, 3000, 24, ImageKind::Jpeg);
        std::mt19937 rng(5);
        for (int y = 0; y < 3000; ++y) {
            uint8_t* row = image.Row(y);
            for (int x = 0; x < 4000; ++x, row += 3) {
                const unsigned noise = rng() & 31;
                row[0] = uint8_t(x / 16 + noise);
                row[1] = uint8_t(y / 12 + noise);
                row[2] = uint8_t((x + y) / 28 + noise);
            }
        }
        // Cameras write baseline JPEGs; the program's own writer makes progressive ones, whose
        // every scan must be read whatever the scale. ImageMagick writes baseline.
        const QString first = dir.filePath(QStringLiteral("photo000.jpg"));
        const QString bmp = dir.filePath(QStringLiteral("source.bmp"));
        image.WriteFile(QFile::encodeName(bmp).toStdString(), ImageKind::Bmp);
        const QByteArray command = "convert '" + QFile::encodeName(bmp) + "' -quality 90 '" +
                                   QFile::encodeName(first) + "'";
        if (std::system(command.constData()) != 0) {
            image.jpegQuality = 90;
            image.WriteFile(QFile::encodeName(first).toStdString(), ImageKind::Jpeg);
        }
        QFile::remove(bmp);
        for (int i = 1; i < kFiles; ++i) {
            const QString name =
                dir.filePath(QStringLiteral("photo%1.jpg").arg(i, 3, 10, QChar('0')));
            if (::link(QFile::encodeName(first).constData(), QFile::encodeName(name).constData()))
                QFile::copy(first, name);
        }
    }
};

std::unique_ptr<Folder> theFolder;
Folder& TheFolder() {
    if (!theFolder) theFolder = std::make_unique<Folder>();
    return *theFolder;
}

void BM_DialogAppears(benchmark::State& state) {
    const QString folder = TheFolder().dir.path();
    RecordingUserPort user;
    for (auto _ : state) {
        auto loader = std::make_unique<ThumbnailLoader>(kThumbnailSize, kThreads);
        auto dialog = std::make_unique<CDlg_FileOpen>(*loader, user, folder);
        dialog->show();
        QApplication::processEvents();  // the first paint
        benchmark::DoNotOptimize(dialog->entries().size());
        state.PauseTiming();
        dialog.reset();
        loader.reset();  // waits for the decodes under way
        state.ResumeTiming();
    }
}

void BM_FirstPageComplete(benchmark::State& state) {
    const QString folder = TheFolder().dir.path();
    RecordingUserPort user;
    for (auto _ : state) {
        auto loader = std::make_unique<ThumbnailLoader>(kThumbnailSize, kThreads);
        auto dialog = std::make_unique<CDlg_FileOpen>(*loader, user, folder);
        dialog->show();
        loader->WaitIdle();
        QApplication::processEvents();  // the page painted with every thumbnail
        state.PauseTiming();
        dialog.reset();
        loader.reset();
        state.ResumeTiming();
    }
}

// A page down while the thumbnails of the page before are still decoding: the page moves and
// paints at once.
void BM_ScrollWhileDecoding(benchmark::State& state) {
    const QString folder = TheFolder().dir.path();
    RecordingUserPort user;
    ThumbnailLoader loader(kThumbnailSize, kThreads);
    CDlg_FileOpen dialog(loader, user, folder);
    dialog.show();
    QApplication::processEvents();
    int row = 0;
    for (auto _ : state) {
        row = (row + 10) % 110;
        dialog.scrollToRow(row);
        benchmark::DoNotOptimize(dialog.grab());
    }
    loader.CancelPending();
}

}  // namespace

BENCHMARK(BM_DialogAppears)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_FirstPageComplete)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(3);
BENCHMARK(BM_ScrollWhileDecoding)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    return quillet::bench::RunQtBenchmarks(argc, argv, [] { theFolder.reset(); });
}
