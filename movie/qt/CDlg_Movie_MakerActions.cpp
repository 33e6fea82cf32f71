// What the movie maker's buttons do: list editing, bands, files, sizes and the run.
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>

#include "app/CBrevApp.h"
#include "base/Utf.h"
#include "document/CBrevDoc.h"
#include "movie/Compressors.h"
#include "movie/ShowPictures.h"
#include "movie/SoundTrack.h"
#include "movie/qt/CDlg_MoviePlayer.h"
#include "movie/qt/CDlg_Movie_Maker.h"
#include "movie/qt/MovieWorker.h"
#include "platform/UserPort.h"
#include "platform/qt/QtTextRasterizer.h"

namespace quillet {

namespace {
constexpr const char* kSelectFrameLine = "먼저 [프레임] 리스트의 라인을 클릭";

QString q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::string path(const QString& p) { return QFile::encodeName(p).toStdString(); }

// Colours of the settings are 0x00BBGGRR; the rasterizer takes 0x00RRGGBB.
uint32_t toRgb(uint32_t bgr) {
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}
}  // namespace

bool CDlg_Movie_Maker::ask(const QString& text) {
    return app_.user().ask(text.toStdString(), Buttons::OkCancel) == Answer::Ok;
}

void CDlg_Movie_Maker::tell(const QString& text) { app_.user().showMessage(text.toStdString()); }

QStringList CDlg_Movie_Maker::chooseFiles(const QString& purpose, const QString& filter, bool many,
                                          bool save) {
    if (chooseFiles_) return chooseFiles_(purpose);
    if (save) {
        const QString name =
            QFileDialog::getSaveFileName(this, purpose, outputName_->text(), filter);
        return name.isEmpty() ? QStringList() : QStringList{name};
    }
    if (many) return QFileDialog::getOpenFileNames(this, purpose, QString(), filter);
    const QString name = QFileDialog::getOpenFileName(this, purpose, QString(), filter);
    return name.isEmpty() ? QStringList() : QStringList{name};
}

// --- The frame list -------------------------------------------------------------------------

void CDlg_Movie_Maker::addPictures(const QStringList& paths) {
    for (const QString& p : paths) {
        auto* item = new QTreeWidgetItem(frames_);
        item->setText(0, QFileInfo(p).fileName());
        item->setToolTip(0, p);
        item->setData(0, Qt::UserRole, p);
        const int join = int(JoinKind::Fade);
        item->setText(1, q(InfoOf(JoinKind::Fade).shownName));
        item->setData(1, Qt::UserRole, join);
        item->setText(2, q(PanText(PanDirection::None)));
        item->setData(2, Qt::UserRole, int(PanDirection::None));
    }
}

void CDlg_Movie_Maker::removeFrameLine() {
    QTreeWidgetItem* item = frames_->currentItem();
    if (!item) return tell(QString::fromUtf8(kSelectFrameLine));
    delete item;
}

void CDlg_Movie_Maker::clearFrameLines() {
    if (frames_->topLevelItemCount() == 0) return;
    if (ask(QStringLiteral("이미지 리스트 전체를 제거하시겠습니까?"))) frames_->clear();
}

void CDlg_Movie_Maker::setJoinOfLine(int joinIndex) {
    QTreeWidgetItem* item = frames_->currentItem();
    if (!item) return tell(QString::fromUtf8(kSelectFrameLine));
    if (joinIndex < 0 || joinIndex >= kJoinCount) return;
    const JoinInfo& j = Joins()[size_t(joinIndex)];
    // Panoramas show their direction code beside the name.
    item->setText(1, IsPanorama(j.kind) ? q(j.shownName) + QChar(' ') + q(j.code) : q(j.shownName));
    item->setData(1, Qt::UserRole, joinIndex);
}

void CDlg_Movie_Maker::setPanOfLine(int panIndex) {
    QTreeWidgetItem* item = frames_->currentItem();
    if (!item) return tell(QStringLiteral("먼저 [프레임] 혹은 [연결] 리스트의 라인을 클릭"));
    item->setText(2, q(PanText(PanDirection(panIndex))));
    item->setData(2, Qt::UserRole, panIndex);
}

// --- Bands ----------------------------------------------------------------------------------

int CDlg_Movie_Maker::bandHeight() const { return std::max(0, bandHeight_->text().toInt()); }

void CDlg_Movie_Maker::setBand(bool top) {
    CBrevDoc* doc = activeDocument_ ? activeDocument_() : nullptr;
    if (!doc) return;
    const MovieResult r =
        SaveBand(app_.journalFolder(), top, ComposedPicture(*doc), width_, height_, bandHeight());
    bandState_->setText(r.ok() ? (top ? QStringLiteral("상단 지정") : QStringLiteral("하단 지정"))
                               : QString::fromStdString(r.message));
}

void CDlg_Movie_Maker::clearBand() {
    const std::string folder = app_.journalFolder();
    if (!HasBand(folder, true) && !HasBand(folder, false))
        return tell(QStringLiteral("지정 이미지가 없습니다"));
    if (!ask(QStringLiteral("상하단 파일 지정을 초기화 합니다."))) return;
    ClearBands(folder);
    bandState_->clear();
}

// --- Clips, sound, captions -------------------------------------------------------------

void CDlg_Movie_Maker::chooseClip(int index) {
    const QStringList names =
        chooseFiles(QStringLiteral("동영상 삽입"),
                    QStringLiteral("동영상파일(*.avi, *.mpg,*.mpeg, *.wmv) (*.avi *.mpg *.mpeg "
                                   "*.wmv *.mp4);;모든 파일 (*)"),
                    false);
    if (!names.isEmpty()) clipNames_[index]->setText(names.front());
}

void CDlg_Movie_Maker::setSoundFile(const QString& p) {
    soundName_->setText(p);
    soundOffsetChanged();
}

void CDlg_Movie_Maker::chooseSound() {
    const QStringList names = chooseFiles(
        QStringLiteral("오디오삽입"),
        QStringLiteral("미디파일(*.mp3;*.wav;*.wmv;*.avi;*.mpg;*.mpeg;*.MPG;*.MPEG) (*.mp3 *.wav "
                       "*.wmv *.avi *.mpg *.mpeg *.MPG *.MPEG);;모든 파일 (*)"),
        false);
    if (!names.isEmpty()) setSoundFile(names.front());
}

// The start offset is applied when the movie is made; here the file is checked and described.
void CDlg_Movie_Maker::soundOffsetChanged() {
    if (soundName_->text().isEmpty()) return;
    SoundFacts facts;
    const bool ok = ProbeSound(path(soundName_->text()), facts).ok();
    soundState_->setText(QString::asprintf("     채널 %d 샘플비트수 %d  %d", facts.channels,
                                           facts.bitsPerSample, facts.sampleRate));
    status_->setText(ok ? QStringLiteral(" 오디오 시작 위치를 변경함")
                        : QStringLiteral(" 오디오 시작 위치를 변경 오류"));
}

void CDlg_Movie_Maker::addCaption() {
    if (captionText_->text().isEmpty()) return;
    auto* item = new QTreeWidgetItem(captions_);
    item->setText(0, captionText_->text());
    item->setText(1, captionMotion_->currentText());
    item->setData(1, Qt::UserRole, captionMotion_->currentIndex());
    item->setText(2, QString::number(captionStart_->value()));
    item->setText(3, QString::number(captionHeight_->value()));
    const double seconds = std::max(0.1, captionDuration_->text().toDouble());
    item->setText(4, QString::number(seconds));
}

void CDlg_Movie_Maker::removeCaption() {
    QTreeWidgetItem* item = captions_->currentItem();
    if (!item) return tell(QString::fromUtf8(kSelectFrameLine));
    delete item;
}

void CDlg_Movie_Maker::clearCaptions() {
    if (captions_->topLevelItemCount() == 0) return;
    if (ask(QStringLiteral("캡션 리스트 전체를 제거하시겠습니까?"))) captions_->clear();
}

// --- Output ----------------------------------------------------------------------------------

void CDlg_Movie_Maker::setOutputName(const QString& p) { outputName_->setText(p); }

void CDlg_Movie_Maker::chooseOutputName() {
    const QStringList names =
        chooseFiles(QStringLiteral("출력 파일명 지정"),
                    QStringLiteral("동영상파일 (*.avi *.mpg);;모든 파일 (*)"), false, true);
    if (!names.isEmpty()) outputName_->setText(names.front());
}

void CDlg_Movie_Maker::compressorChanged(int index) { WriteCompressorNumber(app_.home(), index); }

// The band height and the caption font follow the width by its true ratio; the caption font
// never drops below 1.
void CDlg_Movie_Maker::applySize(const QString& text) {
    const OutputSize s = OutputSizeForText(text.toStdString());
    const int i = sizes_->findText(q(s.text));
    if (i >= 0) sizes_->setCurrentIndex(i);
    const double ratio = double(s.width) / double(width_);
    if (s.width != width_) {
        bandHeight_->setText(QString::number(int(std::lround(bandHeight() * ratio))));
        captionFontSize_ = std::max(1, int(std::lround(captionFontSize_ * ratio)));
    }
    width_ = s.width;
    height_ = s.height;
    placeForSize(width_, height_);
}

// The maker sits at the main frame's left edge, 350 above its bottom; the player at its right
// edge below the tool bars, sized to the frame.
void CDlg_Movie_Maker::placeForSize(int width, int height) {
    if (player_) player_->setFrameSize(width, height);
    QWidget* frame = parentWidget();
    if (!frame) return;
    const QRect g = frame->frameGeometry();
    setGeometry(g.left(), g.bottom() - 350, 1100, 350);
    if (!player_) return;
    int top = g.top();
    if (auto* main = qobject_cast<QMainWindow*>(frame); main && main->centralWidget())
        top = main->centralWidget()->mapToGlobal(QPoint(0, 0)).y();
    player_->move(g.right() - (width + 53), top);
}

void CDlg_Movie_Maker::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (placed_) return;
    placed_ = true;
    placeForSize(width_, height_);
}

