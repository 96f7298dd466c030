#pragma once

#include "app/FileByName.h"
#include "app/ImportSources.h"
#include "common/Progress.h"
#include "formats/UoaDesigns.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mw {

struct Session;

// Importing the design files of other multi tools: one design (a .uoa of version 1, a tile CSV,
// a tile list) filed like any import, or a whole .uoa batch filed under the categories and
// subsections it names. The window and the command line both go through here.

// Where a design file files its design. Empty where the file gives nothing (tile lists never do).
struct DesignLabels {
    std::string Name, Category, Subsection;
};

// What a design goes under when its file leaves a label empty.
constexpr const char* UnsortedName = "Unsorted"; // category and subsection
constexpr const char* UnnamedDesign = "Unnamed"; // description

// ReadImportFile, and the design's labels for the template info dialog to start from. A .uoa
// batch of more than one design is refused with a message saying to import it as a batch.
bool ReadImportDesign(Session& session, ImportSource source, const std::string& path,
                      DesignLabels& labels, const Progress& progress = {});

// The filing the labels ask for, "Unsorted" / "Unnamed" where empty, made when missing.
FilingByName FilingOf(const DesignLabels& labels);
DesignLabels LabelsOf(const UoaDesign& design);

// A .uoa file read whole and checked to the end: storing starts only once every design is known
// to be sound, so a damaged design anywhere stores nothing.
struct DesignBatch {
    std::int16_t Version = UoaSingleVersion;
    std::vector<UoaDesign> Designs;
    // Version 2 is a batch whatever its count; version 1 is filed as a single design.
    bool IsBatch() const { return Version == UoaBatchVersion; }
};

// Reads and checks the file (standard input too); a RunError says what is damaged and where.
// Changes nothing.
DesignBatch ParseDesignBatch(const std::string& path, const Progress& progress = {});

// Fills the session's buffer with one design (flags from the components list), for filing a
// single design through StoreFiledByName or the template info dialog.
void LoadDesign(Session& session, const UoaDesign& design);

// Designs that go under one category and subsection.
struct BatchShelf {
    std::string Category, Subsection; // as they will be filed ("Unsorted" for an empty label)
    std::int32_t Designs = 0;
    std::int64_t Components = 0;
    bool NewCategory = false, NewSubsection = false; // the import makes them
};

struct BatchSummary {
    std::int32_t Designs = 0;
    std::int64_t Components = 0;
    std::vector<BatchShelf> Shelves; // in the order the file first names them
    std::int32_t NewCategories = 0, NewSubsections = 0;
};

// What storing the batch would do, looked up in the library without changing it: for the one
// question the window asks before storing.
BatchSummary SummariseBatch(Session& session, const DesignBatch& batch);

// The summary as a few lines of text: "12 designs (4,200 components) into 3 categories:" and
// one line per shelf, "Houses / Small: 5 designs (new subsection)".
std::string BatchSummaryText(const BatchSummary& summary);

// Stores every design under its own category and subsection, making those that are missing,
// all in one transaction: everything or, on any failure or a cancel, nothing. Returns the new
// template ids in file order. The progress counts components over the whole batch.
std::vector<std::int32_t> StoreDesignBatch(Session& session, const DesignBatch& batch,
                                           const Progress& progress = {});

} // namespace mw
