#pragma once

#include "common/Progress.h"

#include <cstdint>
#include <string>

namespace mw {

class Connection;
struct ComponentBuffer;

// Where the template info dialog filed the new template.
struct NewTemplateFields {
    std::string NewCategoryID;     // decimal text
    std::string NewSubsectID;      // decimal text
    std::string strNewDescription; // the template's name
};

// Stores the buffer's components as a new template: its index row and one block row per
// component, in the buffer's order, all in one transaction. Returns the new template's key.
// On any failure nothing of the template is stored and the RunError goes to the caller.
std::int32_t SaveNewTemplate(Connection& cnTemplates, const ComponentBuffer& buffer,
                             const NewTemplateFields& fields, const Progress& progress = {});

} // namespace mw
