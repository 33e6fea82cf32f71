#pragma once
// How much memory the machine can give a new allocation without swapping.
#include <cstdint>
#include <string_view>

namespace quillet {

// MemAvailable of /proc/meminfo in bytes; 0 when it cannot be read.
uint64_t AvailableMemoryBytes();
// The same field from a given /proc/meminfo text.
uint64_t ParseMemAvailable(std::string_view meminfo);

}  // namespace quillet
