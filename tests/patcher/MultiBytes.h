#pragma once

// The bytes of multi.idx and multi.mul, written out by hand so that tests compare the patcher's
// files with bytes that do not come from the patcher's own encoder.

#include <cstdint>
#include <string>

namespace mw::test {

// The low `bytes` bytes of a value, little-endian (negative values as their two's complement).
inline std::string Le(std::int64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(static_cast<std::uint64_t>(value) >> (8 * i) & 0xFF);
    return out;
}

inline std::string Entry(std::int32_t lookup, std::int32_t length, std::int32_t extra = 0) {
    return Le(lookup, 4) + Le(length, 4) + Le(extra, 4);
}

// A 12-byte record, or a 16-byte one (wide) whose flag is 8 bytes wide.
inline std::string Record(std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t z,
                          std::int64_t flag, bool wide = false) {
    return Le(id, 2) + Le(x, 2) + Le(y, 2) + Le(z, 2) + Le(flag, wide ? 8 : 4);
}

inline const std::string Marker = Record(1, 0, 0, 0, 0);
inline const std::string WideMarker = Record(1, 0, 0, 0, 0, true);

// n records of recognisable old data, as a multi.mul that already holds other multis.
inline std::string OldRecords(int n, bool wide = false) {
    std::string bytes;
    for (int i = 0; i < n; ++i)
        bytes += Record(100 + i, i % 7 - 3, i % 5 - 2, i % 3, 1, wide);
    return bytes;
}

} // namespace mw::test
