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
    // The view goes first, then viewReleased() tells the owner of the document that this
    // window no longer uses it. (QWidget's own destroyed() comes before its children are
    // deleted, so a document freed there would still be used by the view's destructor.)
    ~CChildFrame() override;

    CBrevDoc& document() const { return doc_; }

    CBrevView* view() const { return view_; }
    // The client size that fits the picture (the frame resize rule), applied now.
    void fitToPicture(QSize zoomedSize);

signals:
    void viewReleased(quillet::CBrevDoc* doc);

protected:
    void showEvent(QShowEvent* event) override;

private:
    CBrevDoc& doc_;
    CBrevView* view_ = nullptr;
    bool fitted_ = false;
};

}  // namespace quillet
