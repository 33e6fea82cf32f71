#pragma once
// The main window: the multiple-document area with the menus around it.
#include <QMainWindow>

class QMdiArea;

namespace quillet {

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return mdiArea_; }

private:
    void buildMenus();

    QMdiArea* mdiArea_ = nullptr;
};

}  // namespace quillet
