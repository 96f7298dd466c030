#include "formats/MultiCollection.h"

#include "common/LittleEndian.h"
#include "formats/UopHash.h"

#include <cstdio>

namespace mw {

namespace {

constexpr std::uint64_t MultiHeaderSize = 8;
constexpr std::uint64_t TileSize = 14; // without its extra values

// The package's flags and ours are each other's opposite for 0 and 1, and equal otherwise.
std::int64_t SwappedFlag(std::int64_t flag) {
    return flag == 0 ? 1 : flag == 1 ? 0 : flag;
}

void AppendTile(std::string& out, const MulRecord& record, size_t number) {
    std::int64_t flag = SwappedFlag(record.Flag);
    if (flag < 0 || flag > 0xFFFF)
        throw RunError(err::Overflow, "Component " + std::to_string(number) +
                                          ", flag: " + std::to_string(record.Flag) +
                                          " does not fit the package's 16 bits");
    Append16(out, record.ItemID);
    Append16(out, static_cast<std::uint16_t>(record.X));
    Append16(out, static_cast<std::uint16_t>(record.Y));
    Append16(out, static_cast<std::uint16_t>(record.Z));
    Append16(out, static_cast<std::uint16_t>(flag));
    Append32(out, 0); // no extra values
}

std::string HexId(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(value));
    return text;
}

} // namespace

std::string MultiFileName(std::uint32_t multiId) {
    char name[48];
    std::snprintf(name, sizeof name, "build/multicollection/%06u.bin", multiId);
    return name;
}

std::string EncodeMultiData(std::uint32_t multiId, const std::vector<MulRecord>& components) {
    std::string out;
    out.reserve(MultiHeaderSize + components.size() * TileSize);
    Append32(out, multiId);
    Append32(out, static_cast<std::uint32_t>(components.size()));
    for (size_t i = 0; i < components.size(); ++i)
        AppendTile(out, components[i], i + 1);
    return out;
}

std::vector<MulRecord> DecodeMultiData(const UopPackage& package, std::string_view contents,
                                       std::uint32_t multiId) {
    const std::string name = MultiFileName(multiId);
    const auto* in = reinterpret_cast<const unsigned char*>(contents.data());
    const std::uint64_t size = contents.size();
    if (size < MultiHeaderSize) throw package.Invalid(name + " is cut short");
    if (Get32(in) != multiId) throw package.Invalid(name + " holds the multi " + HexId(Get32(in)));
    std::uint32_t count = Get32(in + 4);
    if (std::uint64_t{count} * TileSize > size - MultiHeaderSize)
        throw package.Invalid(name + " announces " + std::to_string(count) +
                              " tiles, more than it holds");
    std::vector<MulRecord> records(count);
    std::uint64_t at = MultiHeaderSize;
    for (MulRecord& record : records) {
        if (size - at < TileSize) throw package.Invalid(name + " is cut short");
        record = {Get16(in + at), static_cast<std::int16_t>(Get16(in + at + 2)),
                  static_cast<std::int16_t>(Get16(in + at + 4)),
                  static_cast<std::int16_t>(Get16(in + at + 6)), SwappedFlag(Get16(in + at + 8))};
        std::uint64_t extras = Get32(in + at + 10);
        at += TileSize;
        if (extras > (size - at) / 4) throw package.Invalid(name + " is cut short");
        at += extras * 4;
    }
    if (at != size) throw package.Invalid(name + " runs on past its last tile");
    return records;
}

std::vector<std::uint32_t> PackageMultiIds(const UopPackage& package) {
    std::vector<std::uint32_t> ids;
    for (std::uint32_t id = 0; id <= HighestMultiId; ++id)
        if (PackageHasMulti(package, id)) ids.push_back(id);
    return ids;
}

bool PackageHasMulti(const UopPackage& package, std::uint32_t multiId) {
    return package.Find(UopNameHash(MultiFileName(multiId))) != nullptr;
}

std::uint32_t FirstFreePackageMultiId(const UopPackage& package) {
    for (std::uint32_t id = 0; id <= HighestMultiId; ++id)
        if (!PackageHasMulti(package, id)) return id;
    throw RunError(err::NoFreeMultiId,
                   "No free multi id: \"" + package.Path() + "\" holds every multi up to BFFF");
}

std::vector<MulRecord> ReadPackageMulti(const UopPackage& package, std::uint32_t multiId) {
    const std::string name = MultiFileName(multiId);
    const UopEntry* entry = package.Find(UopNameHash(name));
    if (!entry)
        throw RunError(err::MultiNotInPackage, "\"" + package.Path() + "\" holds no multi " +
                                                   HexId(multiId) + " (" + name + ")");
    return DecodeMultiData(package, package.Contents(*entry, name), multiId);
}

} // namespace mw
