#include "store/StoredComponents.h"

#include "common/RunError.h"
#include "formats/ComponentBuffer.h"
#include "store/Queries.h"
#include "store/SaveNewTemplate.h"

#include <array>
#include <utility>
#include <vector>

namespace mw {

namespace {

using Key = std::int64_t;

// The keys of the template's blocks in stored order, read from the index alone.
std::vector<Key> BlockKeys(Connection& cn, std::int32_t templateId) {
    Statement rows = Bound(cn,
                           "select TempBlockID from TemplateBlocks where TempIndexID = ?1 "
                           "order by TempBlockID",
                           std::int64_t{templateId});
    std::vector<Key> keys;
    while (rows.Step())
        keys.push_back(rows.Int(0));
    return keys;
}

// The template's blocks in stored order.
TemplateComponents StoredRows(Connection& cn, std::int32_t templateId) {
    Statement rows = Bound(cn,
                           "select ItemID, X, Y, Z, Flag from TemplateBlocks "
                           "where TempIndexID = ?1 order by TempBlockID",
                           std::int64_t{templateId});
    TemplateComponents stored;
    while (rows.Step()) // the schema keeps every column in the range of its type
        stored.push_back(
            {static_cast<std::int32_t>(rows.Int(0)), static_cast<std::int16_t>(rows.Int(1)),
             static_cast<std::int16_t>(rows.Int(2)), static_cast<std::int16_t>(rows.Int(3)),
             static_cast<std::int16_t>(rows.Int(4))});
    return stored;
}

Component Filed(const TemplateComponents& components, size_t i, const ComponentsList& list) {
    Component c = components[i];
    try {
        c.Flag = FlagFor(c.ItemID, list);
    } catch (const RunError& failure) {
        throw RunError(failure.Number,
                       "Component " + std::to_string(i + 1) + ": " + failure.Description);
    }
    return c;
}

// Binds the component's five values and then the template's key.
void Write(Statement& statement, const Component& c, Key last) {
    const std::array<std::int64_t, 6> values{c.ItemID, c.X, c.Y, c.Z, c.Flag, last};
    for (size_t slot = 0; slot < values.size(); ++slot)
        statement.Bind(static_cast<int>(slot) + 1, values[slot]);
    statement.Step();
    statement.Rewind();
}

// Rows rewritten many to a statement: one statement per row spends most of its time starting
// and ending statements (as CTempBlock's inserts do).
class RowUpdates {
public:
    explicit RowUpdates(Connection& cn)
        : several_(cn.Prepare(Sql(Batch))), one_(cn.Prepare(Sql(1))) {}
    void Add(Key key, const Component& c) {
        pending_.push_back({key, c});
        if (pending_.size() == Batch) Run(several_, pending_.size());
    }
    void Finish() {
        while (!pending_.empty())
            Run(one_, 1);
    }

private:
    static constexpr size_t Batch = 256;
    static std::string Sql(size_t rows) {
        std::string sql = "update TemplateBlocks set ItemID = v.column2, X = v.column3, Y = "
                          "v.column4, Z = v.column5, Flag = v.column6 from (values ";
        for (size_t row = 0; row < rows; ++row)
            sql += row ? ",(?,?,?,?,?,?)" : "(?,?,?,?,?,?)";
        // A row that would not change is not written.
        return sql + ") as v where TempBlockID = v.column1 and (ItemID, X, Y, Z, Flag) is not "
                     "(v.column2, v.column3, v.column4, v.column5, v.column6)";
    }
    // Rewrites the last `rows` pending rows.
    void Run(Statement& statement, size_t rows) {
        int slot = 0;
        for (size_t at = pending_.size() - rows; at < pending_.size(); ++at) {
            const auto& [key, c] = pending_[at];
            for (std::int64_t value : {key, std::int64_t{c.ItemID}, std::int64_t{c.X},
                                       std::int64_t{c.Y}, std::int64_t{c.Z}, std::int64_t{c.Flag}})
                statement.Bind(++slot, value);
        }
        statement.Step();
        statement.Rewind();
        pending_.resize(pending_.size() - rows);
    }

    Statement several_, one_;
    std::vector<std::pair<Key, Component>> pending_;
};

void RequireComponents(const TemplateComponents& components) {
    if (components.empty())
        throw RunError(err::SubscriptOutOfRange,
                       "The template has no components: there is nothing to save");
}

} // namespace

StoredTemplate StoredTemplateRow(Connection& cnTemplates, std::int32_t templateId) {
    Statement row = Bound(cnTemplates,
                          "select CategoryID, SubsectID, Description from TemplateIndex "
                          "where TempIndexID = ?1",
                          std::int64_t{templateId});
    if (!row.Step())
        throw RunError(err::NoCurrentRow, "No template has the id " + std::to_string(templateId));
    return {templateId, static_cast<std::int32_t>(row.Int(0)),
            static_cast<std::int32_t>(row.Int(1)), row.Text(2)};
}

TemplateComponents LoadStoredComponents(Connection& cnTemplates, std::int32_t templateId) {
    StoredTemplateRow(cnTemplates, templateId);
    return StoredRows(cnTemplates, templateId);
}

// Rows are rewritten in place, and only where they change: the rows keep their order, and a
// save costs about what an import of the template costs, not a deletion and an insertion of
// every row.
void SaveStoredComponents(Connection& cnTemplates, std::int32_t templateId,
                          const TemplateComponents& components, const ComponentsList& list,
                          const Progress& progress) {
    RequireComponents(components);
    cnTemplates.OpenConnection("");
    Transaction transaction(cnTemplates);
    StoredTemplateRow(cnTemplates, templateId);
    std::vector<Key> stored = BlockKeys(cnTemplates, templateId);
    RowUpdates updates(cnTemplates);
    Statement insert = cnTemplates.Prepare(
        "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) values (?1, ?2, ?3, ?4, "
        "?5, ?6)");
    ProgressTicker ticker(progress, static_cast<std::int64_t>(components.size()));
    for (size_t i = 0; i < components.size(); ++i) {
        ticker.Step(static_cast<std::int64_t>(i));
        Component filed = Filed(components, i, list);
        if (i >= stored.size())
            Write(insert, filed, templateId);
        else
            updates.Add(stored[i], filed);
    }
    updates.Finish();
    if (stored.size() > components.size())
        Execute(cnTemplates,
                "delete from TemplateBlocks where TempIndexID = ?1 and TempBlockID > ?2",
                std::int64_t{templateId}, stored[components.size() - 1]);
    Execute(cnTemplates, "update TemplateIndex set BlockCount = ?1 where TempIndexID = ?2",
            static_cast<std::int64_t>(components.size()), std::int64_t{templateId});
    transaction.Commit();
}

std::int32_t SaveComponentsAsNew(Connection& cnTemplates, const TemplateComponents& components,
                                 const NewTemplateFields& fields, const ComponentsList& list,
                                 const Progress& progress) {
    RequireComponents(components);
    TemplateComponents filed;
    filed.reserve(components.size());
    for (size_t i = 0; i < components.size(); ++i)
        filed.push_back(Filed(components, i, list));
    ComponentBuffer buffer;
    FillBuffer(buffer, filed);
    return SaveNewTemplate(cnTemplates, buffer, fields, progress);
}

} // namespace mw
