#include "view/qt/CDlg_Text.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quillet {

namespace {

QString toQString(std::u16string_view s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

const char* const kStyles[] = {"Regular", "Italic", "Bold", "Bold Italic"};

QColor toQColor(uint32_t rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

}  // namespace

CDlg_Text::CDlg_Text(const TextSettings& s, const QString& text, const QString& lastFace,
                     QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("CDlg_Text"));
    setWindowTitle(QStringLiteral("      글자 입력"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;

    // The system's families in ascending order, the last used one first.
    face_ = new QComboBox(this);
    face_->setObjectName(QStringLiteral("face"));
    QStringList families = QFontDatabase::families();
    families.sort();
    if (!lastFace.isEmpty()) {
        families.removeAll(lastFace);
        families.prepend(lastFace);
    }
    face_->addItems(families);
    const QString face = toQString(s.face);
    if (face_->findText(face) < 0) face_->insertItem(0, face);
    face_->setCurrentIndex(face_->findText(face));
    form->addRow(QStringLiteral("글꼴"), face_);

    // Sizes in points: the current first, then 4, 6, 8, ... 120.
    size_ = new QComboBox(this);
    size_->setObjectName(QStringLiteral("size"));
    size_->setEditable(true);
    size_->addItem(QString::number(s.size / 2));
    for (int p = 4; p <= 120; p += 2) size_->addItem(QString::number(p));
    size_->setCurrentIndex(0);
    form->addRow(QStringLiteral("크기"), size_);

    style_ = new QComboBox(this);
    style_->setObjectName(QStringLiteral("style"));
    for (const char* name : kStyles) style_->addItem(QString::fromLatin1(name));
    style_->setCurrentIndex((s.bold ? 2 : 0) + (s.italic ? 1 : 0));
    form->addRow(QStringLiteral("스타일"), style_);

    auto* effects = new QHBoxLayout;
    strikeOut_ = new QCheckBox(QStringLiteral("Strikeout"), this);
    underline_ = new QCheckBox(QStringLiteral("Underline"), this);
    strikeOut_->setChecked(s.strikeOut);
    underline_->setChecked(s.underline);
    effects->addWidget(strikeOut_);
    effects->addWidget(underline_);
    form->addRow(QStringLiteral("효과"), effects);

    spacing_ = new QComboBox(this);
    spacing_->setObjectName(QStringLiteral("spacing"));
    spacing_->addItem(QString::asprintf("%.1f", s.lineSpacing));
    for (int tenth = 4; tenth <= 20; ++tenth)
        spacing_->addItem(QString::asprintf("%.1f", tenth / 10.0));
    form->addRow(QStringLiteral("줄간격"), spacing_);

    ratio_ = new QComboBox(this);
    ratio_->setObjectName(QStringLiteral("ratio"));
    ratio_->addItem(QString::asprintf("%3d", s.widthRatio));
    for (int r = 100; r >= 50; r -= 10) ratio_->addItem(QString::asprintf("%3d", r));
    form->addRow(QStringLiteral("장평(%)"), ratio_);

    align_ = new QComboBox(this);
    align_->setObjectName(QStringLiteral("align"));
    align_->addItems({QStringLiteral("왼쪽"), QStringLiteral("가운데"), QStringLiteral("오른쪽")});
    align_->setCurrentIndex(int(s.align));
    form->addRow(QStringLiteral("정렬"), align_);

    colourButton_ = new QPushButton(this);
    colourButton_->setObjectName(QStringLiteral("colour"));
    setColour(s.colour);
    connect(colourButton_, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(toQColor(colour_), this, QStringLiteral("글자색"));
        if (c.isValid()) setColour(uint32_t(c.red()) << 16 | uint32_t(c.green()) << 8 | c.blue());
    });
    form->addRow(QStringLiteral("색"), colourButton_);
    layout->addLayout(form);

    edit_ = new QPlainTextEdit(text, this);
    edit_->setObjectName(QStringLiteral("text"));
    layout->addWidget(edit_, 1);
    layout->addWidget(
        new QLabel(QStringLiteral("※ 줄간격,장평의 적용 결과는 [확인]클릭 후 볼 수 있음"), this));
    layout->addWidget(new QLabel(QStringLiteral("[확인]후,이동도구[ ✥ ]로 위치조정"), this));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    edit_->setFocus();
}

void CDlg_Text::setColour(uint32_t colour) {
    colour_ = colour & 0xFFFFFF;
    QPixmap swatch(28, 14);
    swatch.fill(toQColor(colour_));
    colourButton_->setIcon(QIcon(swatch));
    colourButton_->setText(QString::asprintf("%06X", colour_));
}

TextSettings CDlg_Text::settings() const {
    TextSettings s;
    s.face = face_->currentText().toStdU16String();
    s.size = StoredTextSize(size_->currentText().trimmed().toInt());
    s.italic = style_->currentIndex() % 2 == 1;
    s.bold = style_->currentIndex() >= 2;
    s.strikeOut = strikeOut_->isChecked();
    s.underline = underline_->isChecked();
    s.lineSpacing = std::clamp(spacing_->currentText().toDouble(), 0.0, 10.0);
    s.widthRatio = std::clamp(ratio_->currentText().trimmed().toInt(), 1, 100);
    s.align = TextAlign(std::clamp(align_->currentIndex(), 0, 2));
    s.colour = colour_;
    return s;
}

QString CDlg_Text::text() const { return edit_->toPlainText(); }

}  // namespace quillet