MovieProject CDlg_Movie_Maker::project() const {
    MovieProject p;
    p.mode = workMode();
    for (int i = 0; i < frames_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = frames_->topLevelItem(i);
        p.pictures.push_back({path(item->data(0, Qt::UserRole).toString()),
                              JoinKind(item->data(1, Qt::UserRole).toInt()),
                              PanDirection(item->data(2, Qt::UserRole).toInt())});
    }
    p.holdFrames = duration_->value() * 4;
    p.transitionSpeed = int((transition_->maximum() - transition_->value()) * 0.2);
    for (int c = 0; c < 2; ++c) {
        ClipInput& in = p.clips[size_t(c)];
        in.path = path(clipNames_[c]->text());
        in.startPercent = clipStart_[c]->value();
        in.endPercent = std::max(clipEnd_[c]->value(), in.startPercent);
        in.brightness = clipBrightness_[c]->value();
        in.speedPosition = clipSpeed_[c]->value();
    }
    p.clipAreaPercent = clipArea_->value();
    p.bandHeight = bandHeight();
    const FrameSettings& s = app_.settings();
    if (blankBand_->isChecked())
        p.blankBand = {gradientFill_->isChecked() ? BlankBand::Gradient : BlankBand::Single,
                       s.foreground, s.background};
    p.soundPath = path(soundName_->text());
    p.soundOffsetPercent = soundOffset_->value();
    for (int i = 0; i < captions_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = captions_->topLevelItem(i);
        p.captions.push_back(
            {item->text(0).toStdU16String(), CaptionMotion(item->data(1, Qt::UserRole).toInt()),
             item->text(2).toDouble(), item->text(3).toInt(), item->text(4).toDouble()});
    }
    p.captionFont.face = s.fontName;
    p.captionFont.pixelHeight = captionFontSize_;
    p.captionFont.underline = s.fontUnderline;
    p.captionFont.strikeOut = s.fontStrikeOut;
    p.captionColour = toRgb(s.textColour);
    p.width = width_;
    p.height = height_;
    p.rotate = rotate_->isChecked();
    p.encoder = CompressorForIndex(compressorList_, compressors_->currentIndex());
    // A bare name lands in the program directory.
    const QString name = outputName_->text().trimmed();
    const QString home = QString::fromStdString(app_.home());
    p.outputPath = path(
        QFileInfo(name).isAbsolute() || home.isEmpty() ? name : QDir(home).absoluteFilePath(name));
    p.workFolder = app_.journalFolder();
    return p;
}

