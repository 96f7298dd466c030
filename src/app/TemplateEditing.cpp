#include "app/TemplateEditing.h"

#include "app/Session.h"
#include "store/SaveNewTemplate.h"

namespace mw {

EditedTemplate OpenTemplate(Session& session, std::int32_t templateId) {
    EditedTemplate edited{StoredTemplateRow(session.cnTemplates, templateId),
                          LoadStoredComponents(session.cnTemplates, templateId)};
    ApplyComponentsList(edited.Components, session.Components);
    return edited;
}

void SaveTemplate(Session& session, const EditedTemplate& edited, const Progress& progress) {
    SaveStoredComponents(session.cnTemplates, edited.Row.TempIndexID, edited.Components,
                         session.Components, progress);
}

std::int32_t SaveTemplateAsNew(Session& session, EditedTemplate& edited,
                               const NewTemplateFields& fields, const Progress& progress) {
    std::int32_t id = SaveComponentsAsNew(session.cnTemplates, edited.Components, fields,
                                          session.Components, progress);
    edited.Row = StoredTemplateRow(session.cnTemplates, id);
    return id;
}

} // namespace mw
