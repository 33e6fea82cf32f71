#include "app/qt/MoviePanels.h"

#include <QPointer>

#include "app/CBrevApp.h"
#include "app/qt/CMainFrame.h"
#include "movie/qt/CDlg_MoviePlayer.h"
#include "movie/qt/CDlg_Movie_Maker.h"

namespace quillet {

namespace {}

void installMoviePanels(CMainFrame& frame, CBrevApp& app,
                        std::function<CBrevDoc*()> activeDocument) {
    // The player is made first: the maker hands it every finished movie.
    auto player = std::make_shared<QPointer<CDlg_MoviePlayer>>();
    auto makePlayer = [&frame, &app, player]() -> CDlg_MoviePlayer* {
        if (!*player) *player = new CDlg_MoviePlayer(app.user(), &frame);
        return *player;
    };
    frame.setPanelFactory(CMainFrame::Panel::MoviePlayer, makePlayer);
    frame.setPanelFactory(CMainFrame::Panel::MovieMaker,
                          [&frame, &app, makePlayer, activeDocument]() -> QWidget* {
                              auto* maker = new CDlg_Movie_Maker(app, makePlayer(), &frame);
                              maker->setActiveDocumentProvider(activeDocument);
                              maker->setCodecPageHandler([&frame] {
                                  if (frame.hasCommandHandler(CommandId::CodecDownload))
                                      frame.dispatchCommand(CommandId::CodecDownload);
                              });
                              return maker;
                          });
}

}  // namespace quillet
