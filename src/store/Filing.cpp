#include "store/Filing.h"

#include "common/Convert.h"
#include "common/RunError.h"
#include "store/CCategory.h"
#include "store/CSubSection.h"

#include <algorithm>

namespace mw {

namespace {

char Folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool SameName(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Folded(x) == Folded(y); });
}

std::string FiledName(std::string_view name, const char* what) {
    std::string_view trimmed = Trim(name);
    if (trimmed.empty())
        throw RunError(err::InvalidProcedureCall, std::string("A ") + what + " needs a name");
    return std::string(trimmed);
}

std::optional<std::int32_t> FindCategory(CCategory& Category, const std::string& name) {
    Category.Unfilter();
    std::optional<std::int32_t> id;
    for (std::int32_t n = Category.RecordCount(); n > 0 && !id; --n, Category.MoveNext())
        if (SameName(Category.Name(), name)) id = Category.CategoryID();
    Category.Unfilter();
    return id;
}

std::optional<std::int32_t> FindSubSection(CSubSection& SubSection, std::int32_t categoryId,
                                           const std::string& name) {
    SubSection.Filter("CategoryID='" + std::to_string(categoryId) + "'");
    std::optional<std::int32_t> id;
    for (std::int32_t n = SubSection.RecordCount(); n > 0 && !id; --n, SubSection.MoveNext())
        if (SameName(SubSection.Name(), name)) id = SubSection.SubsectID();
    SubSection.Unfilter();
    return id;
}

std::int32_t AddCategory(CCategory& Category, const std::string& name) {
    std::string filed = FiledName(name, "category");
    if (auto existing = FindCategory(Category, filed)) return *existing;
    Category.AddItem();
    Category.Name(filed);
    Category.SaveChanges();
    return Category.CategoryID();
}

std::int32_t AddSubSection(CSubSection& SubSection, std::int32_t categoryId,
                           const std::string& name) {
    std::string filed = FiledName(name, "subsection");
    if (auto existing = FindSubSection(SubSection, categoryId, filed)) return *existing;
    SubSection.AddItem();
    SubSection.Name(filed);
    SubSection.CategoryID(categoryId);
    SubSection.SaveChanges();
    return SubSection.SubsectID();
}

} // namespace mw
