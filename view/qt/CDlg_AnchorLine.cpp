#include "view/qt/CDlg_AnchorLine.h"

#include <QGridLayout>
#include <QPushButton>

namespace quillet {

namespace {
struct ToolButton {
    ToolId tool;
    const char* caption;
};
constexpr ToolButton kTools[] = {{ToolId::PathPlace, "경로 만들기"},
                                 {ToolId::PathMove, "안내점 수정"},
                                 {ToolId::PathInsert, "안내점 추가"},
                                 {ToolId::PathDelete, "안내점 제거"}};
}  // namespace

CDlg_AnchorLine::CDlg_AnchorLine(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setObjectName(QStringLiteral("CDlg_AnchorLine"));
    setWindowTitle(QStringLiteral("경로설정"));
    setModal(false);
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < 4; ++i) {
        const ToolId tool = kTools[i].tool;
        tools_[i] = new QPushButton(QString::fromUtf8(kTools[i].caption), this);
        tools_[i]->setCheckable(true);
        tools_[i]->setObjectName(QStringLiteral("tool%1").arg(int(tool)));
        grid->addWidget(tools_[i], i / 2, i % 2);
        connect(tools_[i], &QPushButton::clicked, this, [this, tool] { emit toolChosen(tool); });
    }
    selection_ = new QPushButton(QStringLiteral("영역선택"), this);
    stroke_ = new QPushButton(QStringLiteral("선긋기"), this);
    close_ = new QPushButton(QStringLiteral("닫기"), this);
    grid->addWidget(selection_, 2, 0);
    grid->addWidget(stroke_, 2, 1);
    grid->addWidget(close_, 3, 0, 1, 2);
    connect(selection_, &QPushButton::clicked, this, &CDlg_AnchorLine::selectionRequested);
    connect(stroke_, &QPushButton::clicked, this, &CDlg_AnchorLine::strokeRequested);
    connect(close_, &QPushButton::clicked, this, &CDlg_AnchorLine::closeRequested);
}

QPushButton* CDlg_AnchorLine::toolButton(ToolId tool) const {
    for (int i = 0; i < 4; ++i)
        if (kTools[i].tool == tool) return tools_[i];
    return nullptr;
}

void CDlg_AnchorLine::showTool(ToolId tool) {
    for (int i = 0; i < 4; ++i) tools_[i]->setChecked(kTools[i].tool == tool);
}

}  // namespace quillet
