#include "app/DesignExport.h"

#include "app/PatchAndScripts.h"
#include "app/Session.h"
#include "common/OutputFile.h"
#include "common/RunError.h"
#include "formats/TileLists.h"
#include "formats/UoaDesigns.h"
#include "store/CCategory.h"
#include "store/CSubSection.h"
#include "store/CTempIndex.h"
#include "store/LibraryListing.h"
#include "store/TemplateBlocks.h"
#include "store/TemplateRows.h"

#include <algorithm>
#include <cctype>

namespace mw {

namespace {

// A stored template with the names the tree shows it under.
struct ListedDesign {
    std::int32_t Id = 0;
    std::string Description, Category, Subsection;
};

std::string Lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The 16 bits of an item id, a coordinate as the file holds it; what does not fit is refused.
std::int32_t Checked(long value, long lowest, long highest, std::int32_t id, size_t component,
                     const char* what) {
    if (value < lowest || value > highest)
        throw RunError(err::Overflow, "Template " + std::to_string(id) + ", component " +
                                          std::to_string(component + 1) + ": the " + what + " " +
                                          std::to_string(value) + " does not fit a design file");
    return static_cast<std::int32_t>(value);
}

UoaDesign StoredDesign(Session& session, const ListedDesign& listed, const Progress& progress) {
    std::vector<TemplateLine> lines = StoredTemplateLines(session.cnTemplates, listed.Id, progress);
    if (lines.empty())
        throw RunError(err::SubscriptOutOfRange, "Template " + std::to_string(listed.Id) + " (\"" +
                                                     listed.Description +
                                                     "\") has no components to export");
    UoaDesign design{listed.Description, listed.Category, listed.Subsection, {}};
    design.Tiles.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const TemplateLine& line = lines[i];
        auto id = Checked(line.ItemID, -32768, 65535, listed.Id, i, "item id");
        design.Tiles.push_back(
            {static_cast<std::uint16_t>(id & 0xFFFF),
             static_cast<std::int16_t>(Checked(line.X, -32768, 32767, listed.Id, i, "x")),
             static_cast<std::int16_t>(Checked(line.Y, -32768, 32767, listed.Id, i, "y")),
             static_cast<std::int16_t>(Checked(line.Z, -32768, 32767, listed.Id, i, "z"))});
    }
    return design;
}

// The names of one stored template, straight from its rows.
ListedDesign StoredLabels(Session& session, std::int32_t templateId) {
    CTempIndex index(session.cnTemplates);
    CCategory category(session.cnTemplates);
    CSubSection subsection(session.cnTemplates);
    for (RecordObject* rows : std::initializer_list<RecordObject*>{&index, &category, &subsection})
        rows->Connect(session.DatabasePath(), adUseServer, adLockReadOnly);
    RequireTemplate(index, templateId);
    ListedDesign listed{templateId, index.Description(), {}, {}};
    category.Filter("CategoryID='" + index.CategoryID() + "'");
    subsection.Filter("SubsectID='" + index.SubsectID() + "'");
    if (category.RecordCount() == 0 || subsection.RecordCount() == 0)
        throw RunError(err::NoCurrentRow, "Template " + std::to_string(templateId) +
                                              " stands under a category or subsection that is "
                                              "gone");
    listed.Category = category.Name();
    listed.Subsection = subsection.Name();
    return listed;
}

std::vector<ListedDesign> Selected(Session& session, const BatchSelection& selection) {
    CTempIndex index(session.cnTemplates);
    CCategory category(session.cnTemplates);
    CSubSection subsection(session.cnTemplates);
    for (RecordObject* rows : std::initializer_list<RecordObject*>{&index, &category, &subsection})
        rows->Connect(session.DatabasePath(), adUseServer, adLockReadOnly);
    std::vector<RunError> failures;
    std::vector<ListedCategory> listing = ListTemplates(index, category, subsection, failures);
    // A template the tree cannot place would be missing from the file without a word.
    if (!failures.empty())
        throw RunError(failures.front().Number,
                       "The library holds templates that cannot be listed, so the export would "
                       "miss them: " +
                           failures.front().Description);
    std::vector<ListedDesign> designs;
    for (const ListedCategory& c : listing) {
        if (selection.Category && c.Name != *selection.Category) continue;
        for (const ListedSubsection& s : c.Subsections) {
            if (selection.Subsection && s.Name != *selection.Subsection) continue;
            for (const ListedTemplate& t : s.Templates)
                designs.push_back({t.TempIndexID, t.Description, c.Name, s.Name});
        }
    }
    if (designs.empty() && selection.Category)
        throw RunError(err::ItemNotInCollection,
                       "The library has no " +
                           (selection.Subsection
                                ? "subsection \"" + *selection.Subsection +
                                      "\" in the category \"" + *selection.Category + "\""
                                : "category \"" + *selection.Category + "\"") +
                           " with templates");
    if (designs.empty()) throw RunError(err::ItemNotInCollection, "The library holds no template");
    return designs;
}

} // namespace

