// Build step: writes Quillet's icon into an icon-theme folder, the raster sizes desktops ask
// for and the scalable one. Usage: quillet-make-icons ICON_NAME THEME_FOLDER
#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdio>

#include "app/qt/AppIcon.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillet-make-icons ICON_NAME THEME_FOLDER\n");
        return 2;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    const QDir theme(QString::fromLocal8Bit(argv[2]));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = theme.filePath(folder + "/" + name + ".png");
        if (!theme.mkpath(folder) || !quillet::renderAppIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    QFile svg(theme.filePath("scalable/apps/" + name + ".svg"));
    if (!theme.mkpath("scalable/apps") || !svg.open(QIODevice::WriteOnly) ||
        svg.write(quillet::appIconSvg()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
