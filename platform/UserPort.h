#pragma once
// What the core asks of the person at the desktop: messages, questions, progress, a wait cursor.
// Texts are UTF-8; the Qt shell shows them in message boxes.
#include <string>

namespace quillet {

enum class MessageIcon { Information, Warning, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

class UserPort {
public:
    virtual ~UserPort() = default;
    virtual void showMessage(const std::string& text,
                             MessageIcon icon = MessageIcon::Information) = 0;
    virtual Answer ask(const std::string& text, Buttons buttons,
                       MessageIcon icon = MessageIcon::Question) = 0;
    // Percentage 0..100 of a long operation; -1 ends the progress display.
    virtual void progress(int percent) { (void)percent; }
    virtual void waitCursor(bool on) { (void)on; }
};

}  // namespace quillet
