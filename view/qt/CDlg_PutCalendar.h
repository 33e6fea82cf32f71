#pragma once
// The calendar dialog: year and month, font, size, the colours of the weekdays, Sundays and
// Saturdays, and where the calendar goes. It only gathers the request; the layer is built by the
// core (AddCalendarLayer).
#include <QDialog>

#include "view/tools/Calendar.h"

class QFontComboBox;
class QSpinBox;

namespace quillet {

class SwatchButton;

class CDlg_PutCalendar : public QDialog {
    Q_OBJECT
public:
    // `font` gives the face, size (stored value) and colour the dialog starts with.
    CDlg_PutCalendar(const TextSettings& font, QWidget* parent = nullptr);

    // The month of the Gregorian calendar the controls name, with its first weekday and days.
    CalendarRequest request() const;

    QSpinBox* yearBox() const { return year_; }
    QSpinBox* monthBox() const { return month_; }
    QSpinBox* sizeBox() const { return size_; }
    QSpinBox* xBox() const { return x_; }
    QSpinBox* yBox() const { return y_; }

private:
    TextSettings font_;
    QSpinBox* year_ = nullptr;
    QSpinBox* month_ = nullptr;
    QFontComboBox* face_ = nullptr;
    QSpinBox* size_ = nullptr;
    SwatchButton* colour_ = nullptr;
    SwatchButton* sunday_ = nullptr;
    SwatchButton* saturday_ = nullptr;
    QSpinBox* x_ = nullptr;
    QSpinBox* y_ = nullptr;
};

}  // namespace quillet
