#include "store/LibraryListing.h"

#include "store/CCategory.h"
#include "store/CSubSection.h"
#include "store/CTempIndex.h"

#include <algorithm>
#include <unordered_map>

namespace mw {

namespace {

// Subsection names by id, looked up once per fill rather than once per template.
class SubsectionNames {
public:
    explicit SubsectionNames(CSubSection& subsections) : subsections_(subsections) {}
    const std::string& Name(const std::string& subsectId) {
        auto found = names_.find(subsectId);
        if (found != names_.end()) return found->second;
        subsections_.Filter("SubSectID='" + subsectId + "'");
        return names_.emplace(subsectId, subsections_.Name()).first->second;
    }

private:
    CSubSection& subsections_;
    std::unordered_map<std::string, std::string> names_;
};

ListedCategory& CategoryEntry(std::vector<ListedCategory>& listing, const std::string& name) {
    auto same = [&](const ListedCategory& c) { return c.Name == name; };
    auto found = std::find_if(listing.begin(), listing.end(), same);
    if (found != listing.end()) return *found;
    listing.push_back({name, {}});
    return listing.back();
}

// A subsection's entry is known by its name together with the category it stands under, so that
// names that merely look alike when glued to an id never share one.
ListedSubsection& SubsectionEntry(ListedCategory& category, const std::string& name,
                                  std::int32_t categoryId) {
    auto same = [&](const ListedSubsection& s) {
        return s.Name == name && s.CategoryID == categoryId;
    };
    auto found = std::find_if(category.Subsections.begin(), category.Subsections.end(), same);
    if (found != category.Subsections.end()) return *found;
    category.Subsections.push_back({name, categoryId, {}});
    return category.Subsections.back();
}

void ListCategory(std::vector<ListedCategory>& listing, CTempIndex& TempIndex, CCategory& Category,
                  SubsectionNames& subsections, std::vector<RunError>& failures) {
    std::int32_t categoryId = Category.CategoryID();
    TempIndex.Filter("CategoryID='" + std::to_string(categoryId) + "'");
    std::int32_t count = TempIndex.RecordCount();
    if (count == 0) return;
    ListedCategory& category = CategoryEntry(listing, Category.Name());
    for (std::int32_t i = 0; i < count; ++i, TempIndex.MoveNext()) {
        try {
            const std::string& name = subsections.Name(TempIndex.SubsectID());
            SubsectionEntry(category, name, categoryId)
                .Templates.push_back(
                    {TempIndex.TempIndexID(), TempIndex.Description(), TempIndex.BlockCount()});
        } catch (const RunError& failure) {
            failures.push_back(failure);
        }
    }
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
            ListCategory(listing, TempIndex, Category, subsections, failures);
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
