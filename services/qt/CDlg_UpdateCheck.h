#pragma once
// The offer shown when the maker's site holds a newer version: OK opens the installation site
// in the user's browser (the caller then ends start-up), Cancel lets start-up go on.
#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;

namespace quillet {

class CDlg_UpdateCheck : public QDialog {
    Q_OBJECT
public:
    static constexpr int kOkId = 5161;
    static constexpr int kCancelId = 5162;

    CDlg_UpdateCheck(int localVersion, int remoteVersion, const QUrl& site,
                     QWidget* parent = nullptr);

    // " %d.%d" of remote / 100 and remote % 100: 46100 reads " 461.0".
    static QString versionText(int remoteVersion);

    int localVersion() const { return local_; }
    QUrl site() const { return site_; }

public slots:
    void accept() override;

private:
    int local_;
    QUrl site_;
};

// Start-up step 1: checks the site ($QUILLET_UPDATE_URL, else the "Update/SiteBase" setting of
// the "Velloran Applications" profile, else the built-in address) and offers a newer version.
// True when the user accepted: the site was opened and start-up must end.
bool offerUpdateAtStartup(QWidget* parent = nullptr);

}  // namespace quillet
