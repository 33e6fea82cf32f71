#include <QApplication>

#include "app/qt/CMainFrame.h"
#include "app/qt/KoreanFont.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velloran Applications"));
    QApplication::setApplicationName(QStringLiteral("Quillet"));
    QApplication::setApplicationVersion(QStringLiteral("4.6"));
    quillet::installKoreanFont();
    quillet::CMainFrame frame;
    frame.show();
    return app.exec();
}
