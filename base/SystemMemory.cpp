#include "base/SystemMemory.h"

#include <cstdio>
#include <string>

namespace quillet {

uint64_t ParseMemAvailable(std::string_view meminfo) {
    constexpr std::string_view kField = "MemAvailable:";
    size_t at = meminfo.find(kField);
    // The field starts a line.
    while (at != std::string_view::npos && at != 0 && meminfo[at - 1] != '\n')
        at = meminfo.find(kField, at + 1);
    if (at == std::string_view::npos) return 0;
    at += kField.size();
    while (at < meminfo.size() && meminfo[at] == ' ') ++at;
    uint64_t kib = 0;
    bool digits = false;
    for (; at < meminfo.size() && meminfo[at] >= '0' && meminfo[at] <= '9'; ++at) {
        if (kib > (UINT64_MAX >> 10) / 10) return 0;
        kib = kib * 10 + uint64_t(meminfo[at] - '0');
        digits = true;
    }
    return digits ? kib << 10 : 0;
}

uint64_t AvailableMemoryBytes() {
    FILE* f = std::fopen("/proc/meminfo", "re");
    if (!f) return 0;
    std::string text(4096, '\0');
    const size_t n = std::fread(text.data(), 1, text.size(), f);
    std::fclose(f);
    text.resize(n);
    return ParseMemAvailable(text);
}

}  // namespace quillet