const std::vector<NamedExportFormat>& ExportFormatNames() {
    static const std::vector<NamedExportFormat> names = {
        {"kivt", ExportFormat::KivT, "Multi Template files (*.KivT)|*.KivT"},
        {"uoa", ExportFormat::Uoa, "UO Architect designs (*.uoa)|*.uoa"},
        {"csv", ExportFormat::TileCsv, "Tile list CSV (*.csv)|*.csv"},
        {"list", ExportFormat::TileList, "Tile list (*.txt)|*.txt"},
    };
    return names;
}

ExportFormat ExportFormatForPath(const std::string& path) {
    std::string name = Lowered(path.substr(path.find_last_of('/') + 1));
    auto endsWith = [&](const char* extension) {
        std::string_view e(extension);
        return name.size() > e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0;
    };
    if (endsWith(".uoa")) return ExportFormat::Uoa;
    if (endsWith(".csv")) return ExportFormat::TileCsv;
    return ExportFormat::KivT;
}

std::string ExportedTemplate(Session& session, std::int32_t templateId, ExportFormat format,
                             const Progress& progress) {
    if (format == ExportFormat::Uoa)
        return UoaFileBytes({UoaSingleVersion,
                             {StoredDesign(session, StoredLabels(session, templateId), progress)}});
    RequireStoredTemplate(session, templateId);
    if (format == ExportFormat::KivT)
        return TemplateText(session.cnTemplates, templateId, progress);
    std::vector<TemplateLine> lines =
        StoredTemplateLines(session.cnTemplates, templateId, progress);
    auto count = static_cast<std::int64_t>(lines.size());
    auto line = [&](std::int64_t i) { return lines[static_cast<size_t>(i)]; };
    return format == ExportFormat::TileCsv ? TileCsvText(count, line) : TileListText(count, line);
}

void ExportTemplateFile(Session& session, std::int32_t templateId, ExportFormat format,
                        const std::string& path, const Progress& progress) {
    RefuseProtectedTarget(path, session.ProtectedFiles());
    WriteFileAtomically(path, ExportedTemplate(session, templateId, format, progress));
}

namespace {

UoaFile BatchFile(Session& session, const BatchSelection& selection, const Progress& progress) {
    std::vector<ListedDesign> listed = Selected(session, selection);
    if (listed.size() > UoaMostDesigns)
        throw RunError(err::Overflow, "The selection holds " + std::to_string(listed.size()) +
                                          " templates; a design file counts at most " +
                                          std::to_string(UoaMostDesigns));
    UoaFile file{UoaBatchVersion, {}};
    file.Designs.reserve(listed.size());
    ProgressTicker ticker(progress, static_cast<std::int64_t>(listed.size()));
    for (size_t i = 0; i < listed.size(); ++i) {
        ticker.Checkpoint(static_cast<std::int64_t>(i));
        file.Designs.push_back(StoredDesign(session, listed[i], {}));
    }
    return file;
}

} // namespace

std::string ExportedBatch(Session& session, const BatchSelection& selection,
                          const Progress& progress) {
    return UoaFileBytes(BatchFile(session, selection, progress));
}

std::int32_t ExportBatchFile(Session& session, const BatchSelection& selection,
                             const std::string& path, const Progress& progress) {
    RefuseProtectedTarget(path, session.ProtectedFiles());
    UoaFile file = BatchFile(session, selection, progress);
    WriteFileAtomically(path, UoaFileBytes(file));
    return static_cast<std::int32_t>(file.Designs.size());
}

} // namespace mw
