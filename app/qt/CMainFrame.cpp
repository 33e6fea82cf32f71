#include "app/qt/CMainFrame.h"

#include <QAction>
#include <QMdiArea>
#include <QMenuBar>

namespace quillet {

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Quillet 4.6"));
    setObjectName(QStringLiteral("CMainFrame"));
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);
    buildMenus();
    resize(1024, 720);
}

void CMainFrame::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("파일(&F)"));
    QAction* exit = file->addAction(QStringLiteral("종료(&x)"));
    exit->setObjectName(QStringLiteral("command57665"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

}  // namespace quillet
