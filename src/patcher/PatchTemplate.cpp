#include "patcher/PatchTemplate.h"

#include "store/TemplateBlocks.h"

namespace mw {

PatchResult PatchTemplate(Connection& cnTemplates, ComponentBuffer& buffer,
                          const ComponentsList& list, std::int32_t templateId,
                          const PatchTargets& targets, const StatusLine& status,
                          const Progress& progress) {
    auto say = [&](const char* text) {
        if (status) status(text);
    };
    say(ReadingTemplateText);
    LoadTemplateBlocks(cnTemplates, buffer, list, templateId, progress);
    say(PleaseWaitText);
    PatchResult place = PatchGameFiles(buffer, targets, progress);
    say(PatchingCompletedText);
    return place;
}

} // namespace mw
