#pragma once
// The whole editor under the offscreen platform on a temporary home, with scripted message
// boxes and file dialogs, and the helpers the program tests share.
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMdiArea>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "image/RaViru.h"
#include "platform/RecordingUserPort.h"
#include "view/qt/CBrevView.h"
#include "view/qt/CChildFrame.h"

namespace quillet::testing {

inline uint32_t ProgramPattern(int x, int y) {
    return uint32_t(x * 4 & 0xFF) << 16 | uint32_t(y * 6 & 0xFF) << 8 | 0x30;
}

// A 24-bit BMP written by the image core.
inline QString WritePicture(const QString& path, int width = 60, int height = 40) {
    RaViru image(width, height, 24, ImageKind::Bmp);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.PutPixelColor(x, y, ProgramPattern(x, y));
    if (!image.WriteFile(QFile::encodeName(path).toStdString(), ImageKind::Bmp)) return {};
    return path;
}

inline void SendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    QMouseEvent e(type, p, w->mapToGlobal(p), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

struct Program {
    QTemporaryDir dir;
    RecordingUserPort user;
    CBrevAppShell shell{&user};
    QString picture;

    bool start() {
        if (!shell.start(home().toStdString())) return false;
        shell.frame().resize(1000, 760);
        shell.frame().show();
        picture = WritePicture(dir.filePath(QStringLiteral("그림 한 장.bmp")));
        return !picture.isEmpty();
    }
    QString home() const { return dir.filePath(QStringLiteral("home")); }
    CMainFrame& frame() { return shell.frame(); }
    CChildFrame* current() {
        return qobject_cast<CChildFrame*>(shell.frame().mdiArea()->currentSubWindow());
    }
    bool open(const QString& path) {
        shell.setOpenNameChooser([path] { return path; });
        return shell.frame().dispatchCommand(CommandId::Open);
    }
    // Runs a command whose handler shows a modal dialog, answering it with accept or reject.
    bool dispatchWithDialog(CommandId id, bool accept) {
        bool seen = false;
        QTimer::singleShot(0, &shell.frame(), [&] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                seen = true;
                accept ? d->accept() : d->reject();
            }
        });
        return shell.frame().dispatchCommand(id) && seen;
    }
    // Drags the current layer by (dx, 0) with the move tool.
    void drag(int dx) {
        QWidget* port = current()->view()->viewport();
        const ViewRect r = current()->view()->state().DisplayedRect();
        const QPoint start(r.left + 20, r.top + 15);
        SendMouse(port, QEvent::MouseMove, start, Qt::NoButton, Qt::NoButton);
        SendMouse(port, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        SendMouse(port, QEvent::MouseMove, start + QPoint(dx / 2, 0), Qt::NoButton, Qt::LeftButton);
        SendMouse(port, QEvent::MouseMove, start + QPoint(dx, 0), Qt::NoButton, Qt::LeftButton);
        SendMouse(port, QEvent::MouseButtonRelease, start + QPoint(dx, 0), Qt::LeftButton,
                  Qt::NoButton);
    }
    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

}  // namespace quillet::testing
