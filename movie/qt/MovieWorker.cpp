#include "movie/qt/MovieWorker.h"

#include <QThread>

#include "movie/MovieMaker.h"

namespace quillet {

MovieWorker::MovieWorker(QObject* parent) : QObject(parent) {}

MovieWorker::~MovieWorker() {
    cancel();
    wait();
}

bool MovieWorker::isRunning() const { return thread_ && thread_->isRunning(); }

void MovieWorker::wait() {
    if (thread_) thread_->wait();
}

bool MovieWorker::start(const MovieProject& project, const TextRasterizer* rasterizer) {
    if (isRunning()) return false;
    if (thread_) {
        thread_->wait();
        delete thread_;
    }
    cancelled_ = false;
    thread_ = QThread::create([this, project, rasterizer] {
        MovieMaker maker(project, *this, rasterizer);
        const MovieResult r = maker.Run();
        emit finished(int(r.code), QString::fromStdString(r.message));
    });
    thread_->start();
    return true;
}

void MovieWorker::Status(const std::string& text) { emit status(QString::fromStdString(text)); }
void MovieWorker::Log(const std::string& text) { emit logLine(QString::fromStdString(text)); }
void MovieWorker::Progress(int percent) { emit progress(percent); }

}  // namespace quillet
