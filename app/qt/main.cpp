// Start-up in its fixed order: the update check before anything else, then the profile, the
// home directory and its settings, the splash, the captions, the command-line files and the
// File Open setting. The logic lives in CBrevAppShell and CBrevApp.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/CBrevApp.h"
#include "app/QuilletHome.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CDlg_Recover.h"
#include "app/qt/CMainFrame.h"
#include "app/qt/KoreanFont.h"
#include "app/qt/QuietClose.h"
#include "app/qt/SplashPicture.h"
#include "app/qt/StartupTiming.h"
#include "services/qt/CDlg_UpdateCheck.h"

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QString::fromUtf8(quillet::kOrganizationName));
    QApplication::setApplicationName(QString::fromUtf8(quillet::kApplicationName));
    QApplication::setApplicationVersion(QStringLiteral("4.6"));
    // Ties the windows to the installed desktop entry (its icon and name in the task switcher).
    QApplication::setDesktopFileName(QStringLiteral("example.velloran.Quillet"));
    quillet::installKoreanFont();

    if (quillet::offerUpdateAtStartup()) return 1;  // the site opened: this version quits

    quillet::CBrevAppShell shell;
    if (!shell.start(quillet::quilletHomeDirectory(quillet::currentHomeEnvironment()))) return 1;
    quillet::CMainFrame& frame = shell.frame();
    quillet::installQuietClose([&shell] { shell.app().quietClose(); });
    // Every file named on the command line opens, one after the other; the first is decoded
    // while the splash shows.
    std::vector<std::string> args;
    for (const QString& word : QApplication::arguments().mid(1)) args.push_back(word.toStdString());
    QStringList files;
    for (const std::string& file :
         quillet::CBrevApp::commandLineFiles(args, [](const std::string& p) {
             std::error_code ec;
             return std::filesystem::exists(p, ec);
         }))
        files << QString::fromStdString(file);
    if (!files.isEmpty()) shell.decodeAhead(files.front());
    quillet::showSplash(500);
    frame.setCaption(QStringLiteral("[인터넷] 연결하여 업데이트 여부 확인..."));
    frame.setAcceptDrops(true);
    frame.showMaximized();
    if (std::getenv("QUILLET_STARTUP_TIMING")) {
        QTimer::singleShot(0, [&] {
            std::fprintf(stderr, "quillet: first window shown after %lld ms\n",
                         static_cast<long long>(clock.elapsed()));
        });
        quillet::reportFirstPicturePainted(application, clock);
    }

    // Documents of a program that died come back before anything else opens.
    quillet::OfferRecovery(shell.app(), &frame,
                           [&shell](quillet::CBrevDoc& doc) { shell.openWindow(doc); });
    if (!files.isEmpty()) frame.openFiles(files);
    frame.setCaption(QStringLiteral("Quillet 4.6"));
    if (files.isEmpty() && shell.app().settings().showOpenAtStart)
        frame.dispatchCommand(quillet::CommandId::Open);
    return application.exec();
}
