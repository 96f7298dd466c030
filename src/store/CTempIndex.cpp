#include "store/CTempIndex.h"

#include "common/Convert.h"

namespace mw {

void CTempIndex::SaveChanges() {
    Rows().Update({std::int64_t{pendingBlockCount_}, std::int64_t{pendingCategoryID_},
                   std::int64_t{pendingSubsectID_}, pendingDescription_});
}

// A text that is no number fails before the pending value changes.
void CTempIndex::CategoryID(std::string_view vNewValue) {
    pendingCategoryID_ = ToLong(vNewValue);
}

void CTempIndex::SubsectID(std::string_view vNewValue) {
    pendingSubsectID_ = ToLong(vNewValue);
}

} // namespace mw
