#pragma once
// A document window inside the main window's MDI area: holds one CBrevView, carries its title
// and fits itself to the picture after a zoom change.
#include <QMdiSubWindow>

#include "view/ViewState.h"

namespace quillet {

class CBrevView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CChildFrame(CBrevDoc& doc, ViewContext context, QWidget* parent = nullptr);

    CBrevView* view() const { return view_; }
    // The client size that fits the picture (the frame resize rule), applied now.
    void fitToPicture(QSize zoomedSize);

protected:
    void showEvent(QShowEvent* event) override;

private:
    CBrevView* view_ = nullptr;
    bool fitted_ = false;
};

}  // namespace quillet
