#pragma once
// SIGTERM and SIGHUP (the session ends, the system shuts down) close the program quietly: the
// handler only wakes the event loop, which runs `close` and ends the process at once, without
// the close sequence's questions and without removing the journal folder.
#include <functional>

namespace quillet {

void installQuietClose(std::function<void()> close);

}  // namespace quillet
