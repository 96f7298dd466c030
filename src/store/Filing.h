#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace mw {

class CCategory;
class CSubSection;

// Categories and subsections found by name, as a script names them, and added when missing.
std::optional<std::int32_t> FindCategory(CCategory& Category, const std::string& name);
std::optional<std::int32_t> FindSubSection(CSubSection& SubSection, std::int32_t categoryId,
                                           const std::string& name);
std::int32_t AddCategory(CCategory& Category, const std::string& name);
std::int32_t AddSubSection(CSubSection& SubSection, std::int32_t categoryId,
                           const std::string& name);

} // namespace mw
