#pragma once

#include "common/RunError.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace mw {

// The largest art record read: a 1024 x 1024 image of one-pixel runs takes about 3 MiB, so a
// longer record is damage, refused before anything is allocated for it.
constexpr std::uint64_t LargestArtRecord = std::uint64_t{8} << 20;

// "path, item 0x0ABC", as the decoder's messages name a record.
inline std::string ArtRecordName(const std::string& path, std::uint16_t itemId) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", itemId);
    return path + ", item 0x" + hex;
}

inline void CheckArtRecordLength(std::uint64_t length, const std::string& path,
                                 std::uint16_t itemId) {
    if (length > LargestArtRecord)
        throw RunError(err::ArtInvalid, "The art of " + ArtRecordName(path, itemId) +
                                            " is damaged: its record of " + std::to_string(length) +
                                            " bytes is larger than any item's art.");
}

} // namespace mw
