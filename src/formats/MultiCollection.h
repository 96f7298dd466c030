#pragma once

#include "formats/MultiFiles.h"
#include "formats/UopPackage.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

// The game's multis as MultiCollection.uop holds them: multi n is the file
// "build/multicollection/%06u.bin", whose contents after inflation are
//   u32 multi id, u32 tile count, then per tile:
//   u16 item id, i16 x, i16 y, i16 z, u16 flags, u32 count of extra values, that many u32.
// Flags 0 is an ordinary component (our flag 1), 1 one placed separately such as a door (our
// flag 0); other values are kept as they are. There is no marker record: every tile is a
// component. Beside the multis the package holds "build/multicollection/housing.bin", which
// clients need and which is carried over untouched.

constexpr const char* HousingFileName = "build/multicollection/housing.bin";

std::string MultiFileName(std::uint32_t multiId); // "build/multicollection/000003.bin"

// A multi's contents as the package stores them before compression. Fails with Overflow,
// naming the component (from 1), for a flag that does not fit the package's 16 bits.
std::string EncodeMultiData(std::uint32_t multiId, const std::vector<MulRecord>& components);

// The components of a multi's contents, the extra values left out. Refused with
// err::PackageInvalid from the package when the contents are cut short, run on past the last
// tile, or belong to another multi id.
std::vector<MulRecord> DecodeMultiData(const UopPackage& package, std::string_view contents,
                                       std::uint32_t multiId);

// The ids of the multis the package holds, ascending.
std::vector<std::uint32_t> PackageMultiIds(const UopPackage& package);

bool PackageHasMulti(const UopPackage& package, std::uint32_t multiId);

// The lowest id without a file in the package; err::NoFreeMultiId when all up to
// HighestMultiId are taken.
std::uint32_t FirstFreePackageMultiId(const UopPackage& package);

// The components of multi multiId; err::MultiNotInPackage when the package has no such file.
std::vector<MulRecord> ReadPackageMulti(const UopPackage& package, std::uint32_t multiId);

} // namespace mw
