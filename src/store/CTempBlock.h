#pragma once

#include "common/Progress.h"
#include "store/RecordObject.h"

#include <array>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mw {

// The components of the templates (table TemplateBlocks), with set operations: delete all blocks
// of a template, and queue blocks to insert them all in one transaction.
class CTempBlock : public RecordObject {
public:
    explicit CTempBlock(Connection& cnTemplates)
        : RecordObject(cnTemplates, TemplateBlocksTable()) {}

    std::int32_t ItemID() { return LongField("ItemID"); }
    std::int16_t X() { return IntegerField("X"); }
    std::int16_t Y() { return IntegerField("Y"); }
    std::int16_t Z() { return IntegerField("Z"); }
    std::int16_t Flag() { return IntegerField("Flag"); }
    std::int32_t TempIndexID() { return LongField("TempIndexID"); }

    void DeleteAll(std::int32_t TempIndexID);
    // The six values are texts as a file gave them; the engine converts numbers and refuses
    // anything else, and no text ever becomes part of a statement.
    void AddSQL(std::string_view ItemID, std::string_view X, std::string_view Y, std::string_view Z,
                std::string_view Flag, std::string_view TempIndexID);
    // Inserts every queued block in one transaction: all of them or, on a failure, none, and the
    // failure goes to the caller. The queue stays as it is.
    void Execute(const Progress& progress = {});

private:
    using Values = std::array<std::string_view, 6>;
    // A queued block holds numbers where the texts are numbers, and the texts otherwise, so that
    // a million queued blocks stay small.
    struct QueuedBlock {
        std::array<std::int32_t, 6> Number;
        std::uint8_t TextMask = 0;
    };

    QueuedBlock Queue(const Values& values);
    void Bind(Statement& insert, size_t index, int firstSlot = 1) const;
    void InsertEach(Statement& single, size_t from, size_t count) const;

    std::vector<QueuedBlock> queue_;
    std::unordered_map<size_t, std::string> texts_; // block * 6 + field -> text
};

} // namespace mw
