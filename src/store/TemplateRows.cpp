#include "store/TemplateRows.h"

#include "common/RunError.h"
#include "store/CTempBlock.h"
#include "store/CTempIndex.h"

#include <string>

namespace mw {

void RequireTemplate(CTempIndex& TempIndex, std::int32_t id) {
    TempIndex.Filter("TempIndexID='" + std::to_string(id) + "'");
    if (TempIndex.RecordCount() == 0)
        throw RunError(err::NoCurrentRow, "No template has the id " + std::to_string(id));
}

void DeleteTemplate(Connection& cnTemplates, CTempIndex& TempIndex, CTempBlock& TempBlock,
                    std::int32_t id) {
    Transaction deletion(cnTemplates);
    RequireTemplate(TempIndex, id);
    TempBlock.DeleteAll(id);
    TempIndex.Delete();
    deletion.Commit();
}

} // namespace mw
