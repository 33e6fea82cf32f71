#pragma once
// Pictures built into the program (resources/images), as byte blocks made at build time.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quillet {

struct EmbeddedResource {
    const char* name;  // the file name without its extension: "IDR_JPG1", "1011", ...
    const uint8_t* data;
    size_t size;
};

extern const EmbeddedResource kEmbeddedResources[];
extern const size_t kEmbeddedResourceCount;

// The resource called `name`, or null.
inline const EmbeddedResource* FindEmbeddedResource(std::string_view name) {
    for (size_t i = 0; i < kEmbeddedResourceCount; ++i) {
        if (name == kEmbeddedResources[i].name) return &kEmbeddedResources[i];
    }
    return nullptr;
}

}  // namespace quillet
