#pragma once
// The capture dialog: "Desktop" and the windows that can be captured, by title; the first line
// is chosen at first and OK (or a double click) returns the chosen entry.
#include <QDialog>
#include <vector>

#include "services/CaptureWindows.h"

class QListWidget;

namespace quillet {

class DlgCapture : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 1013;

    // `choices` as CaptureChoices() makes them: the desktop first.
    explicit DlgCapture(std::vector<CaptureWindow> choices, QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    // The entry chosen when the dialog was accepted.
    const CaptureWindow& chosen() const;

private:
    std::vector<CaptureWindow> choices_;
    QListWidget* list_ = nullptr;
};

}  // namespace quillet
