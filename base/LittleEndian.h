#pragma once
// Little-endian reads and writes on byte buffers, independent of the host's byte order.
#include <cstdint>

namespace quillet {

inline uint16_t readU16LE(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline int16_t readI16LE(const uint8_t* p) { return int16_t(readU16LE(p)); }
inline uint32_t readU32LE(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline int32_t readI32LE(const uint8_t* p) { return int32_t(readU32LE(p)); }

inline void writeU16LE(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void writeU32LE(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
inline void writeI16LE(uint8_t* p, int16_t v) { writeU16LE(p, uint16_t(v)); }
inline void writeI32LE(uint8_t* p, int32_t v) { writeU32LE(p, uint32_t(v)); }

inline uint16_t readU16BE(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t readU32BE(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

}  // namespace quillet
