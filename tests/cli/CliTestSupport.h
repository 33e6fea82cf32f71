#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"

namespace quillet::clitest {

namespace fs = std::filesystem;

inline bool haveConvert() { return std::system("convert -version >/dev/null 2>&1") == 0; }

inline std::vector<uint8_t> capture(const std::string& command) {
    std::vector<uint8_t> out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.insert(out.end(), buf, buf + n);
    pclose(p);
    return out;
}

// ImageMagick's reading of a file: top-down RGB bytes of the first frame.
inline std::vector<uint8_t> magickRgb(const std::string& file) {
    return capture("convert '" + file + "[0]' -depth 8 rgb:- 2>/dev/null");
}

struct RunResult {
    int code;
    std::string out;
    std::string err;
};

inline RunResult run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    return {code, out.str(), err.str()};
}

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("quillet-cli-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    fs::path dir_;
};

}  // namespace quillet::clitest
