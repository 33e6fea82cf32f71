#pragma once
// Where the view's operations record their journal steps. The document's journal implements
// it; tests record the calls.
#include <string>

namespace quillet {

namespace StepKind {
constexpr int Pixels = 0;  // pixel edits and moves of one layer
constexpr int Paste = 3;   // "복사물 붙이기"
}  // namespace StepKind

class JournalSink {
public:
    virtual ~JournalSink() = default;
    // `layer` -1 means the current layer.
    virtual void recordStep(const std::string& label, int kind, int layer) = 0;
};

}  // namespace quillet
