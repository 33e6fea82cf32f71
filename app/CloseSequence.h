#pragma once
// What happens when the main window is asked to close: settings first, then one question per
// modified document; the frame closes only when no document stays open.
#include <string>
#include <vector>

#include "platform/UserPort.h"

namespace quillet {

inline constexpr char kSaveQuestionFormat[] = "[%s] 파일을 저장하시겠습니까?";

// The part of a document the close sequence needs.
class ClosableDocument {
public:
    virtual ~ClosableDocument() = default;
    // A pending change or a non-empty undo journal.
    virtual bool isModified() const = 0;
    // The file name shown in the question.
    virtual std::string fileName() const = 0;
    // Saves to the document's file; false when nothing was written.
    virtual bool save() = 0;
    virtual void close() = 0;
};

// The frame's own steps around the documents; each does nothing unless overridden.
class CloseSequenceHost {
public:
    virtual ~CloseSequenceHost() = default;
    virtual void saveSettings() {}
    virtual void saveBarState() {}
    virtual void releaseScanner() {}
    virtual void destroyPanels() {}
};

std::string saveQuestion(const std::string& fileName);

// Runs the close sequence. Returns true when every document was closed and the panels are torn
// down, so the frame may close; false when a document stayed open (the program keeps running,
// with the settings already written).
bool runCloseSequence(const std::vector<ClosableDocument*>& documents, CloseSequenceHost& host,
                      UserPort& user);

}  // namespace quillet
