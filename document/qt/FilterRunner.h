#pragma once
// Runs a filter's pixel work on a worker thread while the window stays alive: the main
// window's status bar shows the progress, input to the document windows is held, and the
// result is committed on this thread when the work ends.
#include <QObject>
#include <QPointer>
#include <memory>

#include "document/FilterCommands.h"

class QMainWindow;
class QProgressBar;
class QThread;
class QTimer;

namespace quillet {

class FilterRunner : public QObject {
    Q_OBJECT
public:
    explicit FilterRunner(QMainWindow* window, QObject* parent = nullptr);
    ~FilterRunner() override;

    // Starts the job on `doc` (prepared by PrepareFilter or PrepareFilterPreview); false when
    // a job is already running or there is none.
    bool start(CBrevDoc& doc, std::unique_ptr<FilterJob> job);
    bool running() const { return job_ != nullptr; }
    // Runs the event loop until the running job has ended.
    void wait();

signals:
    void finished(quillet::EditOutcome outcome);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void done();
    bool heldFor(QObject* watched) const;

    QPointer<QMainWindow> window_;
    QPointer<QProgressBar> bar_;
    QTimer* poll_;
    QThread* thread_ = nullptr;
    CBrevDoc* doc_ = nullptr;
    std::unique_ptr<FilterJob> job_;
    Progress progress_;
};

}  // namespace quillet
