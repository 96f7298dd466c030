#pragma once

// Packages built for the tests with our own writer: a few multis and a housing.bin of a few
// bytes, spread over several table blocks.

#include "formats/MultiCollection.h"
#include "formats/UopHash.h"
#include "formats/UopPackage.h"
#include "formats/Zlib.h"

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

namespace mw::test {

inline const std::string HousingBytes("\x05\x00\xAB\xCD\x01", 5);

// Multi id m: m + 2 components with varied values and both flags.
inline std::vector<MulRecord> SampleMulti(std::uint32_t m) {
    std::vector<MulRecord> records;
    for (int i = 0; i < static_cast<int>(m) + 2; ++i)
        records.push_back({static_cast<std::uint16_t>(0x0400 + 37 * m + i),
                           static_cast<std::int16_t>(i % 5 - 2),
                           static_cast<std::int16_t>(static_cast<int>(m % 3) - 1),
                           static_cast<std::int16_t>(5 * i), i % 4 == 3 ? 0 : 1});
    return records;
}

inline std::map<std::uint32_t, std::vector<MulRecord>>
SampleMultis(std::initializer_list<std::uint32_t> ids) {
    std::map<std::uint32_t, std::vector<MulRecord>> multis;
    for (std::uint32_t id : ids)
        multis[id] = SampleMulti(id);
    return multis;
}

// housing.bin stored as it is, then the multis deflated, in id order, three files to a block.
inline std::string PackageBytes(const std::map<std::uint32_t, std::vector<MulRecord>>& multis) {
    std::list<std::string> storage; // keeps every stored text in place while the files point at it
    std::vector<UopFile> files{{UopNameHash(HousingFileName),
                                UopStored,
                                static_cast<std::uint32_t>(HousingBytes.size()),
                                Adler32(HousingBytes),
                                {},
                                HousingBytes}};
    for (const auto& [id, records] : multis)
        files.push_back(CompressedFile(UopNameHash(MultiFileName(id)), EncodeMultiData(id, records),
                                       storage.emplace_back()));
    return WriteUopPackage({UopVersion, UopSignature, {}, 3}, files);
}

// Where the fields of table entry i (from 0) of the first block lie.
constexpr std::uint64_t EntryAt(std::uint64_t i) {
    return UopFirstTable + UopBlockHeaderSize + i * UopEntrySize;
}

} // namespace mw::test
