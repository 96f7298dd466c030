#pragma once

#include "store/RecordObject.h"

namespace mw {

// One row per template (table TemplateIndex). The category and subsection ids cross this
// interface as decimal text in both directions.
class CTempIndex : public RecordObject {
public:
    explicit CTempIndex(Connection& cnTemplates)
        : RecordObject(cnTemplates, TemplateIndexTable()) {}

    void SaveChanges();
    std::int32_t TempIndexID() { return LongField("TempIndexID"); }
    std::int32_t BlockCount() { return LongField("BlockCount"); }
    void BlockCount(std::int32_t vNewValue) { pendingBlockCount_ = vNewValue; }
    std::string CategoryID() { return std::to_string(LongField("CategoryID")); }
    void CategoryID(std::string_view vNewValue);
    std::string SubsectID() { return std::to_string(LongField("SubsectID")); }
    void SubsectID(std::string_view vNewValue);
    std::string Description() { return TextField("Description"); }
    void Description(std::string vNewValue) { pendingDescription_ = std::move(vNewValue); }

private:
    std::int32_t pendingBlockCount_ = 0;
    std::int32_t pendingCategoryID_ = 0;
    std::int32_t pendingSubsectID_ = 0;
    std::string pendingDescription_;
};

} // namespace mw
