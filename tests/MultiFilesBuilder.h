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

// The sample pair, written byte by byte: entry 1 a multi of four components (negative offsets,
// item ids 8000 hex and above), entry 2 free (Length -1), entry 3 the marker alone (Length 12),
// entry 4 a multi of one component. Two records that no entry points at come first, so that no
// multi starts at byte 0.
struct SampleMultiFiles {
    explicit SampleMultiFiles(const TempFolder& folder);
    static const std::vector<MulRecord> First, Fourth;
    MultiFilePaths Paths;
};

} // namespace mw::test
