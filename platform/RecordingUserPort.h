#pragma once
// Headless UserPort: records every message and question, and answers questions from a script.
#include <deque>
#include <string>
#include <vector>

#include "platform/UserPort.h"

namespace quillet {

class RecordingUserPort : public UserPort {
public:
    struct Entry {
        std::string text;
        MessageIcon icon;
        bool question;
    };

    void showMessage(const std::string& text, MessageIcon icon = MessageIcon::Information) override;
    Answer ask(const std::string& text, Buttons buttons,
               MessageIcon icon = MessageIcon::Question) override;
    void progress(int percent) override { progressValues.push_back(percent); }
    void waitCursor(bool on) override { waitCursorDepth += on ? 1 : -1; }

    // Answers given to ask() in order; when the script runs out, the first button's answer
    // (Ok or Yes) is given.
    void script(std::initializer_list<Answer> answers) { answers_.insert(answers_.end(), answers); }

    std::vector<std::string> texts() const;
    const std::string& lastText() const;

    std::vector<Entry> entries;
    std::vector<int> progressValues;
    int waitCursorDepth = 0;

private:
    std::deque<Answer> answers_;
};

}  // namespace quillet
