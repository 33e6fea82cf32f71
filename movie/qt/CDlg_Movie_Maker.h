#pragma once
// The movie maker: the image show's frame list and joins, the bands, the clips, the sound
// track, the captions and the output settings, and the run itself off the interface thread
// with its progress bar, log list and cancel. The work is the core's (movie/MovieMaker).
#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

#include "movie/MovieProject.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpinBox;
class QDoubleSpinBox;
class QTabWidget;
class QTreeWidget;
class QRadioButton;

namespace quillet {

class CBrevApp;
class CBrevDoc;
class CDlg_MoviePlayer;
class MovieWorker;
class QtTextRasterizer;
struct Compressor;

class CDlg_Movie_Maker : public QDialog {
    Q_OBJECT
public:
    CDlg_Movie_Maker(CBrevApp& app, CDlg_MoviePlayer* player, QWidget* parent = nullptr);
    ~CDlg_Movie_Maker() override;

    // The document whose picture the band buttons take (none: they do nothing).
    void setActiveDocumentProvider(std::function<CBrevDoc*()> provider) {
        activeDocument_ = std::move(provider);
    }
    // Opens the codec page (offered when no MPEG-4 encoder opens).
    void setCodecPageHandler(std::function<void()> handler) { codecPage_ = std::move(handler); }
    // Replaces the file dialogs (tests): given the dialog's purpose, gives the chosen names.
    void setFileChooser(std::function<QStringList(const QString& purpose)> chooser) {
        chooseFiles_ = std::move(chooser);
    }

    // The project as the controls hold it.
    MovieProject project() const;
    WorkMode workMode() const;
    void setWorkMode(WorkMode mode);
    // Adds lines to the frame list (the "이미지 추가" button without its dialog).
    void addPictures(const QStringList& paths);
    void setSoundFile(const QString& path);
    void setOutputName(const QString& path);
    // Applies an entry of the size list, rescaling the band height and the caption font.
    void applySize(const QString& text);
    int captionFontSize() const { return captionFontSize_; }
    int bandHeight() const;

    // Starts the conversion ("동영상 변환 시작"); false when one is running.
    bool startConversion();
    void cancelConversion();
    bool isConverting() const;
    // The movie the last run wrote (what the player was given).
    QString lastMovie() const { return lastMovie_; }

signals:
    void conversionFinished(bool ok);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // CDlg_Movie_Maker.cpp: building the groups and the tabs of each work mode.
    QWidget* buildFrameGroup();
    QWidget* buildBandGroup();
    QWidget* buildClipGroup(int index);
    QWidget* buildSoundGroup();
    QWidget* buildCaptionGroup();
    QWidget* buildOutputGroup();
    void rebuildTabs();
    // CDlg_Movie_MakerActions.cpp: what the buttons do.
    QStringList chooseFiles(const QString& purpose, const QString& filter, bool many,
                            bool save = false);
    void removeFrameLine();
    void clearFrameLines();
    void setJoinOfLine(int joinIndex);
    void setPanOfLine(int panIndex);
    void setBand(bool top);
    void clearBand();
    void chooseClip(int index);
    void chooseSound();
    void soundOffsetChanged();
    void addCaption();
    void removeCaption();
    void clearCaptions();
    void chooseOutputName();
    void compressorChanged(int index);
    void conversionDone(int code, const QString& message);
    void showPlayerWithMovie();
    void placeForSize(int width, int height);
    bool ask(const QString& text);
    void tell(const QString& text);

    CBrevApp& app_;
    QPointer<CDlg_MoviePlayer> player_;
    std::unique_ptr<QtTextRasterizer> rasterizer_;
    MovieWorker* worker_ = nullptr;
    std::function<CBrevDoc*()> activeDocument_;
    std::function<void()> codecPage_;
    std::function<QStringList(const QString&)> chooseFiles_;

    int width_ = 320, height_ = 240;
    int captionFontSize_ = 20;
    QString lastMovie_;
    QString pendingMovie_;
    bool placed_ = false;

    QRadioButton* modeButtons_[3] = {};
    QTabWidget* tabs_ = nullptr;
    QWidget* frameGroup_ = nullptr;
    QWidget* bandGroup_ = nullptr;
    QWidget* clipGroups_[2] = {};
    QWidget* soundGroup_ = nullptr;
    QWidget* captionGroup_ = nullptr;
    QWidget* outputGroup_ = nullptr;
    QListWidget* infoList_ = nullptr;

    QTreeWidget* frames_ = nullptr;
    QListWidget* joins_ = nullptr;
    QComboBox* pans_ = nullptr;
    QSlider* duration_ = nullptr;
    QSlider* transition_ = nullptr;

    QLineEdit* bandHeight_ = nullptr;
    QCheckBox* blankBand_ = nullptr;
    QRadioButton* gradientFill_ = nullptr;
    QLabel* bandState_ = nullptr;

    QLineEdit* clipNames_[2] = {};
    QSlider* clipStart_[2] = {};
    QSlider* clipEnd_[2] = {};
    QSlider* clipBrightness_[2] = {};
    QSlider* clipSpeed_[2] = {};
    QSlider* clipArea_ = nullptr;

    QLineEdit* soundName_ = nullptr;
    QSlider* soundOffset_ = nullptr;
    QLabel* soundState_ = nullptr;

    QLineEdit* captionText_ = nullptr;
    QComboBox* captionMotion_ = nullptr;
    QDoubleSpinBox* captionStart_ = nullptr;
    QSpinBox* captionHeight_ = nullptr;
    QLineEdit* captionDuration_ = nullptr;
    QLabel* captionSample_ = nullptr;
    QTreeWidget* captions_ = nullptr;

    QComboBox* sizes_ = nullptr;
    QCheckBox* rotate_ = nullptr;
    QLineEdit* outputName_ = nullptr;
    QComboBox* compressors_ = nullptr;
    std::vector<Compressor> compressorList_;
    QPushButton* start_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QListWidget* log_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace quillet
