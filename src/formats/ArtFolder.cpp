#include "formats/ArtFolder.h"

#include "common/Platform.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace mw {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Keeps the file under `name` when it is the first found, or sorts before the one found: a
// folder with both art.mul and ART.MUL gives the same answer however it is listed.
void Keep(std::string& path, std::string& kept, const std::string& name,
          const std::filesystem::path& file) {
    if (!path.empty() && name >= kept) return;
    kept = name;
    path = platform::PathText(file);
}

} // namespace

ArtFolderFiles FindArtFiles(const std::string& folder) {
    ArtFolderFiles files;
    if (folder.empty()) return files;
    std::string keptIdx, keptMul, keptUop, keptTiles;
    std::error_code error;
    std::filesystem::directory_iterator listing(platform::FsPath(folder), error), end;
    for (; !error && listing != end; listing.increment(error)) {
        std::error_code notFile;
        if (!listing->is_regular_file(notFile)) continue; // a folder named art.mul is no art
        const std::string name = platform::PathText(listing->path().filename());
        const std::string lower = Lower(name);
        if (lower == "artidx.mul")
            Keep(files.ArtIdx, keptIdx, name, listing->path());
        else if (lower == "art.mul")
            Keep(files.ArtMul, keptMul, name, listing->path());
        else if (lower == "artlegacymul.uop")
            Keep(files.ArtUop, keptUop, name, listing->path());
        else if (lower == "tiledata.mul")
            Keep(files.TileData, keptTiles, name, listing->path());
    }
    return files;
}

} // namespace mw
