#pragma once

#include "store/RecordObject.h"

namespace mw {

// The categories of the library (table Category).
class CCategory : public RecordObject {
public:
    explicit CCategory(Connection& cnTemplates) : RecordObject(cnTemplates, CategoryTable()) {}

    void SaveChanges() { Rows().Update({pendingName_}); }
    std::int32_t CategoryID() { return LongField("CategoryID"); }
    std::string Name() { return TextField("Name"); }
    void Name(std::string vNewValue) { pendingName_ = std::move(vNewValue); }

private:
    std::string pendingName_;
};

} // namespace mw
