#include "app/CloseSequence.h"

#include <string_view>

namespace quillet {

std::string saveQuestion(const std::string& fileName) {
    const std::string_view format = kSaveQuestionFormat;
    const size_t at = format.find("%s");
    std::string text(format.substr(0, at));
    text += fileName;
    text += format.substr(at + 2);
    return text;
}

bool runCloseSequence(const std::vector<ClosableDocument*>& documents, CloseSequenceHost& host,
                      UserPort& user) {
    host.saveSettings();
    host.saveBarState();
    host.releaseScanner();
    bool anyOpen = false;
    for (ClosableDocument* doc : documents) {
        if (!doc->isModified()) {
            doc->close();
            continue;
        }
        switch (
            user.ask(saveQuestion(doc->fileName()), Buttons::YesNoCancel, MessageIcon::Question)) {
            case Answer::Yes:
            case Answer::Ok:
                // A document whose save failed stays open rather than losing its changes.
                if (doc->save())
                    doc->close();
                else
                    anyOpen = true;
                break;
            case Answer::No:
                doc->close();
                break;
            case Answer::Cancel:
                anyOpen = true;
                break;
        }
    }
    if (anyOpen) return false;
    host.destroyPanels();
    return true;
}

}  // namespace quillet
