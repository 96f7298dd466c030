#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mw {

class CCategory;
class CSubSection;

// Two names of categories or subsections are the same when they differ only in blanks around
// them and in the case of the letters A to Z; under one parent there is only one of a name.
bool SameName(std::string_view a, std::string_view b);

// A name as it is filed: without blanks around it. An empty one is refused with a RunError
// naming `what` ("category", "subsection").
std::string FiledName(std::string_view name, const char* what);

// Categories and subsections found by name (the same-name rule), as a script names them. Adding
// one whose name the parent already has gives the existing one, so that a second entry of the
// same name is never made.
std::optional<std::int32_t> FindCategory(CCategory& Category, const std::string& name);
std::optional<std::int32_t> FindSubSection(CSubSection& SubSection, std::int32_t categoryId,
                                           const std::string& name);
std::int32_t AddCategory(CCategory& Category, const std::string& name);
std::int32_t AddSubSection(CSubSection& SubSection, std::int32_t categoryId,
                           const std::string& name);

} // namespace mw
