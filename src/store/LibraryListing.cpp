#include "store/LibraryListing.h"

#include "store/CCategory.h"
#include "store/CSubSection.h"
#include "store/CTempIndex.h"

#include <algorithm>
#include <unordered_map>

namespace mw {

namespace {

struct SubsectionRow {
    std::string Name;
    std::int32_t SubsectID = 0;
};

// Subsections by id, looked up once per fill rather than once per template.
class SubsectionNames {
public:
    explicit SubsectionNames(CSubSection& subsections) : subsections_(subsections) {}
    const SubsectionRow& Row(const std::string& subsectId) {
        auto found = rows_.find(subsectId);
        if (found != rows_.end()) return found->second;
        subsections_.Filter("SubSectID='" + subsectId + "'");
        SubsectionRow row{subsections_.Name(), subsections_.SubsectID()};
        return rows_.emplace(subsectId, std::move(row)).first->second;
    }

private:
    CSubSection& subsections_;
    std::unordered_map<std::string, SubsectionRow> rows_;
};

ListedCategory& CategoryEntry(std::vector<ListedCategory>& listing, const std::string& name) {
    auto same = [&](const ListedCategory& c) { return c.Name == name; };
    auto found = std::find_if(listing.begin(), listing.end(), same);
    if (found != listing.end()) return *found;
    listing.push_back({name, {}, {}});
    return listing.back();
}

// A subsection's entry is known by its name together with the category it stands under, so that
// names that merely look alike when glued to an id never share one.
ListedSubsection& SubsectionEntry(ListedCategory& category, const SubsectionRow& row,
                                  std::int32_t categoryId) {
    auto same = [&](const ListedSubsection& s) {
        return s.Name == row.Name && s.CategoryID == categoryId;
    };
    auto found = std::find_if(category.Subsections.begin(), category.Subsections.end(), same);
    if (found != category.Subsections.end()) return *found;
    category.Subsections.push_back({row.Name, categoryId, row.SubsectID, {}});
    return category.Subsections.back();
}

// The category's subsections that hold no template yet, after those that do.
void ListEmptySubsections(ListedCategory& category, CSubSection& SubSection,
                          std::int32_t categoryId) {
    SubSection.Filter("CategoryID='" + std::to_string(categoryId) + "'");
    std::int32_t count = SubSection.RecordCount();
    for (std::int32_t i = 0; i < count; ++i, SubSection.MoveNext())
        SubsectionEntry(category, {SubSection.Name(), SubSection.SubsectID()}, categoryId);
}

void ListCategory(std::vector<ListedCategory>& listing, CTempIndex& TempIndex, CCategory& Category,
                  CSubSection& SubSection, SubsectionNames& subsections,
                  std::vector<RunError>& failures) {
    std::int32_t categoryId = Category.CategoryID();
    ListedCategory& category = CategoryEntry(listing, Category.Name());
    category.CategoryIDs.push_back(categoryId);
    TempIndex.Filter("CategoryID='" + std::to_string(categoryId) + "'");
    std::int32_t count = TempIndex.RecordCount();
    for (std::int32_t i = 0; i < count; ++i, TempIndex.MoveNext()) {
        try {
            SubsectionEntry(category, subsections.Row(TempIndex.SubsectID()), categoryId)
                .Templates.push_back(
                    {TempIndex.TempIndexID(), TempIndex.Description(), TempIndex.BlockCount()});
        } catch (const RunError& failure) {
            failures.push_back(failure);
        }
    }
    ListEmptySubsections(category, SubSection, categoryId);
}

} // namespace

std::vector<ListedCategory> ListTemplates(CTempIndex& TempIndex, CCategory& Category,
                                          CSubSection& SubSection,
                                          std::vector<RunError>& failures) {
    std::vector<ListedCategory> listing;
    SubsectionNames subsections(SubSection);
    Category.Unfilter();
    std::int32_t categories = Category.RecordCount();
    for (std::int32_t c = 0; c < categories; ++c, Category.MoveNext()) {
        try {
            ListCategory(listing, TempIndex, Category, SubSection, subsections, failures);
        } catch (const RunError& failure) {
            failures.push_back(failure);
        }
    }
    TempIndex.Unfilter();
    Category.Unfilter();
    SubSection.Unfilter();
    return listing;
}

} // namespace mw
