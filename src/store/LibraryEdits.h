#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mw {

class Connection;

// Changes to the library's tree of categories, subsections and templates. Each is one
// transaction: on a failure nothing is changed. Unknown ids fail with the no-current-row
// error naming them; names follow the same-name rule of store/Filing.h, and a name that
// another category (or another subsection of the same category) already has is refused.

// A template's new description, without blanks around it; an empty one is refused.
void RenameTemplate(Connection& cnTemplates, std::int32_t templateId,
                    const std::string& description);

// Files the template under another category and subsection, which must belong to it. The
// template keeps its key and its components.
void MoveTemplate(Connection& cnTemplates, std::int32_t templateId, std::int32_t categoryId,
                  std::int32_t subsectId);

// A copy of the template, components and filing, under a new description: "Copy of " and the
// template's description when none is given. Returns the copy's key.
std::int32_t CopyTemplate(Connection& cnTemplates, std::int32_t templateId,
                          const std::string& description = {});

// The stored name of a category or subsection.
std::string CategoryName(Connection& cnTemplates, std::int32_t categoryId);
std::string SubSectionName(Connection& cnTemplates, std::int32_t subsectId);

void RenameCategory(Connection& cnTemplates, std::int32_t categoryId, const std::string& name);
// Categories of one name (an old library may have several), which the tree shows as one.
void RenameCategory(Connection& cnTemplates, const std::vector<std::int32_t>& categoryIds,
                    const std::string& name);
void RenameSubSection(Connection& cnTemplates, std::int32_t subsectId, const std::string& name);

// How many templates are filed under the category or subsection, for the question that asks
// before one that holds templates is deleted.
std::int32_t CategoryTemplateCount(Connection& cnTemplates, std::int32_t categoryId);
std::int32_t SubSectionTemplateCount(Connection& cnTemplates, std::int32_t subsectId);

// Deletes the category with its subsections, or the subsection, and every template filed under
// it (blocks and index rows). Returns how many templates went with it.
std::int32_t DeleteCategory(Connection& cnTemplates, std::int32_t categoryId);
std::int32_t DeleteSubSection(Connection& cnTemplates, std::int32_t subsectId);

} // namespace mw
