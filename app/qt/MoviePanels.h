#pragma once
// The movie maker and the movie player as the main frame's panels (command 5009 shows and
// hides them together).
#include <functional>

namespace quillet {

class CBrevApp;
class CBrevDoc;
class CMainFrame;

void installMoviePanels(CMainFrame& frame, CBrevApp& app,
                        std::function<CBrevDoc*()> activeDocument);

}  // namespace quillet
