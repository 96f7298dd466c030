#pragma once

#include "store/RecordObject.h"

namespace mw {

// The subsections of the categories (table SubSection).
class CSubSection : public RecordObject {
public:
    explicit CSubSection(Connection& cnTemplates) : RecordObject(cnTemplates, SubSectionTable()) {}

    void SaveChanges() { Rows().Update({std::int64_t{pendingCategoryID_}, pendingName_}); }
    std::int32_t SubsectID() { return LongField("SubsectID"); }
    std::string Name() { return TextField("Name"); }
    void Name(std::string vNewValue) { pendingName_ = std::move(vNewValue); }
    std::int32_t CategoryID() { return LongField("CategoryID"); }
    void CategoryID(std::int32_t vNewValue) { pendingCategoryID_ = vNewValue; }

private:
    std::string pendingName_;
    std::int32_t pendingCategoryID_ = 0;
};

} // namespace mw
