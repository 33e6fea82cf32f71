#include "app/qt/StartupTiming.h"

#include <QEvent>
#include <QTimer>
#include <cstdio>

#include "document/CBrevDoc.h"
#include "view/qt/CBrevView.h"

namespace quillet {

namespace {

class FirstPictureWatch : public QObject {
public:
    FirstPictureWatch(QObject* parent, const QElapsedTimer& clock)
        : QObject(parent), clock_(clock) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || done_) return false;
        auto* view = watched->parent() ? qobject_cast<CBrevView*>(watched->parent()) : nullptr;
        if (!view || view->viewport() != watched || view->document().Layers().bottom < 0)
            return false;
        done_ = true;
        QTimer::singleShot(0, this, [this] {
            std::fprintf(stderr, "quillet: first picture painted after %lld ms\n",
                         static_cast<long long>(clock_.elapsed()));
            deleteLater();
        });
        return false;
    }

private:
    const QElapsedTimer& clock_;
    bool done_ = false;
};

}  // namespace

void reportFirstPicturePainted(QApplication& application, const QElapsedTimer& clock) {
    application.installEventFilter(new FirstPictureWatch(&application, clock));
}

}  // namespace quillet
