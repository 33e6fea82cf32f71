#pragma once
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "tests/support/Magick.h"
#include "tests/support/TempDir.h"

namespace quillet::clitest {

namespace fs = std::filesystem;
using testsupport::capture;
using testsupport::haveConvert;
using testsupport::magickRgb;
using testsupport::TempDirTest;

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

}  // namespace quillet::clitest
