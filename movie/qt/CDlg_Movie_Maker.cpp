// The movie maker's window: its groups of controls and the tabs each work mode shows.
#include "movie/qt/CDlg_Movie_Maker.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/CBrevApp.h"
#include "movie/Compressors.h"
#include "movie/ShowPictures.h"
#include "movie/qt/CDlg_MoviePlayer.h"
#include "movie/qt/MovieWorker.h"
#include "platform/qt/QtTextRasterizer.h"

namespace quillet {

namespace {
QString q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QSlider* slider(int low, int high, int value, QWidget* parent) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setRange(low, high);
    s->setValue(value);
    return s;
}

// A slider with its end captions, as "fast ... slow" rows show them.
QWidget* sliderRow(const QString& left, QSlider* s, const QString& right) {
    auto* row = new QWidget;
    auto* l = new QHBoxLayout(row);
    l->setContentsMargins(0, 0, 0, 0);
    l->addWidget(new QLabel(left));
    l->addWidget(s, 1);
    l->addWidget(new QLabel(right));
    return row;
}

QPushButton* button(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}
}  // namespace

CDlg_Movie_Maker::CDlg_Movie_Maker(CBrevApp& app, CDlg_MoviePlayer* player, QWidget* parent)
    : QDialog(parent, Qt::Tool),
      app_(app),
      player_(player),
      rasterizer_(std::make_unique<QtTextRasterizer>()),
      worker_(new MovieWorker(this)) {
    setObjectName(QStringLiteral("CDlg_Movie_Maker"));
    setWindowTitle(QStringLiteral("      무비 작성기 "));
    captionFontSize_ = std::max(1, app_.settings().fontSize);

    auto* outer = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    auto* modeBox = new QGroupBox(QStringLiteral(" 작업 선택"), this);
    auto* modeLayout = new QVBoxLayout(modeBox);
    auto* modes = new QButtonGroup(this);
    const char16_t* modeTexts[3] = {u"영상쇼 (이미지)", u"동영상 1개", u"동영상 2개"};
    for (int i = 0; i < 3; ++i) {
        modeButtons_[i] = new QRadioButton(QString::fromUtf16(modeTexts[i]), modeBox);
        modes->addButton(modeButtons_[i], i);
        modeLayout->addWidget(modeButtons_[i]);
    }
    modeButtons_[0]->setChecked(true);
    connect(modes, &QButtonGroup::idClicked, this, [this] { rebuildTabs(); });
    left->addWidget(modeBox);
    auto* close = button(QStringLiteral(" 닫 기 "), this);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    left->addStretch(1);
    left->addWidget(close);
    outer->addLayout(left);

    auto* right = new QVBoxLayout;
    tabs_ = new QTabWidget(this);
    right->addWidget(tabs_, 1);
    auto* bottom = new QHBoxLayout;
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->hide();
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("Status"));
    bottom->addWidget(progress_, 1);
    bottom->addWidget(status_, 2);
    right->addLayout(bottom);
    outer->addLayout(right, 1);

    infoList_ = new QListWidget;
    infoList_->addItems(
        {QStringLiteral(" REELVIK"), QStringLiteral(" Movie and Image Editor for LCD Display"),
         QStringLiteral(" Version 460.0.0.0"), QStringLiteral(" Movie Format : mpg,mpeg,avi,wmv"),
         QStringLiteral(" Sound Format : mp3,wav,mpg"),
         QStringLiteral("                mpeg,avi,wmv"),
         QStringLiteral(" Output Codec : Xvid,mpeg-4,wmv")});
    frameGroup_ = buildFrameGroup();
    bandGroup_ = buildBandGroup();
    clipGroups_[0] = buildClipGroup(0);
    clipGroups_[1] = buildClipGroup(1);
    soundGroup_ = buildSoundGroup();
    captionGroup_ = buildCaptionGroup();
    outputGroup_ = buildOutputGroup();
    rebuildTabs();

    connect(worker_, &MovieWorker::status, status_, &QLabel::setText);
    connect(worker_, &MovieWorker::logLine, log_, [this](const QString& t) { log_->addItem(t); });
    connect(worker_, &MovieWorker::progress, progress_, &QProgressBar::setValue);
    connect(worker_, &MovieWorker::finished, this, &CDlg_Movie_Maker::conversionDone);
    resize(1100, 350);
}

