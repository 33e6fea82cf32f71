#pragma once
// The maker's pages, opened in the user's browser: the web-site command (2074) and the codec
// download page (4204, also offered by the movie maker when the MPEG-4 codec is missing).
#include <QUrl>

namespace quillet {

QUrl velloranSiteUrl();
QUrl codecPageUrl();
bool openVelloranSite();
bool openCodecPage();

}  // namespace quillet
