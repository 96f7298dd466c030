#include "app/PatchAndScripts.h"

#include "app/Session.h"
#include "store/CTempIndex.h"
#include "store/TemplateRows.h"

namespace mw {

void RequireStoredTemplate(Session& session, std::int32_t templateId) {
    CTempIndex index(session.cnTemplates);
    index.Connect(session.DatabasePath(), adUseServer, adLockReadOnly);
    RequireTemplate(index, templateId);
}

PatchResult PatchStoredTemplate(Session& session, std::int32_t templateId, const StatusLine& status,
                                const Progress& progress, std::optional<std::uint32_t> replace,
                                const PatchNotice& notice) {
    PatchTargets targets = session.Targets();
    targets.Replace = replace;
    targets.Notice = notice;
    PatchResult result = PatchTemplate(session.cnTemplates, session.Buffer, session.Components,
                                       templateId, targets, status, progress);
    session.PatchSlot = result.PatchSlot;
    return result;
}

std::string ScriptsForLastPatch(Session& session, std::int16_t ScriptFormat,
                                const ScriptEntry& entry) {
    ApplyComponentsList(session.Buffer, session.Components);
    return MakeScripts(ScriptFormat, {session.Buffer, session.Components, session.PatchSlot},
                       entry);
}

} // namespace mw
