#include "app/qt/CDlg_Recover.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "platform/UserPort.h"

namespace quillet {

namespace {

constexpr int kThumbWidth = 96, kThumbHeight = 72;

QString titleOf(const RecoveryManifest& m) {
    const QString name = QFileInfo(QString::fromStdU16String(m.fileName)).fileName();
    return name.isEmpty() ? QStringLiteral("새 그림 %1").arg(m.documentNumber) : name;
}

QPixmap thumbnailOf(CBrevApp& app, const CBrevApp::RecoveryCandidate& c) {
    const Image32 picture = app.recoveryThumbnail(c, kThumbWidth, kThumbHeight);
    if (picture.Empty()) return {};
    QImage image(picture.bytes.data(), picture.width, picture.height, picture.width * 4,
                 QImage::Format_RGB32);
    return QPixmap::fromImage(image.copy());
}

}  // namespace

CDlg_Recover::CDlg_Recover(CBrevApp& app, QWidget* parent)
    : QDialog(parent), candidates_(app.recoveryCandidates()) {
    setWindowTitle(QStringLiteral("문서 복구"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("복구할 수 있는 문서가 있습니다"), this));
    list_ = new QListWidget(this);
    list_->setIconSize(QSize(kThumbWidth, kThumbHeight));
    for (const CBrevApp::RecoveryCandidate& c : candidates_) {
        const RecoveryManifest& m = c.document->manifest;
        const QString when = QDateTime::fromSecsSinceEpoch(m.savedAt).toString(
            QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        auto* item =
            new QListWidgetItem(QStringLiteral("%1\n마지막 작업: %2 (%3)")
                                    .arg(titleOf(m), when, QString::fromStdU16String(m.lastStep)),
                                list_);
        item->setIcon(QIcon(thumbnailOf(app, c)));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    layout->addWidget(list_);
    const std::vector<std::string> problems = app.recoveryProblems();
    if (!problems.empty()) {
        QString text = QStringLiteral("다음 문서는 복구할 수 없습니다:");
        for (const std::string& p : problems) text += '\n' + QString::fromStdString(p);
        auto* label = new QLabel(text, this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* buttons = new QHBoxLayout;
    recoverChosen_ = new QPushButton(QStringLiteral("선택한 문서 복구"), this);
    recoverAll_ = new QPushButton(QStringLiteral("모두 복구"), this);
    discard_ = new QPushButton(QStringLiteral("버리기"), this);
    recoverChosen_->setDefault(true);
    buttons->addWidget(recoverChosen_);
    buttons->addWidget(recoverAll_);
    buttons->addStretch();
    buttons->addWidget(discard_);
    layout->addLayout(buttons);
    connect(recoverChosen_, &QPushButton::clicked, this, [this] { finish(Recover, false); });
    connect(recoverAll_, &QPushButton::clicked, this, [this] { finish(Recover, true); });
    connect(discard_, &QPushButton::clicked, this, [this] { finish(Discard, false); });
}

void CDlg_Recover::finish(Outcome outcome, bool all) {
    outcome_ = outcome;
    chosen_.clear();
    if (outcome == Recover)
        for (int i = 0; i < list_->count(); ++i)
            if (all || list_->item(i)->checkState() == Qt::Checked)
                chosen_.push_back(candidates_[size_t(i)]);
    accept();
}

void OfferRecovery(CBrevApp& app, QWidget* parent, const std::function<void(CBrevDoc&)>& open) {
    if (app.recoveryCandidates().empty()) {
        const std::vector<std::string> problems = app.recoveryProblems();
        if (!problems.empty()) {
            std::string text = "다음 문서는 복구할 수 없습니다:";
            for (const std::string& p : problems) text += "\n" + p;
            app.user().showMessage(text, MessageIcon::Warning);
        }
        app.finishRecovery(true);
        return;
    }
    CDlg_Recover dialog(app, parent);
    dialog.exec();
    if (dialog.outcome() == CDlg_Recover::Kept) {
        app.finishRecovery(false);
        return;
    }
    std::string failed;
    for (const CBrevApp::RecoveryCandidate& c : dialog.chosen()) {
        Status status;
        if (CBrevDoc* doc = app.recoverDocument(c, &status))
            open(*doc);
        else
            failed += "\n" + utf16ToUtf8(c.document->manifest.fileName) + ": " + status.message();
    }
    // Its files are missing or damaged: another start would fail the same way.
    if (!failed.empty())
        app.user().showMessage("다음 문서는 복구할 수 없습니다:" + failed, MessageIcon::Warning);
    app.finishRecovery(true);
}

}  // namespace quillet
