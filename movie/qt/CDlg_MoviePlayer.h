#pragma once
// The movie player: a small floating window with a picture area and the buttons open, play,
// stop and pause. The engine (movie/MoviePlayerEngine) decodes; this window shows its pictures
// and plays its sound through Qt Multimedia's audio output.
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <functional>
#include <memory>

#include "movie/MoviePlayerEngine.h"

class QLineEdit;
class QPushButton;

namespace quillet {

class UserPort;

class CDlg_MoviePlayer : public QDialog {
    Q_OBJECT
public:
    explicit CDlg_MoviePlayer(UserPort& user, QWidget* parent = nullptr);
    ~CDlg_MoviePlayer() override;

    // Loads a movie or sound file (the movie maker's result, or one chosen with open). False,
    // with "비디오파일명이 올바르지 않습니다." shown, when it cannot be played.
    bool openMovie(const QString& path);
    void play();
    void stop();
    void pause();
    // Window and picture area follow the movie frame size.
    void setFrameSize(int width, int height);

    MoviePlayerEngine& engine() { return engine_; }
    QWidget* pictureArea() const;
    // Replaces the file dialog (tests): gives the chosen name or an empty string.
    void setOpenNameChooser(std::function<QString()> chooser) { chooseName_ = std::move(chooser); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class PictureArea;
    class SoundOutput;
    void commandOpen();
    void tick();
    void showPicture();

    UserPort& user_;
    std::unique_ptr<SoundOutput> sound_;
    MoviePlayerEngine engine_;
    PictureArea* area_ = nullptr;
    QLineEdit* name_ = nullptr;
    QTimer timer_;
    QElapsedTimer clock_;
    std::function<QString()> chooseName_;
};

}  // namespace quillet
