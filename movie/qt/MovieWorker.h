#pragma once
// Runs a movie off the interface thread. Status texts, log lines and progress come back as
// signals (queued to the interface thread); cancel() asks the run to stop at the next frame.
#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

#include "movie/MovieProject.h"
#include "movie/MovieResult.h"

class QThread;

namespace quillet {

class MovieWorker : public QObject, private MovieProgress {
    Q_OBJECT
public:
    explicit MovieWorker(QObject* parent = nullptr);
    ~MovieWorker() override;

    // False when a run is still going. `rasterizer` must outlive the run.
    bool start(const MovieProject& project, const TextRasterizer* rasterizer);
    void cancel() { cancelled_ = true; }
    bool isRunning() const;
    // Waits for the run to end (the dialog going away).
    void wait();

signals:
    void status(const QString& text);
    void logLine(const QString& text);
    void progress(int percent);
    void finished(int code, const QString& message);

private:
    void Status(const std::string& text) override;
    void Log(const std::string& text) override;
    void Progress(int percent) override;
    bool Cancelled() const override { return cancelled_; }

    QThread* thread_ = nullptr;
    std::atomic<bool> cancelled_{false};
};

}  // namespace quillet
