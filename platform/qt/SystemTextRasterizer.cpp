// The Qt rasterizer outside the editor: Qt's font engine needs a QGuiApplication, which a
// program without windows gets on the offscreen platform (fonts come from fontconfig as usual).
#include "platform/SystemTextRasterizer.h"

#include <QGuiApplication>

#include "platform/qt/QtTextRasterizer.h"

namespace quillet {

std::unique_ptr<TextRasterizer> MakeSystemTextRasterizer() {
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "quillet-cli";
        static char* argv[] = {name, nullptr};
        // Lives until the program ends: fonts stay usable for every later text.
        static QGuiApplication* app = new QGuiApplication(argc, argv);
        (void)app;
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return nullptr;
    return std::make_unique<QtTextRasterizer>();
}

}  // namespace quillet
