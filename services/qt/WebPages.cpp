#include "services/qt/WebPages.h"

#include <QDesktopServices>
#include <QSettings>
#include <cstdlib>

#include "services/CAutoUpdater.h"

namespace quillet {

QUrl velloranSiteUrl() {
    const QSettings profile(QString::fromUtf8(kOrganizationProfile), QStringLiteral("Quillet"));
    const std::string configured =
        profile.value(QStringLiteral("Update/SiteBase")).toString().toStdString();
    return QUrl(
        QString::fromStdString(updateSiteBase(std::getenv("QUILLET_UPDATE_URL"), configured)));
}

QUrl codecPageUrl() { return velloranSiteUrl().resolved(QUrl(QStringLiteral("codec.html"))); }

QUrl undoBrushHelpUrl() {
    return velloranSiteUrl().resolved(QUrl(QStringLiteral("help/undo-brush.html")));
}

bool openVelloranSite() { return QDesktopServices::openUrl(velloranSiteUrl()); }

bool openCodecPage() { return QDesktopServices::openUrl(codecPageUrl()); }

}  // namespace quillet
