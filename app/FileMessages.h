#pragma once
// The Korean texts the editor shows when a file cannot be opened or saved, in one place: the
// status code of the reader or writer picks the text, which names the file; where no text says
// more, the reader's or writer's own reason follows (as quillet-cli prints it).
#include <string>

#include "base/Status.h"

namespace quillet {

// After a save failed with `status`.
std::string saveFailureMessage(const std::string& path, const Status& status);

// After an open failed with `status`; empty when there is nothing to say (the user declined).
std::string openFailureMessage(const std::string& path, const Status& status);

}  // namespace quillet
