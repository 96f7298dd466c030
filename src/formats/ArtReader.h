#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace mw {

// The static art records of the game client, read entry by entry as they are asked for: the
// art files are hundreds of megabytes, and a preview needs a few hundred records of them.
// Opening reads and checks the index (every entry in use must lie inside the data file) but no
// record. Not thread-safe: ArtCache serialises its calls.
class ArtReader {
public:
    virtual ~ArtReader() = default;
    // The stored record of an item's static art (index entry StaticArtFirstEntry + itemId);
    // nothing when the entry is empty (offset 0xFFFFFFFF or length <= 0) or beyond the index.
    virtual std::optional<std::string> StaticArtRecord(std::uint16_t itemId) = 0;
    // Bytes of records read so far, for the checks that the cache reads each record once.
    virtual std::uint64_t BytesRead() const = 0;
    // The file the art comes from, for the status line.
    virtual std::string SourcePath() const = 0;
};

// artidx.mul (12-byte entries: u32 offset, i32 length, i32 extra) and art.mul. Refuses with
// err::ArtInvalid an index whose size is not a whole number of entries or with an entry in use
// outside art.mul; a missing file with the file error.
std::unique_ptr<ArtReader> OpenMulArt(const std::string& idxPath, const std::string& mulPath);

// artLegacyMUL.uop: entry i is the file "build/artlegacymul/%08u.tga" (see UopNameHash), its
// record at the entry's offset plus its header length. Only the header and the tables are read
// when it is opened; a damaged package is refused with err::ArtInvalid.
std::unique_ptr<ArtReader> OpenUopArt(const std::string& uopPath);

} // namespace mw
