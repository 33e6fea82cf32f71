#pragma once
// The maker's pages, opened in the user's browser: the web-site command (2074) and the codec
// download page (4204, also offered by the movie maker when the MPEG-4 codec is missing), and
// the help pages the guides point to.
#include <QUrl>

namespace quillet {

QUrl velloranSiteUrl();
QUrl codecPageUrl();
// The help page of the undo brush, offered by its guide.
QUrl undoBrushHelpUrl();
bool openVelloranSite();
bool openCodecPage();

}  // namespace quillet
