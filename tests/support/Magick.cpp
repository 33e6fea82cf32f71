#include "tests/support/Magick.h"

#include <cstdio>
#include <cstdlib>

namespace quillet::testsupport {

bool haveConvert() { return std::system("convert -version >/dev/null 2>&1") == 0; }

std::vector<uint8_t> capture(const std::string& command) {
    std::vector<uint8_t> out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    uint8_t buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.insert(out.end(), buf, buf + n);
    pclose(p);
    return out;
}

std::string captureText(const std::string& command) {
    const auto bytes = capture(command);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<uint8_t> magickRgb(const std::string& file) {
    const std::string first = !file.empty() && file.back() == ']' ? file : file + "[0]";
    return capture("convert '" + first + "' -depth 8 rgb:- 2>/dev/null");
}

}  // namespace quillet::testsupport
