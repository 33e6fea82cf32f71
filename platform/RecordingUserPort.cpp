#include "platform/RecordingUserPort.h"

namespace quillet {

void RecordingUserPort::showMessage(const std::string& text, MessageIcon icon) {
    entries.push_back({text, icon, false});
}

Answer RecordingUserPort::ask(const std::string& text, Buttons buttons, MessageIcon icon) {
    entries.push_back({text, icon, true});
    if (!answers_.empty()) {
        const Answer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    return (buttons == Buttons::Ok || buttons == Buttons::OkCancel) ? Answer::Ok : Answer::Yes;
}

std::vector<std::string> RecordingUserPort::texts() const {
    std::vector<std::string> out;
    for (const auto& e : entries) out.push_back(e.text);
    return out;
}

const std::string& RecordingUserPort::lastText() const {
    static const std::string none;
    return entries.empty() ? none : entries.back().text;
}

}  // namespace quillet
