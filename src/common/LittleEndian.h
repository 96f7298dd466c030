#pragma once

#include <cstdint>
#include <string>

namespace mw {

// Fixed-width integers byte by byte, little-endian, so that the game files never depend on
// the host.

inline void Put16(unsigned char* out, std::uint16_t value) {
    out[0] = static_cast<unsigned char>(value & 0xFF);
    out[1] = static_cast<unsigned char>(value >> 8);
}

inline void Put32(unsigned char* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
}

inline void Put64(unsigned char* out, std::uint64_t value) {
    Put32(out, static_cast<std::uint32_t>(value));
    Put32(out + 4, static_cast<std::uint32_t>(value >> 32));
}

inline std::uint16_t Get16(const unsigned char* in) {
    return static_cast<std::uint16_t>(in[0] | (in[1] << 8));
}

inline std::uint32_t Get32(const unsigned char* in) {
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

inline std::uint64_t Get64(const unsigned char* in) {
    return Get32(in) | std::uint64_t{Get32(in + 4)} << 32;
}

// The same on the bytes of a text, for formats built in memory.
inline const unsigned char* BytesAt(const std::string& bytes, std::uint64_t offset) {
    return reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
}

inline void Append16(std::string& out, std::uint16_t value) {
    unsigned char bytes[2];
    Put16(bytes, value);
    out.append(reinterpret_cast<const char*>(bytes), 2);
}

inline void Append32(std::string& out, std::uint32_t value) {
    unsigned char bytes[4];
    Put32(bytes, value);
    out.append(reinterpret_cast<const char*>(bytes), 4);
}

inline void Append64(std::string& out, std::uint64_t value) {
    unsigned char bytes[8];
    Put64(bytes, value);
    out.append(reinterpret_cast<const char*>(bytes), 8);
}

} // namespace mw
