#include <QApplication>

#include "app/AppCounters.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/KoreanFont.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velloran Applications"));
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setApplicationVersion(QStringLiteral("4.6"));
    quillet::installKoreanFont();
    quillet::AppCounters counters;
    quillet::CMainFrame frame(counters);
    frame.show();
    // A file named on the command line opens like a dropped one.
    const QStringList args = QApplication::arguments();
    if (args.size() > 1) frame.openFiles({args[1]});
    return app.exec();
}
