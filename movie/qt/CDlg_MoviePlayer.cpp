#include "movie/qt/CDlg_MoviePlayer.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPainter>
#include <QPushButton>

#include "platform/UserPort.h"

namespace quillet {

namespace {
constexpr int kTickMs = 15;
}

// The picture area: the engine's picture scaled into it; empty (black) for sound files.
class CDlg_MoviePlayer::PictureArea : public QWidget {
public:
    using QWidget::QWidget;
    QImage image;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        if (!image.isNull()) p.drawImage(rect(), image);
    }
};

// Qt Multimedia's audio output in push mode: the engine writes what the device has room for.
class CDlg_MoviePlayer::SoundOutput : public AudioOutput {
public:
    void Start(const AudioFormat& format) override {
        Stop();
        QAudioFormat f;
        f.setSampleRate(format.sampleRate);
        f.setChannelCount(format.channels);
        f.setSampleFormat(QAudioFormat::Int16);
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull() || !device.isFormatSupported(f)) return;  // plays without sound
        sink_ = std::make_unique<QAudioSink>(device, f);
        sink_->setBufferSize(format.sampleRate * format.channels * 2);  // one second
        io_ = sink_->start();
        channels_ = format.channels;
    }
    size_t Write(const int16_t* samples, size_t frames) override {
        // Without a device the sound is dropped, so the picture runs on.
        if (!sink_ || !io_) return frames;
        const qsizetype room = sink_->bytesFree() / (2 * channels_);
        const qsizetype n = std::min<qsizetype>(room, qsizetype(frames));
        if (n <= 0) return 0;
        const qint64 written =
            io_->write(reinterpret_cast<const char*>(samples), n * 2 * channels_);
        return written > 0 ? size_t(written / (2 * channels_)) : 0;
    }
    void Suspend() override {
        if (sink_) sink_->suspend();
    }
    void Resume() override {
        if (sink_) sink_->resume();
    }
    void Stop() override {
        if (sink_) sink_->stop();
        sink_.reset();
        io_ = nullptr;
    }

private:
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* io_ = nullptr;
    int channels_ = 1;
};

CDlg_MoviePlayer::CDlg_MoviePlayer(UserPort& user, QWidget* parent)
    : QDialog(parent, Qt::Tool),
      user_(user),
      sound_(std::make_unique<SoundOutput>()),
      engine_(sound_.get()) {
    setObjectName(QStringLiteral("CDlg_MoviePlayer"));
    setWindowTitle(QStringLiteral("Quillet 동영상플레이어"));
    area_ = new PictureArea(this);
    area_->setObjectName(QStringLiteral("PictureArea"));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("FileName"));
    name_->hide();
    name_->setEnabled(false);
    struct Button {
        const char* name;
        const char16_t* text;
        const char16_t* tip;
        std::function<void()> run;
    };
    const Button buttons[] = {
        {"Open", u"▲", u"열기", [this] { commandOpen(); }},
        {"Play", u"▶", u"재생", [this] { play(); }},
        {"Stop", u"■", u"정지", [this] { stop(); }},
        {"Pause", u"||", u"일시정지", [this] { pause(); }},
    };
    int x = 30;
    for (const Button& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf16(b.text), this);
        button->setObjectName(QString::fromLatin1(b.name));
        button->setToolTip(QString::fromUtf16(b.tip));
        button->setAutoDefault(false);
        button->setGeometry(x, 0, 40, 24);
        connect(button, &QPushButton::clicked, this, b.run);
        x += 50;
    }
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &CDlg_MoviePlayer::tick);
    resize(400, 350);
    setFrameSize(320, 240);
    resize(400, 350);  // the start-up size; a conversion sizes it to its frame
}

CDlg_MoviePlayer::~CDlg_MoviePlayer() = default;

QWidget* CDlg_MoviePlayer::pictureArea() const { return area_; }

void CDlg_MoviePlayer::setFrameSize(int width, int height) {
    resize(width + 50, height + 90);
    area_->setGeometry(20, 50, width, height);
    name_->setGeometry(20, 10, std::max(width - 40, 10), 20);
    for (QPushButton* b : findChildren<QPushButton*>()) b->move(b->x(), 50 + height + 6);
}

bool CDlg_MoviePlayer::openMovie(const QString& path) {
    timer_.stop();
    name_->setText(path);
    if (!engine_.Open(QFile::encodeName(path).toStdString())) {
        area_->image = QImage();
        area_->update();
        user_.showMessage(MoviePlayerEngine::kInvalidName, MessageIcon::Warning);
        return false;
    }
    area_->setVisible(!engine_.AudioOnly());
    showPicture();
    return true;
}

void CDlg_MoviePlayer::commandOpen() {
    const QString path =
        chooseName_ ? chooseName_()
                    : QFileDialog::getOpenFileName(
                          this, QStringLiteral("열기"), QString(),
                          QStringLiteral("미디파일(*.avi, *.mpg,*.wmv,*.bmp) (*.avi *.mpg *.wmv "
                                         "*.bmp);;모든 파일 (*.*) (*)"));
    if (!path.isEmpty()) openMovie(path);
}

void CDlg_MoviePlayer::play() {
    area_->show();
    if (engine_.State() == PlayState::Running) return;
    if (!engine_.HasFile()) {
        const QString path = name_->text();
        if (path.isEmpty() || !openMovie(path)) {
            if (path.isEmpty()) user_.showMessage(MoviePlayerEngine::kInvalidName);
            return;
        }
    }
    if (engine_.AudioOnly()) area_->hide();
    engine_.Play();
    clock_.start();
    timer_.start();
    showPicture();
}

void CDlg_MoviePlayer::stop() {
    engine_.Stop();
    timer_.stop();
    showPicture();
}

void CDlg_MoviePlayer::pause() {
    engine_.Pause();
    if (engine_.State() != PlayState::Running) timer_.stop();
}

void CDlg_MoviePlayer::tick() {
    const double seconds = double(clock_.nsecsElapsed()) / 1e9;
    clock_.restart();
    if (engine_.Advance(seconds)) showPicture();
    if (engine_.State() != PlayState::Running) timer_.stop();
}

void CDlg_MoviePlayer::showPicture() {
    const std::vector<uint8_t>& pixels = engine_.Picture();
    if (pixels.empty()) {
        area_->image = QImage();
    } else {
        area_->image = QImage(pixels.data(), engine_.PictureWidth(), engine_.PictureHeight(),
                              engine_.PictureWidth() * 4, QImage::Format_RGB32)
                           .copy();
    }
    area_->update();
}

// Enter and Escape do not close the player.
void CDlg_MoviePlayer::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void CDlg_MoviePlayer::closeEvent(QCloseEvent* event) {
    pause();
    QDialog::closeEvent(event);
}

}  // namespace quillet