// --- The run ---------------------------------------------------------------------------------

bool CDlg_Movie_Maker::isConverting() const { return worker_->isRunning(); }

bool CDlg_Movie_Maker::startConversion() {
    if (worker_->isRunning()) return false;
    log_->clear();
    progress_->setValue(0);
    progress_->show();
    applySize(sizes_->currentText());
    MovieProject p = project();
    if (p.workFolder.empty()) p.workFolder = path(QDir::tempPath());
    pendingMovie_ = QString::fromStdString(p.outputPath);
    start_->setEnabled(false);
    cancel_->setEnabled(true);
    return worker_->start(p, rasterizer_.get());
}

void CDlg_Movie_Maker::cancelConversion() { worker_->cancel(); }

void CDlg_Movie_Maker::conversionDone(int code, const QString& message) {
    progress_->setValue(0);
    start_->setEnabled(true);
    cancel_->setEnabled(false);
    const MovieError error = MovieError(code);
    const bool ok = error == MovieError::None;
    if (ok) {
        lastMovie_ = pendingMovie_;
        // The player takes the focus, then shows the new movie, half a second apart.
        QTimer::singleShot(500, this, [this] {
            if (player_) player_->activateWindow();
            QTimer::singleShot(500, this, &CDlg_Movie_Maker::showPlayerWithMovie);
        });
    } else if (error == MovieError::CodecMissing) {
        if (ask(message) && codecPage_) codecPage_();
        log_->clear();
    } else if (error == MovieError::Cancelled) {
        log_->addItem(message);
    } else if (error != MovieError::EmptyList) {
        log_->addItem(QStringLiteral(".. 변환 실패 : 관련 코덱 오류 등"));
        tell(message);
    }
    emit conversionFinished(ok);
}

void CDlg_Movie_Maker::showPlayerWithMovie() {
    if (!player_) return;
    // A turned movie is as wide as the frame is high.
    if (rotate_->isChecked()) player_->setFrameSize(height_, width_);
    player_->show();
    player_->openMovie(lastMovie_);
}

void CDlg_Movie_Maker::closeEvent(QCloseEvent* event) {
    worker_->cancel();
    QDialog::closeEvent(event);
}

}  // namespace quillet
