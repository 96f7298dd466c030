#pragma once

#include <string>

namespace mw {

// The client's art files in one folder, found without regard to case (Art.mul, TILEDATA.MUL);
// a path is empty when the folder has no such file.
struct ArtFolderFiles {
    std::string ArtIdx, ArtMul, ArtUop, TileData;
    bool HasMulPair() const { return !ArtIdx.empty() && !ArtMul.empty(); }
};

// An unreadable or missing folder has none of them.
ArtFolderFiles FindArtFiles(const std::string& folder);

} // namespace mw
