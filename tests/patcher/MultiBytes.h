#pragma once

// Builders for the bytes of multi.idx and multi.mul, written out by hand so that tests compare
// the patcher's files with bytes that do not come from the patcher's own encoder.

#include "formats/ComponentBuffer.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace mw::test {

inline std::string Le16(std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

inline std::string Le32(std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    return Le16(static_cast<std::int32_t>(v & 0xFFFF)) + Le16(static_cast<std::int32_t>(v >> 16));
}

inline std::string Entry(std::int32_t lookup, std::int32_t length, std::int32_t extra = 0) {
    return Le32(lookup) + Le32(length) + Le32(extra);
}

inline std::string Record(std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t z,
                          std::int32_t flag) {
    return Le16(id) + Le16(x) + Le16(y) + Le16(z) + Le32(flag);
}

// The same in a 16-byte record: the flag is 8 bytes wide.
inline std::string WideRecord(std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t z,
                              std::int64_t flag) {
    auto high = static_cast<std::int32_t>(static_cast<std::uint64_t>(flag) >> 32);
    return Record(id, x, y, z, static_cast<std::int32_t>(flag)) + Le32(high);
}

inline const std::string Marker = Record(1, 0, 0, 0, 0);
inline const std::string WideMarker = WideRecord(1, 0, 0, 0, 0);

// n records of recognisable old data, as a multi.mul that already holds other multis.
inline std::string OldRecords(int n) {
    std::string bytes;
    for (int i = 0; i < n; ++i)
        bytes += Record(100 + i, i % 7 - 3, i % 5 - 2, i % 3, 1);
    return bytes;
}

// n records of recognisable old data in 16-byte records.
inline std::string OldWideRecords(int n) {
    std::string bytes;
    for (int i = 0; i < n; ++i)
        bytes += WideRecord(100 + i, i % 7 - 3, i % 5 - 2, i % 3, 1);
    return bytes;
}

// A buffer of components given as item id, x, y, z and flag texts.
inline ComponentBuffer BufferOf(const std::vector<std::array<std::string, 5>>& components) {
    ComponentBuffer buffer;
    for (const auto& c : components) {
        size_t i = AppendComponent(buffer);
        buffer.ItemID[i] = c[0], buffer.X[i] = c[1], buffer.Y[i] = c[2];
        buffer.Z[i] = c[3], buffer.Flag[i] = c[4];
        TrackBounds(buffer, static_cast<std::int32_t>(i));
    }
    buffer.ComponentCount = static_cast<std::int32_t>(components.size());
    return buffer;
}

} // namespace mw::test
