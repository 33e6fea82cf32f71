#pragma once
// The filter dialog: the filter's name, a slider with an edit box per parameter, "실행" and
// "닫기". Every change restores the layer from the copy taken when the dialog opened and runs
// the filter on the worker thread (live preview); "실행" runs the filter's command, recording
// its name; "닫기" restores the layer.
#include <QDialog>
#include <array>

#include "document/FilterCommands.h"

namespace quillet {

class FilterRunner;
class ValueSlider;

class CDlg_Filter : public QDialog {
    Q_OBJECT
public:
    CDlg_Filter(CBrevDoc& doc, FilterId id, FilterRunner& runner, QWidget* parent = nullptr);
    ~CDlg_Filter() override;
    // False when the document refused (a text layer: the user was told).
    bool started() const { return started_; }
    FilterId filter() const { return id_; }
    FilterValues values() const;
    ValueSlider* parameter(int i) const { return sliders_[size_t(i)]; }

    void accept() override;  // "실행"
    void reject() override;  // "닫기"

private:
    void preview();
    void onFinished();

    CBrevDoc& doc_;
    FilterId id_;
    FilterRunner& runner_;
    bool started_ = false;
    bool closing_ = false;  // 실행 or 닫기 was pressed
    bool running_ = false;  // one of this dialog's jobs is running
    bool pending_ = false;  // a change came while a preview ran
    bool committing_ = false;
    std::array<ValueSlider*, 3> sliders_{};
};

}  // namespace quillet
