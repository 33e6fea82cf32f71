#pragma once
// The guide shown before the undo brush is used while the settings ask for it (WS w4): what the
// brush does, the help page on OK, and a switch that stops the guide from showing again.
#include <QDialog>
#include <QUrl>
#include <functional>

class QCheckBox;

namespace quillet {

class CDlg_Guid_UndoBrush : public QDialog {
    Q_OBJECT
public:
    explicit CDlg_Guid_UndoBrush(QWidget* parent = nullptr);

    // False once the user asked not to see the guide again.
    bool showAgain() const;
    QCheckBox* stopBox() const { return stop_; }
    // What opens the help page: the user's browser unless replaced (tests).
    void setPageOpener(std::function<void(const QUrl&)> open) { open_ = std::move(open); }

    // OK opens the help page, then closes.
    void accept() override;

private:
    QCheckBox* stop_ = nullptr;
    std::function<void(const QUrl&)> open_;
};

}  // namespace quillet
