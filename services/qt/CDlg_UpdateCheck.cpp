#include "services/qt/CDlg_UpdateCheck.h"

#include <QDesktopServices>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "services/CAutoUpdater.h"
#include "services/qt/WebPages.h"

namespace quillet {

CDlg_UpdateCheck::CDlg_UpdateCheck(int localVersion, int remoteVersion, const QUrl& site,
                                   QWidget* parent)
    : QDialog(parent), local_(localVersion), site_(site) {
    setWindowTitle(QString::fromUtf8(kVersionCaption));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Velloran의 업데이트 메시지가 도착하였습니다."), this));
    layout->addWidget(
        new QLabel(QStringLiteral("지금 종료 후, Velloran 설치사이트에 접속하시겠습니까"), this));
    auto* siteLabel = new QLabel(site.toString(), this);
    siteLabel->setObjectName(QStringLiteral("site"));
    layout->addWidget(siteLabel);

    auto* versionRow = new QHBoxLayout;
    versionRow->addWidget(new QLabel(QStringLiteral("신버전"), this));
    auto* version = new QLabel(versionText(remoteVersion), this);
    version->setObjectName(QStringLiteral("version"));
    QFont font(QStringLiteral("굴림"));
    font.setPixelSize(12);
    version->setFont(font);
    versionRow->addWidget(version);
    versionRow->addStretch();
    layout->addLayout(versionRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("확 인"), this);
    ok->setObjectName(QStringLiteral("button%1").arg(kOkId));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("취 소"), this);
    cancel->setObjectName(QStringLiteral("button%1").arg(kCancelId));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CDlg_UpdateCheck::accept);
    connect(cancel, &QPushButton::clicked, this, &CDlg_UpdateCheck::reject);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString CDlg_UpdateCheck::versionText(int remoteVersion) {
    return QString::asprintf(" %d.%d", remoteVersion / 100, remoteVersion % 100);
}

void CDlg_UpdateCheck::accept() {
    QDesktopServices::openUrl(site_);
    QDialog::accept();
}

bool offerUpdateAtStartup(QWidget* parent) {
    const QUrl site = velloranSiteUrl();
    const std::string base = site.toString(QUrl::FullyEncoded).toStdString();
    CAutoUpdater updater;
    int remote = 0;
    const int local = localVersion();
    if (updater.check(base, local, remote) != kUpdateNewer) return false;
    CDlg_UpdateCheck dialog(local, remote, site, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace quillet
