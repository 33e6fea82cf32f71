// Feeds arbitrary bytes to the settings readers; whatever they take must write back and read
// again to the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    quillet::FrameSettings settings;
    quillet::parseSettingsFile(bytes, settings);
    quillet::parseFirstShowFile(bytes, settings, u"/start");

    quillet::FrameSettings again;
    quillet::parseSettingsFile(quillet::formatSettingsFile(settings), again);
    quillet::parseFirstShowFile(quillet::formatFirstShowFile(settings), again, u"/start");
    if (!(again == settings)) std::abort();
    return 0;
}
