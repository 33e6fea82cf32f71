#include "app/QuilletHome.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "app/SettingsFile.h"
#include "base/AtomicFileWriter.h"

namespace quillet {

HomeEnvironment currentHomeEnvironment() {
    return {std::getenv("QUILLET_HOME"), std::getenv("XDG_DATA_HOME"), std::getenv("HOME")};
}

std::string quilletProfileFile(const HomeEnvironment& env, const std::string& home) {
    if (!env.quilletHome || !*env.quilletHome || home.empty()) return {};
    return home + "/Quillet.conf";
}

std::string quilletHomeDirectory(const HomeEnvironment& env) {
    if (env.quilletHome && *env.quilletHome) return env.quilletHome;
    std::string data;
    if (env.xdgDataHome && *env.xdgDataHome) {
        data = env.xdgDataHome;
    } else {
        std::string home = env.home ? env.home : "";
        if (home.empty()) {
            // getpwuid_r keeps this free of the library's shared buffer.
            struct passwd pw;
            struct passwd* found = nullptr;
            char buffer[4096];
            if (getpwuid_r(getuid(), &pw, buffer, sizeof buffer, &found) == 0 && found &&
                found->pw_dir)
                home = found->pw_dir;
        }
        if (home.empty()) home = "/";
        if (home.size() > 1 && home.back() == '/') home.pop_back();
        data = (home == "/" ? "" : home) + "/.local/share";
    }
    return data + "/" + kOrganizationName + "/" + kApplicationName;
}

namespace {

// The installed default settings file, or "" when there is none to read.
std::string installedDefaultSettings(const std::string& dataDirectory) {
    if (dataDirectory.empty()) return {};
    std::ifstream in(dataDirectory + "/" + kSettingsFileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

bool prepareQuilletHome(const std::string& home, std::string& error,
                        const std::string& dataDirectory) {
    std::error_code ec;
    std::filesystem::create_directories(quilletTmpDirectory(home), ec);
    if (ec) {
        error = "cannot create " + quilletTmpDirectory(home) + ": " + ec.message();
        return false;
    }
    const std::string settings = home + "/" + kSettingsFileName;
    struct stat st;
    if (lstat(settings.c_str(), &st) == 0) return true;
    const std::string installed = installedDefaultSettings(dataDirectory);
    const std::string_view bytes = installed.empty() ? defaultSettingsFile() : installed;
    AtomicFileWriter writer(settings);
    if (Status opened = writer.open(); !opened) {
        error = opened.message();
        return false;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), writer.file()) != bytes.size()) {
        error = "cannot write " + settings;
        return false;
    }
    if (Status committed = writer.commit(); !committed) {
        error = "cannot write " + settings + ": " + committed.message();
        return false;
    }
    return true;
}

}  // namespace quillet
