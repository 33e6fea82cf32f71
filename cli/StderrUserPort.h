#pragma once
// Messages the editor would show in a box go to standard error; questions get the default.
#include <ostream>

#include "platform/UserPort.h"

namespace quillet::cli {

class StderrUserPort : public UserPort {
public:
    explicit StderrUserPort(std::ostream& err) : err_(err) {}
    void showMessage(const std::string& text, MessageIcon) override { err_ << text << '\n'; }
    Answer ask(const std::string& text, Buttons buttons, MessageIcon) override {
        err_ << text << '\n';
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::No
                                                                            : Answer::Cancel;
    }

private:
    std::ostream& err_;
};

}  // namespace quillet::cli
