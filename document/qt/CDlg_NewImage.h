#pragma once
// The new-image dialog "      새 창 열기": size, name, initial content and picture format of a
// new picture. Accepting hands the choices over as a NewImageRequest.
#include <QDialog>
#include <QSize>

#include "document/DocumentFiles.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace quillet {

class CDlg_NewImage : public QDialog {
    Q_OBJECT
public:
    // `clipboardSize`: the bitmap on the clipboard, if any, gives the default size.
    // `backgroundColour` (0x00BBGGRR) is what "배경색지정창" fills with.
    CDlg_NewImage(QWidget* parent, uint32_t backgroundColour, QSize clipboardSize = {});

    NewImageRequest request() const;

    // The size of the image on the system clipboard; empty when it holds none.
    static QSize clipboardBitmapSize();

private:
    QSpinBox* width_;
    QSpinBox* height_;
    QLineEdit* name_;
    QComboBox* content_;
    QComboBox* format_;
    uint32_t backgroundColour_;
};

}  // namespace quillet
