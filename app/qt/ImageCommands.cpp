#include "app/qt/ImageCommands.h"

#include <QComboBox>
#include <QToolBar>

#include "app/ChannelDocuments.h"
#include "app/qt/CBrevAppShell.h"
#include "app/qt/CMainFrame.h"
#include "document/CBrevDoc.h"
#include "document/ColourCommands.h"
#include "document/FilterCommands.h"
#include "document/qt/CDlg_ColourDialogs.h"
#include "document/qt/CDlg_Filter.h"
#include "document/qt/CDlg_Histogram.h"
#include "document/qt/Dlg_RedEyes.h"
#include "document/qt/FilterRunner.h"

namespace quillet {

namespace {
using C = CommandId;

QString Text(std::u16string_view s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
}  // namespace

ImageCommands::ImageCommands(CBrevAppShell& shell) : shell_(shell) {}

ImageCommands::~ImageCommands() = default;

QComboBox* ImageCommands::filterList() const { return filterList_; }

void ImageCommands::install(CMainFrame& frame) {
    frame_ = &frame;
    runner_ = std::make_unique<FilterRunner>(&frame);
    auto onDocument = [this, &frame](CommandId id, std::function<void(CBrevDoc&)> run) {
        frame.setCommandHandler(
            id,
            [this, run = std::move(run)] {
                if (CBrevDoc* doc = shell_.activeDocument(); doc && !runner_->running()) run(*doc);
                frame_->updateCommandStates();
            },
            [this] { return shell_.activeDocument() != nullptr; });
    };
    for (CommandId id : {C::BrightnessContrast, C::ColourAdjust, C::Levels, C::Threshold})
        onDocument(id, [this, id](CBrevDoc& d) { openDialog(d, id); });
    onDocument(C::AutoColour, [](CBrevDoc& d) { AutoColour(d); });
    onDocument(C::Normalise, [](CBrevDoc& d) { NormaliseColour(d); });
    onDocument(C::Invert, [](CBrevDoc& d) { InvertLayer(d); });
    onDocument(C::Grayscale, [](CBrevDoc& d) { GreyscaleDocument(d); });
    onDocument(C::DesaturateLayer, [](CBrevDoc& d) { DesaturateLayer(d); });
    onDocument(C::Reduce256, [](CBrevDoc& d) { ReduceTo256Colours(d); });
    onDocument(C::ConvertRgb24, [](CBrevDoc& d) { ConvertToRgb24(d); });
    onDocument(C::RedEye, [this](CBrevDoc&) { openRedEye(); });
    onDocument(C::SplitRgb, [this](CBrevDoc& d) {
        CDlg_Channel dialog(d, frame_);
        if (!dialog.empty()) dialog.exec();
    });
    for (auto [id, space] :
         {std::pair{C::SplitYuv, ChannelSpace::Yuv}, {C::SplitHsl, ChannelSpace::Hsl}})
        onDocument(id, [this, space](CBrevDoc& d) {
            for (CBrevDoc* doc : OpenChannelDocuments(shell_.app(), d, space))
                if (doc) shell_.openWindow(*doc);
        });
    const std::pair<CommandId, AlphaCommand> alpha[] = {
        {C::RemoveTransparency, AlphaCommand::RemoveTransparency},
        {C::RemoveAlphaChannel, AlphaCommand::RemoveAlphaChannel},
        {C::InvertAlphaChannel, AlphaCommand::InvertAlpha},
        {C::ToggleAlphaPalette, AlphaCommand::ToggleAlphaPalette},
        {C::StripAlpha, AlphaCommand::StripAlpha}};
    for (auto [id, command] : alpha)
        onDocument(id, [command](CBrevDoc& d) { RunAlphaCommand(d, command); });
    for (const FilterRecord& r : FilterTable())
        onDocument(FilterCommand(int(r.id)), [this, id = r.id](CBrevDoc&) { openFilter(id); });

    // The filter list: the filters, then the threshold; choosing one opens its dialog.
    filterList_ = new QComboBox(&frame);
    filterList_->setObjectName(QStringLiteral("filterList"));
    filterList_->setToolTip(QStringLiteral("필터링설정"));
    for (const FilterRecord& r : FilterTable()) filterList_->addItem(Text(r.name));
    filterList_->addItem(QStringLiteral("임계치변환"));
    if (QToolBar* bar = frame.mainBar()) bar->addWidget(filterList_);
    connect(filterList_, &QComboBox::activated, this,
            [this] { frame_->dispatchCommand(C::FilterDialog); });
    onDocument(C::FilterDialog, [this](CBrevDoc& d) {
        const int row = filterList_->currentIndex();
        if (row == kFilterCount)
            openDialog(d, C::Threshold);
        else if (row >= 0)
            openFilter(FilterId(row));
    });
}

void ImageCommands::openDialog(CBrevDoc& doc, CommandId command) {
    std::unique_ptr<AdjustmentDialog> dialog;
    switch (command) {
        case C::BrightnessContrast:
            dialog = std::make_unique<CDlg_BrightContrast>(doc, frame_);
            break;
        case C::ColourAdjust:
            dialog = std::make_unique<CDlg_ColorAdjust>(doc, frame_);
            break;
        case C::Levels:
            dialog = std::make_unique<CDlg_Histogram>(doc, frame_);
            break;
        default:
            dialog = std::make_unique<CDlg_Threshold>(doc, frame_);
            break;
    }
    if (!dialog->started()) return;
    dialog->setOtherDocuments([this] { return shell_.app().documents(); });
    dialog->move(dialog->x(), frame_->popupY());
    dialog->exec();
}

void ImageCommands::openFilter(FilterId id) {
    CBrevDoc* doc = shell_.activeDocument();
    if (filterList_) filterList_->setCurrentIndex(int(id));
    if (!doc || runner_->running()) return;
    CDlg_Filter dialog(*doc, id, *runner_, frame_);
    if (!dialog.started()) return;
    dialog.move(dialog.x(), frame_->popupY());
    dialog.exec();
    frame_->updateCommandStates();
}

void ImageCommands::openRedEye() {
    // One floating panel for the frame; it works on whichever document is active.
    if (!redEye_) {
        redEye_ = new Dlg_RedEyes([this] { return shell_.activeDocument(); }, frame_);
        redEye_->setAttribute(Qt::WA_DeleteOnClose);
        connect(redEye_, &Dlg_RedEyes::selectPupil, this,
                [this] { frame_->dispatchCommand(C::CircleSelect); });
        redEye_->move(redEye_->x(), frame_->popupY());
    }
    redEye_->show();
    redEye_->raise();
}

}  // namespace quillet
