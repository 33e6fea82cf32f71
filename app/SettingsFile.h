#pragma once
// The settings files of the Quillet home directory: "RereCon_380.ini" holds FrameSettings as
// CR LF text lines followed by two raw UTF-16LE font names, "FirstShow.ini" the first-show flag,
// the update flag and the file browser's folder. Readers take whatever scans and keep the rest.
#include <string>
#include <string_view>

#include "platform/UserPort.h"
#include "view/FrameSettings.h"

namespace quillet {

inline constexpr char kSettingsFileName[] = "RereCon_380.ini";
inline constexpr char kFirstShowFileName[] = "FirstShow.ini";
inline constexpr char kMissingSettingsMessage[] =
    "프로그램 실행에 필요한 환경 설정 파일이 없어서 종료합니다(0).";
// Settings files are a few hundred bytes; anything past this is never looked at.
inline constexpr size_t kMaxSettingsFileBytes = 1 << 20;

// The exact bytes of "RereCon_380.ini" for these settings.
std::string formatSettingsFile(const FrameSettings& settings);
// Reads the 15 lines and the two names into settings; a value that does not scan keeps its
// previous contents. Applies the read clamps and hides the grid (negative spacing).
void parseSettingsFile(std::string_view bytes, FrameSettings& settings);

// The exact bytes of "FirstShow.ini": flag 0, the update flag and the browser folder.
std::string formatFirstShowFile(const FrameSettings& settings);
// Reads the flag and the update flag; flag 1 makes the folder startDirectory + "/Samples", flag 0
// takes the stored folder. Returns the flag read (0 when it did not scan).
int parseFirstShowFile(std::string_view bytes, FrameSettings& settings,
                       std::u16string_view startDirectory);

// Loads both files from homeDir the way the main frame does when it is created. A missing
// "RereCon_380.ini" is told to the user with kMissingSettingsMessage and returns false: the
// caller then runs the close sequence. A missing "FirstShow.ini" leaves the folder empty.
bool loadFrameSettings(const std::string& homeDir, std::u16string_view startDirectory,
                       FrameSettings& settings, UserPort& user);
// Writes both files atomically. When "RereCon_380.ini" cannot be written nothing is written
// and nothing is said; the result only says whether both were written.
bool saveFrameSettings(const std::string& homeDir, const FrameSettings& settings);

// Reads at most maxBytes of a file; false when it cannot be opened.
bool readSmallFile(const std::string& path, std::string& bytes,
                   size_t maxBytes = kMaxSettingsFileBytes);

}  // namespace quillet
