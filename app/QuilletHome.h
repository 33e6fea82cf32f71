#pragma once
// The Quillet home directory: where the settings files and the temporary folder "tmp/" live.
// $QUILLET_HOME when set, otherwise the application's XDG data folder, the same folder Qt's
// AppDataLocation gives for "Velloran Applications"/"Quillet".
#include <string>
#include <string_view>

namespace quillet {

inline constexpr char kOrganizationName[] = "Velloran Applications";
inline constexpr char kApplicationName[] = "Quillet";

// The environment values the home directory depends on; null means unset.
struct HomeEnvironment {
    const char* quilletHome = nullptr;  // QUILLET_HOME
    const char* xdgDataHome = nullptr;  // XDG_DATA_HOME
    const char* home = nullptr;         // HOME
};

HomeEnvironment currentHomeEnvironment();
std::string quilletHomeDirectory(const HomeEnvironment& env);
// The file of the profile (recent files): inside the home when QUILLET_HOME chooses one, so that
// a separate home never reads or writes the user's own; "" for the desktop's usual place.
std::string quilletProfileFile(const HomeEnvironment& env, const std::string& home);
inline std::string quilletTmpDirectory(const std::string& home) { return home + "/tmp"; }

// The project's default "RereCon_380.ini", built into the program.
std::string_view defaultSettingsFile();

// Creates the home directory and its "tmp/" when absent and, on a first start, puts the default
// "RereCon_380.ini" there: the copy installed in `dataDirectory` when there is one (what an
// installation ships may differ from what was compiled in), otherwise the built-in one. An
// existing settings file is never touched, even an unreadable one. False with a reason in error
// when a folder or the file cannot be made.
bool prepareQuilletHome(const std::string& home, std::string& error,
                        const std::string& dataDirectory = {});

}  // namespace quillet
