// UO Architect design files on any bytes: the single-design reader, and for a file the parser
// takes, what we write of it parses back to the same designs.
#include "FuzzSupport.h"

#include "common/RunError.h"
#include "formats/UoaDesigns.h"

#include <string_view>

namespace {

bool ReadSingle(mw::ComponentBuffer& buffer, const mw::ComponentsList& list,
                const std::string& path, const mw::Progress& progress) {
    return mw::ReadUoaDesign(buffer, list, path, progress);
}

bool SameDesigns(const mw::UoaFile& a, const mw::UoaFile& b) {
    if (a.Version != b.Version || a.Designs.size() != b.Designs.size()) return false;
    for (size_t d = 0; d < a.Designs.size(); ++d) {
        const mw::UoaDesign &x = a.Designs[d], &y = b.Designs[d];
        if (x.Name != y.Name || x.Category != y.Category || x.Subsection != y.Subsection ||
            x.Tiles.size() != y.Tiles.size())
            return false;
        for (size_t t = 0; t < x.Tiles.size(); ++t)
            if (x.Tiles[t].ItemID != y.Tiles[t].ItemID || x.Tiles[t].X != y.Tiles[t].X ||
                x.Tiles[t].Y != y.Tiles[t].Y || x.Tiles[t].Z != y.Tiles[t].Z)
                return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    mw::fuzz::FuzzReader(ReadSingle, "design.uoa", data, size);
    mw::UoaFile file;
    try {
        file = mw::ParseUoaFile(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const mw::RunError&) {
        return 0; // refused with a message: all a damaged file may do
    }
    mw::fuzz::Require(SameDesigns(mw::ParseUoaFile(mw::UoaFileBytes(file)), file),
                      "a design file we read is written back to the same designs");
    return 0;
}
