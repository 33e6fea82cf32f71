#include "app/DataDirectory.h"

#include <filesystem>
#include <system_error>

#ifndef QUILLET_DATA_RELATIVE
#define QUILLET_DATA_RELATIVE "../share/quillet"
#endif

namespace quillet {

namespace fs = std::filesystem;

std::string dataDirectoryBeside(const std::string& executablePath) {
    return (fs::path(executablePath).parent_path() / QUILLET_DATA_RELATIVE)
        .lexically_normal()
        .string();
}

std::string quilletDataDirectory() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const std::string data = dataDirectoryBeside(self.string());
    return fs::is_directory(data, ec) ? data : std::string();
}

}  // namespace quillet
