#pragma once
// What the colour adjustment dialogs share: sliders with an edit box, and a live preview that
// restores the layer from the copy taken when the dialog opened and applies the current values.
// OK runs the document's command (one journal step); Cancel restores the layer.
#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "document/ColourCommands.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace quillet {

class CBrevDoc;

// A caption, a slider and an edit box (an integer of at most 4 characters) that follow each
// other; `changed` is emitted for both.
class ValueSlider : public QWidget {
    Q_OBJECT
public:
    struct Range {
        int minimum = -255, maximum = 255, value = 0;
        int lineStep = 4, pageStep = 10, tickInterval = 20;
    };
    ValueSlider(const QString& caption, Range range, QWidget* parent = nullptr);
    int value() const;
    void setValue(int v);  // without emitting `changed`
    void setCaption(const QString& caption);
    QSlider* slider() const { return slider_; }
    QLineEdit* edit() const { return edit_; }

signals:
    void changed(int value);

private:
    QLabel* caption_;
    QSlider* slider_;
    QLineEdit* edit_;
};

class AdjustmentDialog : public QDialog {
    Q_OBJECT
public:
    // The other open documents, for "모든 열린 이미지에 적용".
    using Documents = std::function<std::vector<CBrevDoc*>()>;

    // `everyLayer`: the adjustment changes every layer (the threshold), else the current one.
    AdjustmentDialog(CBrevDoc& doc, bool everyLayer, QWidget* parent);
    ~AdjustmentDialog() override;
    // False when the document refused the edit (a text layer: the user was told); the dialog
    // should then not be shown.
    bool started() const { return started_; }
    void setOtherDocuments(Documents documents) { others_ = std::move(documents); }

    void accept() override;
    void reject() override;

protected:
    // The adjustment the values stand for; none while they change nothing.
    virtual std::optional<ColourAdjustment> adjustment() const = 0;
    // Restores the layer and applies the current values; `kept`, the histogram of the layer as
    // the dialog found it, spares the levels a pass.
    void preview(const Histogram* kept = nullptr);
    // "시작 이미지": the layer as it was when the dialog opened.
    void restoreStart();
    // Adds the check box "모든 열린 이미지에 적용".
    QCheckBox* addEveryDocumentBox();
    // Adds OK and Cancel.
    void addButtons(const QString& okText = QStringLiteral("확인"));
    CBrevDoc& document() { return doc_; }

private:
    CBrevDoc& doc_;
    bool started_ = false;
    bool finished_ = false;
    QCheckBox* everyDocument_ = nullptr;
    Documents others_;
};

}  // namespace quillet
