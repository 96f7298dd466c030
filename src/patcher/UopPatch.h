#pragma once

#include "common/PendingFile.h"
#include "formats/MultiFiles.h"
#include "formats/UopPackage.h"
#include "patcher/MultiPatch.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mw {

// One patch of MultiCollection.uop: a multi added as a new file of the package, or put in the
// place of the file of the same multi id (a replacement). The package
// is never changed in place: it is rewritten to a temporary file in the same folder, every
// other file carried over byte for byte, checked by reading it back, and renamed over the
// original only when complete.
class UopPatch {
public:
    // Reads the package and checks its header, tables and every entry's place, sizes and
    // compression; refuses a package that is damaged (err::PackageInvalid), missing or cannot be
    // written. The other files' bytes are not inflated: they are carried over as they are.
    explicit UopPatch(const std::string& MultiUopPath,
                      std::uint32_t entriesPerBlock = UopEntriesPerBlock);

    const std::string& Path() const { return package_.Path(); }
    bool HasMulti(std::uint32_t multiId) const;
    std::uint32_t FirstFreeId() const; // err::NoFreeMultiId when there is none
    // The tiles of the multi as extraction gives them (0 when the package has none), or that its
    // data is damaged.
    ReplacedContents ComponentsOf(std::uint32_t multiId) const;

    // Writes the new package, with multiId added or replaced, to the temporary file and checks
    // it. The package itself is not touched yet.
    void Prepare(std::uint32_t multiId, const std::vector<MulRecord>& components);
    // Puts the prepared package in the original's place.
    void Commit();

private:
    void Verify(const std::string& written, std::uint32_t multiId,
                const std::vector<MulRecord>& components) const;

    UopPackage package_;
    std::uint32_t entriesPerBlock_;
    std::unique_ptr<PendingFile> pending_;
};

} // namespace mw
