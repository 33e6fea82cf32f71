#pragma once
// The text dialog "      글자 입력": font, size, style, effects, line spacing, width ratio,
// alignment, colour and a multi-line edit box. It only gathers the text and its settings; the
// text layer is built by the core (AddTextLayer, EditTextLayer).
#include <QDialog>

#include "view/tools/TextLayer.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace quillet {

class CDlg_Text : public QDialog {
    Q_OBJECT
public:
    // `settings` fill the controls (the last used ones for a new text, the layer's for an
    // edit); `text` fills the edit box. `lastFace` goes first in the font list.
    CDlg_Text(const TextSettings& settings, const QString& text, const QString& lastFace,
              QWidget* parent = nullptr);

    TextSettings settings() const;
    QString text() const;

    QComboBox* faceBox() const { return face_; }
    QComboBox* sizeBox() const { return size_; }
    QComboBox* styleBox() const { return style_; }
    QComboBox* spacingBox() const { return spacing_; }
    QComboBox* ratioBox() const { return ratio_; }
    QComboBox* alignBox() const { return align_; }
    QCheckBox* strikeOutBox() const { return strikeOut_; }
    QCheckBox* underlineBox() const { return underline_; }
    QPlainTextEdit* edit() const { return edit_; }
    void setColour(uint32_t colour);

private:
    QComboBox* face_ = nullptr;
    QComboBox* size_ = nullptr;
    QComboBox* style_ = nullptr;
    QComboBox* spacing_ = nullptr;
    QComboBox* ratio_ = nullptr;
    QComboBox* align_ = nullptr;
    QCheckBox* strikeOut_ = nullptr;
    QCheckBox* underline_ = nullptr;
    QPlainTextEdit* edit_ = nullptr;
    QPushButton* colourButton_ = nullptr;
    uint32_t colour_ = 0;  // 0x00RRGGBB
};

}  // namespace quillet
