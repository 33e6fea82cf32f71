#pragma once
// Messages and questions in message boxes over the main window.
#include <QPointer>
#include <QWidget>

#include "platform/UserPort.h"

namespace quillet {

class QtUserPort : public UserPort {
public:
    explicit QtUserPort(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void showMessage(const std::string& text, MessageIcon icon = MessageIcon::Information) override;
    Answer ask(const std::string& text, Buttons buttons,
               MessageIcon icon = MessageIcon::Question) override;
    // Shown on the progress bar named "progressBar" under the parent window, if there is one.
    void progress(int percent) override;
    void waitCursor(bool on) override;

private:
    QPointer<QWidget> parent_;
    int waitDepth_ = 0;
};

}  // namespace quillet