CDlg_Movie_Maker::~CDlg_Movie_Maker() {
    worker_->cancel();
    worker_->wait();
    // The band files go with the maker, so the journal folder can go when the program ends.
    ClearBands(app_.journalFolder());
    // The groups not on a tab at the moment have no parent.
    for (QWidget* w : {frameGroup_, bandGroup_, clipGroups_[0], clipGroups_[1], soundGroup_,
                       captionGroup_, outputGroup_, static_cast<QWidget*>(infoList_)})
        if (w && !w->parent()) delete w;
}

WorkMode CDlg_Movie_Maker::workMode() const {
    if (modeButtons_[1]->isChecked()) return WorkMode::OneClip;
    if (modeButtons_[2]->isChecked()) return WorkMode::TwoClips;
    return WorkMode::ImageShow;
}

void CDlg_Movie_Maker::setWorkMode(WorkMode mode) {
    modeButtons_[int(mode)]->setChecked(true);
    rebuildTabs();
}

// Each mode has its own tabs; the groups move between them.
void CDlg_Movie_Maker::rebuildTabs() {
    for (QWidget* w : {frameGroup_, bandGroup_, clipGroups_[0], clipGroups_[1], soundGroup_,
                       captionGroup_, outputGroup_, static_cast<QWidget*>(infoList_)})
        w->setParent(nullptr);
    while (tabs_->count() > 0) {
        QWidget* page = tabs_->widget(0);
        tabs_->removeTab(0);
        delete page;
    }
    auto page = [this](const QString& title, std::initializer_list<QWidget*> groups) {
        auto* p = new QWidget;
        auto* l = new QHBoxLayout(p);
        for (QWidget* g : groups) l->addWidget(g, 1);
        tabs_->addTab(p, title);
    };
    switch (workMode()) {
        case WorkMode::ImageShow:
            page(QStringLiteral(" 1. 중앙 이미지 "), {frameGroup_, bandGroup_});
            page(QStringLiteral(" 2. 오디오 삽입 "), {soundGroup_, captionGroup_});
            page(QStringLiteral(" 3. 동영상 생성 "), {outputGroup_});
            break;
        case WorkMode::OneClip:
            page(QStringLiteral(" 작업 선택"), {infoList_});
            page(QStringLiteral(" 상하단 이미지"), {bandGroup_});
            page(QStringLiteral(" 동영상 삽입"), {clipGroups_[0]});
            page(QStringLiteral(" 오디오 삽입"), {soundGroup_});
            page(QStringLiteral(" 캡션 넣기"), {captionGroup_});
            page(QStringLiteral(" 변환 및 저장"), {outputGroup_});
            break;
        case WorkMode::TwoClips:
            page(QStringLiteral(" 작업 선택"), {infoList_, bandGroup_});
            page(QStringLiteral(" 동영상 1 삽입"), {clipGroups_[0]});
            page(QStringLiteral(" 동영상 2 삽입"), {clipGroups_[1]});
            page(QStringLiteral(" 오디오 삽입"), {soundGroup_});
            page(QStringLiteral(" 캡션 넣기"), {captionGroup_});
            page(QStringLiteral(" 변환 및 저장"), {outputGroup_});
            break;
    }
    for (QWidget* w : {frameGroup_, bandGroup_, clipGroups_[0], clipGroups_[1], soundGroup_,
                       captionGroup_, outputGroup_, static_cast<QWidget*>(infoList_)})
        if (w->parent()) w->show();
}

