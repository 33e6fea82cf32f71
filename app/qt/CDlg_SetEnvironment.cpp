#include "app/qt/CDlg_SetEnvironment.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace quillet {

CDlg_SetEnvironment::CDlg_SetEnvironment(FrameSettings& settings, int panelTop, QWidget* parent)
    : QDialog(parent), settings_(settings), initial_(choicesFrom(settings)) {
    setWindowTitle(QStringLiteral("      환경 설정"));
    setModal(true);
    pathSegment_ = initial_.pathSegmentColour;
    pathPoint_ = initial_.pathPointColour;
    gridColour_ = initial_.gridColour;

    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->addTab(buildCursorPage(), QStringLiteral("커서/선택"));
    tabs_->addTab(buildTransparencyPage(), QStringLiteral("투명표시"));
    tabs_->addTab(buildSelectionPage(), QStringLiteral("선택/경로"));
    tabs_->addTab(buildGridPage(), QStringLiteral("격자표시"));
    tabs_->addTab(buildBrowserPage(), QStringLiteral("파일보기창"));
    layout->addWidget(tabs_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlg_SetEnvironment::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlg_SetEnvironment::reject);
    layout->addWidget(buttons);

    resize(kWidth, kHeight);
    move(9, panelTop);
}

EnvironmentChoices CDlg_SetEnvironment::choices() const {
    EnvironmentChoices c = initial_;
    if (cursorGroup_->checkedId() >= 0) c.cursorShape = cursorGroup_->checkedId();
    if (patternGroup_->checkedId() >= 0) c.transparencyPattern = patternGroup_->checkedId();
    c.selectionTone = selectionTone_->isChecked();
    c.pathSegmentColour = pathSegment_;
    c.pathPointColour = pathPoint_;
    c.gridColour = gridColour_;
    c.gridSpacing = gridSpacing_->value();
    c.showOpenAtStart = showOpen_->isChecked();
    if (browserGroup_->checkedId() >= 0) c.browserKind = browserGroup_->checkedId();
    return c;
}

void CDlg_SetEnvironment::accept() {
    applyEnvironmentChoices(choices(), settings_);
    QDialog::accept();
}

void GridSpacingBox::stepBy(int steps) {
    setValue(std::clamp(value() + steps, FrameSettings::kMinGridSpacing,
                        FrameSettings::kMaxGridSpacing));
}

}  // namespace quillet
