#include "app/DesignImport.h"

#include "app/Session.h"
#include "common/RunError.h"
#include "store/CCategory.h"
#include "store/CSubSection.h"
#include "store/Filing.h"
#include "store/SaveNewTemplate.h"

#include <map>
#include <optional>

namespace mw {

namespace {

std::string OrElse(const std::string& text, const char* fallback) {
    return text.empty() ? fallback : text;
}

std::string Plural(std::int64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The library's categories and subsections, looked up by name once per batch.
class Shelves {
public:
    Shelves(Session& session, int lock)
        : category_(session.cnTemplates), subsection_(session.cnTemplates) {
        category_.Connect(session.DatabasePath(), adUseServer, lock);
        subsection_.Connect(session.DatabasePath(), adUseServer, lock);
    }

    std::optional<std::int32_t> Category(const std::string& name) {
        auto known = categories_.find(name);
        if (known != categories_.end()) return known->second;
        return categories_[name] = FindCategory(category_, name);
    }
    std::optional<std::int32_t> Subsection(std::int32_t categoryId, const std::string& name) {
        auto key = std::make_pair(categoryId, name);
        auto known = subsections_.find(key);
        if (known != subsections_.end()) return known->second;
        return subsections_[key] = FindSubSection(subsection_, categoryId, name);
    }

    // The ids of the category and subsection, made when missing.
    std::pair<std::int32_t, std::int32_t> Made(const FilingByName& filing) {
        std::optional<std::int32_t> categoryId = Category(filing.Category);
        if (!categoryId)
            categoryId = categories_[filing.Category] = AddCategory(category_, filing.Category);
        std::optional<std::int32_t> subsectionId = Subsection(*categoryId, filing.Subsection);
        if (!subsectionId)
            subsectionId = subsections_[{*categoryId, filing.Subsection}] =
                AddSubSection(subsection_, *categoryId, filing.Subsection);
        return {*categoryId, *subsectionId};
    }

private:
    CCategory category_;
    CSubSection subsection_;
    std::map<std::string, std::optional<std::int32_t>> categories_;
    std::map<std::pair<std::int32_t, std::string>, std::optional<std::int32_t>> subsections_;
};

std::string DesignName(const DesignBatch& batch, size_t d) {
    return "design " + std::to_string(d + 1) + " of " + std::to_string(batch.Designs.size()) +
           " (\"" + OrElse(batch.Designs[d].Name, UnnamedDesign) + "\")";
}

} // namespace

bool ReadImportDesign(Session& session, ImportSource source, const std::string& path,
                      DesignLabels& labels, const Progress& progress) {
    labels = {};
    if (source != ImportSource::Uoa) return ReadImportFile(session, source, path, progress);
    UoaDesign design;
    if (!ReadUoaDesign(session.Buffer, session.Components, path, design, progress)) return false;
    labels = LabelsOf(design);
    return true;
}

FilingByName FilingOf(const DesignLabels& labels) {
    return {OrElse(labels.Category, UnsortedName), OrElse(labels.Subsection, UnsortedName),
            OrElse(labels.Name, UnnamedDesign), true};
}

DesignLabels LabelsOf(const UoaDesign& design) {
    return {design.Name, design.Category, design.Subsection};
}

DesignBatch ParseDesignBatch(const std::string& path, const Progress& progress) {
    UoaFile file = ReadUoaFile(path, progress);
    return {file.Version, std::move(file.Designs)};
}

void LoadDesign(Session& session, const UoaDesign& design) {
    DesignIntoBuffer(design, session.Buffer, session.Components);
    session.Buffer.LastReadOK = true;
    session.Buffer.LastReadMessage = {};
}

BatchSummary SummariseBatch(Session& session, const DesignBatch& batch) {
    BatchSummary summary;
    std::map<std::pair<std::string, std::string>, size_t> shelfAt;
    for (const UoaDesign& design : batch.Designs) {
        FilingByName filing = FilingOf(LabelsOf(design));
        auto [at, added] =
            shelfAt.try_emplace({filing.Category, filing.Subsection}, summary.Shelves.size());
        if (added) summary.Shelves.push_back({filing.Category, filing.Subsection});
        BatchShelf& shelf = summary.Shelves[at->second];
        ++shelf.Designs;
        shelf.Components += static_cast<std::int64_t>(design.Tiles.size());
        ++summary.Designs;
        summary.Components += static_cast<std::int64_t>(design.Tiles.size());
    }
    Shelves library(session, adLockReadOnly);
    std::map<std::string, bool> newCategory;
    for (BatchShelf& shelf : summary.Shelves) {
        std::optional<std::int32_t> categoryId = library.Category(shelf.Category);
        shelf.NewCategory = !categoryId;
        shelf.NewSubsection = !categoryId || !library.Subsection(*categoryId, shelf.Subsection);
        newCategory[shelf.Category] = shelf.NewCategory;
        summary.NewSubsections += shelf.NewSubsection;
    }
    for (const auto& [name, isNew] : newCategory)
        summary.NewCategories += isNew;
    return summary;
}

std::string BatchSummaryText(const BatchSummary& summary) {
    std::map<std::string, bool> categories;
    for (const BatchShelf& shelf : summary.Shelves)
        categories[shelf.Category] = true;
    auto news = [](std::int32_t n) {
        return n ? " (" + std::to_string(n) + " new)" : std::string();
    };
    std::string text =
        Plural(summary.Designs, "design", "designs") + " with " +
        Plural(summary.Components, "component", "components") + " go into " +
        Plural(static_cast<std::int64_t>(categories.size()), "category", "categories") +
        news(summary.NewCategories) + " and " +
        Plural(static_cast<std::int64_t>(summary.Shelves.size()), "subsection", "subsections") +
        news(summary.NewSubsections) + ":\n";
    for (const BatchShelf& shelf : summary.Shelves)
        text += shelf.Category + " / " + shelf.Subsection + ": " +
                Plural(shelf.Designs, "design", "designs") +
                (shelf.NewCategory     ? " (new category)"
                 : shelf.NewSubsection ? " (new subsection)"
                                       : "") +
                "\n";
    return text;
}

std::vector<std::int32_t> StoreDesignBatch(Session& session, const DesignBatch& batch,
                                           const Progress& progress) {
    if (batch.Designs.empty()) throw RunError(err::DesignFileInvalid, "the file holds no design");
    std::int64_t total = 0;
    for (const UoaDesign& design : batch.Designs)
        total += static_cast<std::int64_t>(design.Tiles.size());
    Shelves library(session, adLockOptimistic);
    std::vector<std::int32_t> ids;
    ids.reserve(batch.Designs.size());
    Transaction transaction(session.cnTemplates);
    // A big template reports its own blocks; across small ones the batch reports, so that a
    // cancel is heard either way.
    ProgressTicker ticker(progress, total);
    std::int64_t done = 0;
    for (size_t d = 0; d < batch.Designs.size(); ++d) {
        const UoaDesign& design = batch.Designs[d];
        ticker.Checkpoint(done);
        Progress within;
        if (progress)
            within = [&](std::int64_t n, std::int64_t) { return progress(done + n, total); };
        try {
            FilingByName filing = FilingOf(LabelsOf(design));
            auto [categoryId, subsectionId] = library.Made(filing);
            DesignIntoBuffer(design, session.Buffer, session.Components);
            ids.push_back(SaveNewTemplate(
                session.cnTemplates, session.Buffer,
                {std::to_string(categoryId), std::to_string(subsectionId), filing.Description},
                within));
        } catch (const RunError& failure) {
            ClearComponentBuffer(session.Buffer);
            if (failure.Number == err::Cancelled) throw;
            throw RunError(failure.Number, DesignName(batch, d) + ": " + failure.Description);
        }
        done += static_cast<std::int64_t>(design.Tiles.size());
    }
    transaction.Commit();
    return ids;
}

} // namespace mw