QWidget* CDlg_Movie_Maker::buildFrameGroup() {
    auto* g = new QWidget;
    auto* l = new QHBoxLayout(g);
    auto* listSide = new QVBoxLayout;
    frames_ = new QTreeWidget(g);
    frames_->setObjectName(QStringLiteral("FrameList"));
    frames_->setHeaderLabels(
        {QStringLiteral("프레임"), QStringLiteral("연결"), QStringLiteral("방향")});
    frames_->setRootIsDecorated(false);
    frames_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    listSide->addWidget(frames_, 1);
    auto* buttons = new QHBoxLayout;
    auto* add = button(QStringLiteral("이미지 추가"), g);
    auto* remove = button(QStringLiteral("한줄 지움"), g);
    auto* clear = button(QStringLiteral("전체 비움"), g);
    remove->setObjectName(QStringLiteral("RemoveFrameLine"));
    clear->setObjectName(QStringLiteral("ClearFrames"));
    connect(add, &QPushButton::clicked, this, [this] {
        addPictures(chooseFiles(QStringLiteral("이미지 추가"),
                                QStringLiteral("그림 파일 (*.jpg *.jpeg *.bmp *.gif *.tif *.tiff "
                                               "*.pcx *.psd *.vlr);;모든 파일 (*)"),
                                true));
    });
    connect(remove, &QPushButton::clicked, this, &CDlg_Movie_Maker::removeFrameLine);
    connect(clear, &QPushButton::clicked, this, &CDlg_Movie_Maker::clearFrameLines);
    for (QPushButton* b : {add, remove, clear}) buttons->addWidget(b);
    listSide->addLayout(buttons);
    l->addLayout(listSide, 2);

    auto* joinSide = new QVBoxLayout;
    joinSide->addWidget(new QLabel(QStringLiteral("이미지연결방식")));
    joins_ = new QListWidget(g);
    joins_->setObjectName(QStringLiteral("JoinList"));
    for (const JoinInfo& j : Joins()) joins_->addItem(q(j.choice));
    connect(joins_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { setJoinOfLine(joins_->row(item)); });
    joinSide->addWidget(joins_, 1);
    pans_ = new QComboBox(g);
    for (int i = 0; i < kPanCount; ++i) pans_->addItem(q(PanText(PanDirection(i))));
    connect(pans_, &QComboBox::activated, this, &CDlg_Movie_Maker::setPanOfLine);
    joinSide->addWidget(pans_);
    duration_ = slider(1, 100, 25, g);
    transition_ = slider(0, 100, 50, g);
    joinSide->addWidget(new QLabel(QStringLiteral("프레임 지속시간")));
    joinSide->addWidget(sliderRow(QStringLiteral("빠름"), duration_, QStringLiteral("느림")));
    joinSide->addWidget(new QLabel(QStringLiteral("전환 속도")));
    joinSide->addWidget(sliderRow(QStringLiteral("빠름"), transition_, QStringLiteral("느림")));
    l->addLayout(joinSide, 1);
    return g;
}

QWidget* CDlg_Movie_Maker::buildBandGroup() {
    auto* g = new QGroupBox(QStringLiteral(" 상하단 이미지"));
    auto* l = new QVBoxLayout(g);
    auto* row = new QHBoxLayout;
    auto* top = button(QStringLiteral("상단 지정"), g);
    auto* bottom = button(QStringLiteral("하단 지정"), g);
    auto* clear = button(QStringLiteral("지정 제거"), g);
    connect(top, &QPushButton::clicked, this, [this] { setBand(true); });
    connect(bottom, &QPushButton::clicked, this, [this] { setBand(false); });
    connect(clear, &QPushButton::clicked, this, &CDlg_Movie_Maker::clearBand);
    for (QPushButton* b : {top, bottom, clear}) row->addWidget(b);
    l->addLayout(row);
    auto* form = new QFormLayout;
    bandHeight_ = new QLineEdit(QStringLiteral("50"), g);
    bandHeight_->setObjectName(QStringLiteral("BandHeight"));
    form->addRow(QStringLiteral("이미지 높이"), bandHeight_);
    l->addLayout(form);
    blankBand_ = new QCheckBox(QStringLiteral("공백 이미지"), g);
    gradientFill_ = new QRadioButton(QStringLiteral("그라디언트 채우기"), g);
    auto* single = new QRadioButton(QStringLiteral("단일색으로 채우기"), g);
    gradientFill_->setChecked(true);
    l->addWidget(blankBand_);
    l->addWidget(gradientFill_);
    l->addWidget(single);
    bandState_ = new QLabel(g);
    l->addWidget(bandState_);
    l->addStretch(1);
    return g;
}

