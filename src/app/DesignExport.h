#pragma once

#include "common/Progress.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mw {

struct Session;

// Exporting stored templates in the formats of other multi tools, one template or a whole
// category, subsection or library at a time. The window and the command line both go through
// here. Every write is atomic (WriteFileAtomically) and never replaces the library or the game
// files that the session names.

enum class ExportFormat { KivT, Uoa, TileCsv, TileList };

// The formats by the names the command line gives them (kivt, uoa, csv, list), with the file
// filter a save dialog offers for each ("UO Architect designs (*.uoa)|*.uoa").
struct NamedExportFormat {
    const char* Name;
    ExportFormat Format;
    const char* Filter;
};
const std::vector<NamedExportFormat>& ExportFormatNames();

// The format a file name asks for when none is chosen: .uoa and .csv by their extension, in
// any case; everything else, .txt and .KivT among them, the template text format. The tile list
// is never guessed: it has no extension of its own.
ExportFormat ExportFormatForPath(const std::string& path);

// A stored template's bytes in the format: KivT as the export always wrote it; .uoa version 1
// with its description, category and subsection; the tile lists with their flags swapped.
// A RunError when no template has the id or the template has no components.
std::string ExportedTemplate(Session& session, std::int32_t templateId, ExportFormat format,
                             const Progress& progress = {});
void ExportTemplateFile(Session& session, std::int32_t templateId, ExportFormat format,
                        const std::string& path, const Progress& progress = {});

// The templates a batch export takes, by the names the tree shows: the whole library, one
// category (all categories of that name, as the tree joins them), or one subsection of it.
struct BatchSelection {
    std::optional<std::string> Category;   // none: the whole library
    std::optional<std::string> Subsection; // none: the whole category
};

// The selection as one .uoa of version 2, in tree order, so that importing it into an empty
// library gives back the same tree. More than UoaMostDesigns templates are refused, and so is a
// category or subsection that the library does not hold with templates.
std::string ExportedBatch(Session& session, const BatchSelection& selection,
                          const Progress& progress = {});
// Writes it; returns the number of designs written.
std::int32_t ExportBatchFile(Session& session, const BatchSelection& selection,
                             const std::string& path, const Progress& progress = {});

} // namespace mw
