#include "document/qt/FilterRunner.h"

#include <QApplication>
#include <QEventLoop>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QThread>
#include <QTimer>

#include "document/CBrevDoc.h"

namespace quillet {

FilterRunner::FilterRunner(QMainWindow* window, QObject* parent)
    : QObject(parent), window_(window), poll_(new QTimer(this)) {
    poll_->setInterval(100);
    connect(poll_, &QTimer::timeout, this, [this] {
        if (bar_) bar_->setValue(progress_.Get());
    });
}

FilterRunner::~FilterRunner() {
    // The worker reads the document's planes: it must end before anything goes.
    if (thread_) {
        thread_->wait();
        done();
    }
}

bool FilterRunner::start(CBrevDoc& doc, std::unique_ptr<FilterJob> job) {
    if (job_ || !job) return false;
    doc_ = &doc;
    job_ = std::move(job);
    progress_.Set(0);
    if (window_ && !bar_) {
        bar_ = window_->findChild<QProgressBar*>(QStringLiteral("progressBar"));
        if (!bar_) {
            bar_ = new QProgressBar(window_);
            bar_->setObjectName(QStringLiteral("progressBar"));
            bar_->setRange(0, 100);
            bar_->setMaximumWidth(200);
            window_->statusBar()->addPermanentWidget(bar_);
        }
    }
    if (bar_) {
        bar_->setValue(0);
        bar_->show();
    }
    qApp->installEventFilter(this);
    FilterJob* work = job_.get();
    thread_ = QThread::create([this, work] { work->Run(&progress_); });
    connect(thread_, &QThread::finished, this, &FilterRunner::done);
    poll_->start();
    thread_->start();
    return true;
}

void FilterRunner::wait() {
    while (job_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

void FilterRunner::done() {
    if (!job_) return;
    poll_->stop();
    qApp->removeEventFilter(this);
    if (thread_) {
        thread_->wait();
        thread_->deleteLater();
        thread_ = nullptr;
    }
    const EditOutcome outcome = FinishFilter(*doc_, *job_);
    job_.reset();
    if (bar_) bar_->hide();
    emit finished(outcome);
}

// Input meant for the document windows (and their closing) waits until the run ends; dialogs
// and the rest of the window keep working.
bool FilterRunner::heldFor(QObject* watched) const {
    if (watched == window_) return true;  // the program does not close under a run either
    if (!window_ || !window_->centralWidget() || !watched->isWidgetType()) return false;
    const QWidget* w = static_cast<const QWidget*>(watched);
    return w == window_->centralWidget() || window_->centralWidget()->isAncestorOf(w);
}

bool FilterRunner::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Close:
            if (heldFor(watched) && (watched != window_ || event->type() == QEvent::Close)) {
                if (event->type() == QEvent::Close) event->ignore();
                return true;
            }
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quillet
