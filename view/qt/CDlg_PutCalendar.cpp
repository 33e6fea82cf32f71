#include "view/qt/CDlg_PutCalendar.h"

#include <QDate>
#include <QFontComboBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

#include "view/qt/DecorWidgets.h"

namespace quillet {

namespace {
QSpinBox* Spin(QWidget* parent, int minimum, int maximum, int value) {
    auto* box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}
}  // namespace

CDlg_PutCalendar::CDlg_PutCalendar(const TextSettings& font, QWidget* parent)
    : QDialog(parent), font_(font) {
    setWindowTitle(QStringLiteral("      달력 넣기"));
    const QDate today = QDate::currentDate();
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    year_ = Spin(this, 1, 9999, today.year());
    month_ = Spin(this, 1, 12, today.month());
    form->addRow(QStringLiteral("년"), year_);
    form->addRow(QStringLiteral("월"), month_);
    face_ = new QFontComboBox(this);
    face_->setCurrentFont(QFont(QString::fromStdU16String(font.face)));
    form->addRow(QStringLiteral("글꼴"), face_);
    size_ = Spin(this, 2, 500, std::max(2, font.size / 2));
    form->addRow(QStringLiteral("크기"), size_);
    colour_ = new SwatchButton(QStringLiteral("글자색"), font.colour, this);
    sunday_ = new SwatchButton(QStringLiteral("일요일색"), 0xFF0000, this);
    saturday_ = new SwatchButton(QStringLiteral("토요일색"), 0x0000FF, this);
    form->addRow(colour_);
    form->addRow(sunday_, saturday_);
    x_ = Spin(this, -10000, 10000, 10);
    y_ = Spin(this, -10000, 10000, 10);
    form->addRow(QStringLiteral("위치 X"), x_);
    form->addRow(QStringLiteral("위치 Y"), y_);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
}

CalendarRequest CDlg_PutCalendar::request() const {
    CalendarRequest q = CalendarRequestFor(year_->value(), month_->value());
    q.font = font_;
    q.font.face = face_->currentFont().family().toStdU16String();
    q.font.size = StoredTextSize(size_->value());
    q.font.colour = colour_->colour();
    q.titleColour = colour_->colour();
    q.sundayColour = sunday_->colour();
    q.saturdayColour = saturday_->colour();
    q.x = x_->value();
    q.y = y_->value();
    return q;
}

}  // namespace quillet
