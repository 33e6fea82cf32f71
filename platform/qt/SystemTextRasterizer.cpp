// The Qt rasterizer outside the editor: Qt's font engine needs a QGuiApplication, which a
// program without windows gets on the offscreen platform (fonts come from fontconfig as usual).
#include "platform/SystemTextRasterizer.h"

#include <QGuiApplication>
#include <cstdio>

#include "platform/qt/QtTextRasterizer.h"

namespace quillet {

namespace {

QtMessageHandler previousHandler = nullptr;

// A program run outside a desktop session has no runtime folder; Qt's warning about it tells a
// command-line user nothing they could act on. Every other message goes where it went before.
void DropRuntimeFolderWarning(QtMsgType type, const QMessageLogContext& context,
                              const QString& message) {
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

std::unique_ptr<TextRasterizer> MakeSystemTextRasterizer() {
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "quillet-cli";
        static char* argv[] = {name, nullptr};
        previousHandler = qInstallMessageHandler(DropRuntimeFolderWarning);
        // Lives until the program ends: fonts stay usable for every later text.
        static QGuiApplication* app = new QGuiApplication(argc, argv);
        (void)app;
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return nullptr;
    return std::make_unique<QtTextRasterizer>();
}

}  // namespace quillet