QWidget* CDlg_Movie_Maker::buildClipGroup(int index) {
    auto* g = new QWidget;
    auto* l = new QVBoxLayout(g);
    auto* row = new QHBoxLayout;
    clipNames_[index] = new QLineEdit(g);
    clipNames_[index]->setReadOnly(true);
    auto* choose = button(QStringLiteral("동영상 삽입"), g);
    connect(choose, &QPushButton::clicked, this, [this, index] { chooseClip(index); });
    row->addWidget(clipNames_[index], 1);
    row->addWidget(choose);
    l->addLayout(row);
    clipStart_[index] = slider(0, 100, 0, g);
    clipEnd_[index] = slider(0, 100, 100, g);
    clipBrightness_[index] = slider(-100, 100, 0, g);
    clipSpeed_[index] = slider(1, 40, 10, g);
    l->addWidget(sliderRow(QStringLiteral("시작 0%"), clipStart_[index], QStringLiteral("100%")));
    l->addWidget(sliderRow(QStringLiteral("끝    0%"), clipEnd_[index], QStringLiteral("100%")));
    l->addWidget(
        sliderRow(QStringLiteral("어둡게"), clipBrightness_[index], QStringLiteral("명도 밝게")));
    l->addWidget(
        sliderRow(QStringLiteral("slow"), clipSpeed_[index], QStringLiteral("동영상 fast")));
    if (index == 0) {
        clipArea_ = slider(0, 100, 100, g);
        l->addWidget(sliderRow(QStringLiteral("삽입 영역 0"), clipArea_, QStringLiteral("100")));
    }
    l->addStretch(1);
    return g;
}

QWidget* CDlg_Movie_Maker::buildSoundGroup() {
    auto* g = new QGroupBox(QStringLiteral("오디오삽입"));
    auto* l = new QVBoxLayout(g);
    auto* row = new QHBoxLayout;
    soundName_ = new QLineEdit(g);
    soundName_->setObjectName(QStringLiteral("SoundFile"));
    soundName_->setReadOnly(true);
    auto* choose = button(QStringLiteral("오디오삽입"), g);
    connect(choose, &QPushButton::clicked, this, &CDlg_Movie_Maker::chooseSound);
    row->addWidget(soundName_, 1);
    row->addWidget(choose);
    l->addLayout(row);
    l->addWidget(new QLabel(QStringLiteral("오디오 형식 : MPG, MPEG, WAV, MP3, AVI")));
    soundOffset_ = slider(0, 100, 0, g);
    connect(soundOffset_, &QSlider::sliderReleased, this, &CDlg_Movie_Maker::soundOffsetChanged);
    l->addWidget(sliderRow(QStringLiteral("시작 위치 0"), soundOffset_, QStringLiteral("100")));
    soundState_ = new QLabel(g);
    l->addWidget(soundState_);
    l->addStretch(1);
    return g;
}

