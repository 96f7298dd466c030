#include "formats/TileData.h"

#include "common/Files.h"
#include "common/LittleEndian.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <cerrno>
#include <cstring>

namespace mw {

namespace {

constexpr std::uint64_t LargestTileData = std::uint64_t{64} << 20; // real ones are a few MB
constexpr std::uint64_t LandGroups = 512, GroupRecords = 32, GroupHeader = 4;
constexpr size_t NameLength = 20;

struct Layout {
    std::uint64_t FlagsSize, LandRecord, StaticRecord;
    std::uint64_t LandPart() const {
        return LandGroups * (GroupHeader + GroupRecords * LandRecord);
    }
    std::uint64_t StaticGroup() const { return GroupHeader + GroupRecords * StaticRecord; }
    bool Fits(std::uint64_t size) const {
        return size >= LandPart() && (size - LandPart()) % StaticGroup() == 0;
    }
};

constexpr Layout Older{4, 26, 37}, Newer{8, 30, 41};

RunError Invalid(const std::string& path, const std::string& why) {
    return RunError(err::TileDataInvalid,
                    "\"" + path + "\" is not a tiledata.mul of a known " + "layout: " + why);
}

StaticTile DecodeStatic(const unsigned char* in, const Layout& layout) {
    StaticTile tile;
    tile.Flags = layout.FlagsSize == 8 ? Get64(in) : Get32(in);
    in += layout.FlagsSize;
    tile.Height = in[12];
    const char* name = reinterpret_cast<const char*>(in + 13);
    tile.Name.assign(name, strnlen(name, NameLength));
    return tile;
}

} // namespace

TileData TileData::Read(const std::string& path) {
    if (path.empty()) throw RunError(err::FileNotFound, "File not found: no path is set");
    platform::FileInfo info;
    if (platform::StatPath(path, info) != 0) ThrowFileError(errno, path, "open");
    if (info.Kind == platform::FileKind::Regular && info.Size > LargestTileData)
        throw Invalid(path, "its " + std::to_string(info.Size) +
                                " bytes are more than any tiledata.mul has");
    return Parse(ReadWholeFile(path), path);
}

TileData TileData::Parse(std::string_view bytes, const std::string& path) {
    const std::uint64_t size = bytes.size();
    const bool older = Older.Fits(size), newer = Newer.Fits(size);
    if (!older && !newer)
        throw Invalid(path, "its size of " + std::to_string(size) +
                                " bytes is neither that of the older layout (" +
                                std::to_string(Older.LandPart()) + " bytes and groups of " +
                                std::to_string(Older.StaticGroup()) + ") nor of the newer (" +
                                std::to_string(Newer.LandPart()) + " bytes and groups of " +
                                std::to_string(Newer.StaticGroup()) + ")");
    TileData data;
    data.newer_ = newer && (!older || size >= NewerTileDataMinimum);
    const Layout& layout = data.newer_ ? Newer : Older;
    const std::uint64_t groups = (size - layout.LandPart()) / layout.StaticGroup();
    data.statics_.reserve(groups * GroupRecords);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::uint64_t g = 0; g < groups; ++g) {
        const std::uint64_t group = layout.LandPart() + g * layout.StaticGroup() + GroupHeader;
        for (std::uint64_t r = 0; r < GroupRecords; ++r)
            data.statics_.push_back(DecodeStatic(in + group + r * layout.StaticRecord, layout));
    }
    return data;
}

const StaticTile* TileData::Static(std::uint16_t itemId) const {
    return itemId < statics_.size() ? &statics_[itemId] : nullptr;
}

} // namespace mw
