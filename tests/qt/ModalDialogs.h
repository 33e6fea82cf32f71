#pragma once
// Commands that open a modal dialog: the work to do in the dialog, queued before the command
// runs, is done once the dialog is shown.
#include <QApplication>
#include <QTest>
#include <QTimer>

namespace quillet::testing {

template <class T, class Work>
void whenShown(Work work) {
    QTimer::singleShot(0, [work] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        work(*dialog);
    });
}

}  // namespace quillet::testing
