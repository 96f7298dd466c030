#include "store/Filing.h"

#include "store/CCategory.h"
#include "store/CSubSection.h"

namespace mw {

namespace {

// The SQL-free way through a row set: quotes in a name are written twice inside the filter.
std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

std::optional<std::int32_t> FindCategory(CCategory& Category, const std::string& name) {
    Category.Filter("Name=" + Quoted(name));
    std::optional<std::int32_t> id;
    if (Category.RecordCount() > 0) id = Category.CategoryID();
    Category.Unfilter();
    return id;
}

std::optional<std::int32_t> FindSubSection(CSubSection& SubSection, std::int32_t categoryId,
                                           const std::string& name) {
    SubSection.Filter("CategoryID='" + std::to_string(categoryId) + "'");
    std::optional<std::int32_t> id;
    for (std::int32_t n = SubSection.RecordCount(); n > 0 && !id; --n, SubSection.MoveNext())
        if (SubSection.Name() == name) id = SubSection.SubsectID();
    SubSection.Unfilter();
    return id;
}

std::int32_t AddCategory(CCategory& Category, const std::string& name) {
    Category.AddItem();
    Category.Name(name);
    Category.SaveChanges();
    return Category.CategoryID();
}

std::int32_t AddSubSection(CSubSection& SubSection, std::int32_t categoryId,
                           const std::string& name) {
    SubSection.AddItem();
    SubSection.Name(name);
    SubSection.CategoryID(categoryId);
    SubSection.SaveChanges();
    return SubSection.SubsectID();
}

} // namespace mw
