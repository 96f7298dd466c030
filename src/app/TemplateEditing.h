#pragma once

#include "common/Progress.h"
#include "formats/TemplateComponents.h"
#include "store/StoredComponents.h"

#include <cstdint>

namespace mw {

struct NewTemplateFields;
struct Session;

// A stored template open for editing: the index row it came from and its components as typed
// values, which the steps of app/Transforms.h change in memory. Its flags are those that
// components.txt gives, as an import sets them, so that what is shown is what a save stores.
struct EditedTemplate {
    StoredTemplate Row;
    TemplateComponents Components;
};

EditedTemplate OpenTemplate(Session& session, std::int32_t templateId);

// "Save": the stored template's components become the edited ones, in one transaction; its key
// and filing stay (see SaveStoredComponents). On failure the library keeps the template as it
// was and the edited one is untouched.
void SaveTemplate(Session& session, const EditedTemplate& edited, const Progress& progress = {});

// "Save as New": the edited components filed as a new template where the fields say; the stored
// original is not touched. On success the edited template is the new one from then on (its
// Row); on failure nothing changes. Returns the new key.
std::int32_t SaveTemplateAsNew(Session& session, EditedTemplate& edited,
                               const NewTemplateFields& fields, const Progress& progress = {});

} // namespace mw
