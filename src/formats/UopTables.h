#pragma once

#include "common/RunError.h"
#include "formats/UopPackage.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace mw {

// The header and the table blocks of a package (see UopPackage.h for the layout), read and
// checked once for every kind of package, whether it is held in memory (MultiCollection.uop) or
// read piece by piece (the art package, hundreds of megabytes): the header, every block inside
// the file and after the one before (so the chain cannot loop), every entry's data inside the
// file with a known compression and believable sizes, and no name hash twice.
struct UopTables {
    std::uint32_t Version = 0, Signature = 0;
    std::uint64_t FirstTable = 0;
    std::vector<UopEntry> Entries;                    // in table order, unused slots left out
    std::unordered_map<std::uint64_t, size_t> ByHash; // index into Entries

    const UopEntry* Find(std::uint64_t nameHash) const {
        auto found = ByHash.find(nameHash);
        return found == ByHash.end() ? nullptr : &Entries[found->second];
    }
};

// Reads `length` bytes at `offset`, which lie inside the file.
using UopReadAt = std::function<std::string(std::uint64_t offset, std::uint64_t length)>;
// The refusal of a damaged package, saying why; each kind of package names itself.
using UopInvalid = std::function<RunError(const std::string& why)>;

UopTables ReadUopTables(std::uint64_t fileSize, const UopReadAt& readAt, const UopInvalid& invalid);

} // namespace mw
