#pragma once

#include "common/Progress.h"
#include "formats/TemplateComponents.h"

#include <cstdint>
#include <string>

namespace mw {

class ComponentsList;
class Connection;
struct NewTemplateFields;

// A stored template as typed values, for editing: loaded whole, and saved back in place or as a
// new template. Every save is one transaction: on any failure (a full disk, a locked library, a
// cancel) the library keeps the template exactly as it was, and the values given are untouched.

// A template's index row.
struct StoredTemplate {
    std::int32_t TempIndexID = 0;
    std::int32_t CategoryID = 0, SubsectID = 0;
    std::string Description;
};

// Fails with the no-current-row error, naming the id, when no template has it.
StoredTemplate StoredTemplateRow(Connection& cnTemplates, std::int32_t templateId);

// The template's components in stored order, flags as stored.
TemplateComponents LoadStoredComponents(Connection& cnTemplates, std::int32_t templateId);

// Replaces the template's components: its index row keeps its key, filing and description, and
// takes the new count; the blocks are rewritten in the given order, flags recomputed from the
// list as an import sets them. A template without components is refused.
void SaveStoredComponents(Connection& cnTemplates, std::int32_t templateId,
                          const TemplateComponents& components, const ComponentsList& list,
                          const Progress& progress = {});

// Stores the components as a new template where the fields say (see SaveNewTemplate), flags
// recomputed likewise; returns its key.
std::int32_t SaveComponentsAsNew(Connection& cnTemplates, const TemplateComponents& components,
                                 const NewTemplateFields& fields, const ComponentsList& list,
                                 const Progress& progress = {});

} // namespace mw
