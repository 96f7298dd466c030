#pragma once

#include "formats/MultiExtraction.h"
#include "formats/MultiFiles.h"

#include <string>
#include <vector>

namespace mw::test {

class TempFolder;

// Where a test wrote the two multi files.
struct MultiFilePaths {
    std::string MultiIdxPath;
    std::string MultiMulPath;
};

// Builds a multi.idx / multi.mul pair byte by byte, the way the game and our patcher lay them out.
class MultiFilesBuilder {
public:
    // Records in multi.mul that no entry points at, so that multis do not start at byte 0.
    void AddUnindexedRecords(const std::vector<MulRecord>& records);
    // A multi of these components after the marker record; returns its entry's record number.
    std::int32_t AddMulti(const std::vector<MulRecord>& components);
    std::int32_t AddFreeEntry();
    // An entry exactly as given, whatever it points at.
    std::int32_t AddEntry(const IdxEntry& entry);

    std::int32_t MulSize() const { return static_cast<std::int32_t>(mul_.size()); }
    const std::string& IdxBytes() const { return idx_; }
    const std::string& MulBytes() const { return mul_; }
    MultiFilePaths Write(const TempFolder& folder) const;

private:
    std::string idx_, mul_;
};

// The sample pair: entry 1 a multi of four components (negative offsets, item ids 8000 hex and
// above), entry 2 free (Length -1), entry 3 the marker alone (Length 12), entry 4 a multi of
// one component.
struct SampleMultiFiles {
    explicit SampleMultiFiles(const TempFolder& folder);
    static const std::vector<MulRecord> First, Fourth;
    MultiFilePaths Paths;
};

} // namespace mw::test
