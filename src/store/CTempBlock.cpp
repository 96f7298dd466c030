#include "store/CTempBlock.h"

#include "common/Convert.h"
#include "common/RunError.h"

#include <cmath>

namespace mw {

namespace {

constexpr const char* InsertBlock =
    "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) "
    "values (?1, ?2, ?3, ?4, ?5, ?6)";

// Blocks go to the engine many rows per statement: one statement per row spends most of its
// time starting and ending statements.
constexpr size_t BlocksPerInsert = 64;

std::string InsertSeveral(size_t rows) {
    std::string sql = "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) values ";
    for (size_t row = 0; row < rows; ++row)
        sql += row ? ",(?,?,?,?,?,?)" : "(?,?,?,?,?,?)";
    return sql;
}

// The whole number a text stands for, as the engine would convert a quoted number.
std::optional<std::int32_t> EngineNumber(std::string_view text) {
    auto number = ParseNumber(text);
    if (!number) return std::nullopt;
    double rounded = RoundHalfEven(*number);
    if (rounded < INT32_MIN || rounded > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

} // namespace

CTempBlock::QueuedBlock CTempBlock::Queue(const Values& values) {
    QueuedBlock block{};
    for (size_t field = 0; field < values.size(); ++field) {
        if (auto number = EngineNumber(values[field])) {
            block.Number[field] = *number;
        } else {
            block.TextMask |= static_cast<std::uint8_t>(1u << field);
            texts_[queue_.size() * 6 + field] = std::string(values[field]);
        }
    }
    return block;
}

void CTempBlock::Bind(Statement& insert, size_t index, int firstSlot) const {
    const QueuedBlock& block = queue_[index];
    for (size_t field = 0; field < 6; ++field) {
        int slot = static_cast<int>(field) + firstSlot;
        if (block.TextMask & (1u << field))
            insert.Bind(slot, std::string_view(texts_.at(index * 6 + field)));
        else
            insert.Bind(slot, std::int64_t{block.Number[field]});
    }
}

void CTempBlock::DeleteAll(std::int32_t TempIndexID) {
    cnTemplates().OpenConnection("");
    Statement remove = cnTemplates().Prepare("delete from TemplateBlocks where TempIndexID = ?1");
    remove.Bind(1, std::int64_t{TempIndexID});
    remove.Step();
}

void CTempBlock::AddSQL(std::string_view ItemID, std::string_view X, std::string_view Y,
                        std::string_view Z, std::string_view Flag, std::string_view TempIndexID) {
    QueuedBlock block = Queue({ItemID, X, Y, Z, Flag, TempIndexID});
    queue_.push_back(block);
}

// Inserts blocks one at a time, naming the first one the engine refuses.
void CTempBlock::InsertEach(Statement& single, size_t from, size_t count) const {
    for (size_t i = from; i < from + count; ++i) {
        Bind(single, i);
        try {
            single.Step();
        } catch (const RunError& failure) {
            throw RunError(failure.Number,
                           "Component " + std::to_string(i + 1) + ": " + failure.Description);
        }
        single.Rewind();
    }
}

void CTempBlock::Execute(const Progress& progress) {
    cnTemplates().OpenConnection("");
    Transaction transaction(cnTemplates());
    Statement several = cnTemplates().Prepare(InsertSeveral(BlocksPerInsert));
    Statement single = cnTemplates().Prepare(InsertBlock);
    ProgressTicker ticker(progress, static_cast<std::int64_t>(queue_.size()));
    size_t i = 0;
    for (; i + BlocksPerInsert <= queue_.size(); i += BlocksPerInsert) {
        ticker.Step(static_cast<std::int64_t>(i));
        for (size_t row = 0; row < BlocksPerInsert; ++row)
            Bind(several, i + row, static_cast<int>(row * 6 + 1));
        try {
            several.Step();
        } catch (const RunError& failure) {
            // A value the schema refused: the statement left nothing behind, so find and name
            // the component inside the same transaction. Any other failure (a full disk) may
            // have ended the transaction, and nothing may be written after it.
            if (failure.Number != err::EngineConstraintFailure || !cnTemplates().InTransaction())
                throw;
            InsertEach(single, i, BlocksPerInsert);
            throw;
        }
        several.Rewind();
    }
    InsertEach(single, i, queue_.size() - i);
    transaction.Commit();
}

} // namespace mw
