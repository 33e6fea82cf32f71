#pragma once
// The Korean texts the editor shows when a file cannot be opened or saved, in one place. The
// readers and writers give their reason in English (as quillet-cli prints it); here it becomes
// a message naming the file, with the common reasons said in Korean.
#include <string>

namespace quillet {

// Why a save cannot go ahead, found before anything is written; "" when it may. Looks at the
// extension (a format Quillet cannot write), the folder (missing, not a folder) and the target
// (a file marked read-only is never replaced, even where the folder would allow it).
std::string saveRefusalMessage(const std::string& path);

// After the writer failed with `reason`.
std::string saveFailureMessage(const std::string& path, const std::string& reason);

// After a reader failed: the editor's own text, the file and the reader's reason.
std::string openFailureMessage(const std::string& path, const std::string& reason);

// Whether the target exists and is marked read-only (no write permission bit at all, or none
// for this user).
bool isReadOnlyFile(const std::string& path);

}  // namespace quillet