QWidget* CDlg_Movie_Maker::buildCaptionGroup() {
    auto* g = new QGroupBox(QStringLiteral(" 캡션 넣기"));
    auto* l = new QHBoxLayout(g);
    auto* form = new QFormLayout;
    captionText_ = new QLineEdit(g);
    captionText_->setMaxLength(700);
    captionMotion_ = new QComboBox(g);
    for (int i = 0; i < kCaptionMotionCount; ++i)
        captionMotion_->addItem(q(CaptionMotionText(CaptionMotion(i))));
    captionStart_ = new QDoubleSpinBox(g);
    captionStart_->setRange(0, 36000);
    captionStart_->setSuffix(QStringLiteral(" 초"));
    captionHeight_ = new QSpinBox(g);
    captionHeight_->setRange(0, 100);
    captionHeight_->setValue(80);
    captionHeight_->setSuffix(QStringLiteral(" %"));
    captionDuration_ = new QLineEdit(QStringLiteral("5"), g);
    form->addRow(QStringLiteral(" 1) 문자열 입력   "), captionText_);
    form->addRow(QStringLiteral(" 2) 삽입위치    "), captionHeight_);
    form->addRow(QStringLiteral("캡션삽입지점"), captionStart_);
    form->addRow(QStringLiteral(" 3) 지속시간  "), captionDuration_);
    form->addRow(QStringLiteral(" 4) 효과 및 완료"), captionMotion_);
    const FrameSettings& s = app_.settings();
    captionSample_ = new QLabel(QStringLiteral(" 가나Aa"), g);
    FontSpec spec;
    spec.face = s.fontName;
    spec.pixelHeight = std::min(captionFontSize_, 40);
    captionSample_->setFont(QtTextRasterizer::fontFor(spec));
    form->addRow(QString(), captionSample_);
    auto* buttons = new QHBoxLayout;
    auto* add = button(QStringLiteral("캡션 추가"), g);
    auto* remove = button(QStringLiteral("한줄 지움"), g);
    auto* clear = button(QStringLiteral("전체 비움"), g);
    connect(add, &QPushButton::clicked, this, &CDlg_Movie_Maker::addCaption);
    connect(remove, &QPushButton::clicked, this, &CDlg_Movie_Maker::removeCaption);
    connect(clear, &QPushButton::clicked, this, &CDlg_Movie_Maker::clearCaptions);
    for (QPushButton* b : {add, remove, clear}) buttons->addWidget(b);
    form->addRow(buttons);
    l->addLayout(form, 1);
    captions_ = new QTreeWidget(g);
    captions_->setObjectName(QStringLiteral("CaptionList"));
    captions_->setRootIsDecorated(false);
    captions_->setHeaderLabels({QStringLiteral("캡션"), QStringLiteral("방향"),
                                QStringLiteral("시작"), QStringLiteral("높이"),
                                QStringLiteral("지속시간")});
    l->addWidget(captions_, 1);
    return g;
}

QWidget* CDlg_Movie_Maker::buildOutputGroup() {
    auto* g = new QWidget;
    auto* l = new QHBoxLayout(g);
    auto* form = new QFormLayout;
    sizes_ = new QComboBox(g);
    sizes_->setObjectName(QStringLiteral("OutputSize"));
    for (const OutputSize& s : kOutputSizes) sizes_->addItem(q(s.text));
    connect(sizes_, &QComboBox::activated, this, [this](int i) { applySize(sizes_->itemText(i)); });
    form->addRow(QStringLiteral("출력 프레임 크기"), sizes_);
    rotate_ = new QCheckBox(QStringLiteral("90도 회전 동영상 출력"), g);
    form->addRow(rotate_);
    auto* nameRow = new QHBoxLayout;
    outputName_ = new QLineEdit(QStringLiteral("abs.mpg"), g);
    outputName_->setObjectName(QStringLiteral("OutputName"));
    auto* chooseName = button(QStringLiteral("출력 파일명 지정"), g);
    connect(chooseName, &QPushButton::clicked, this, &CDlg_Movie_Maker::chooseOutputName);
    nameRow->addWidget(outputName_, 1);
    nameRow->addWidget(chooseName);
    form->addRow(nameRow);
    compressors_ = new QComboBox(g);
    compressorList_ = ListCompressors();
    for (const Compressor& c : compressorList_)
        compressors_->addItem(QString::fromStdString(c.friendlyName));
    const int stored = ReadCompressorNumber(app_.home());
    compressors_->setCurrentIndex(std::clamp(stored, 0, std::max(0, compressors_->count() - 1)));
    connect(compressors_, &QComboBox::activated, this, &CDlg_Movie_Maker::compressorChanged);
    form->addRow(QStringLiteral("코덱선택"), compressors_);
    auto* runRow = new QHBoxLayout;
    start_ = button(QStringLiteral("동영상 변환 시작"), g);
    start_->setObjectName(QStringLiteral("StartConversion"));
    cancel_ = button(QStringLiteral("변환 취소"), g);
    cancel_->setEnabled(false);
    connect(start_, &QPushButton::clicked, this, &CDlg_Movie_Maker::startConversion);
    connect(cancel_, &QPushButton::clicked, this, &CDlg_Movie_Maker::cancelConversion);
    runRow->addWidget(start_);
    runRow->addWidget(cancel_);
    form->addRow(runRow);
    l->addLayout(form, 1);
    log_ = new QListWidget(g);
    log_->setObjectName(QStringLiteral("LogList"));
    l->addWidget(log_, 1);
    return g;
}

}  // namespace quillet
