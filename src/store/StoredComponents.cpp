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

// The template's blocks in stored order, each with its row's key.
std::vector<std::pair<Key, Component>> StoredRows(Connection& cn, std::int32_t templateId) {
    Statement rows = Bound(cn,
                           "select TempBlockID, ItemID, X, Y, Z, Flag from TemplateBlocks "
                           "where TempIndexID = ?1 order by TempBlockID",
                           std::int64_t{templateId});
    std::vector<std::pair<Key, Component>> stored;
    while (rows.Step()) // the schema keeps every column in the range of its type
        stored.push_back(
            {rows.Int(0),
             {static_cast<std::int32_t>(rows.Int(1)), static_cast<std::int16_t>(rows.Int(2)),
              static_cast<std::int16_t>(rows.Int(3)), static_cast<std::int16_t>(rows.Int(4)),
              static_cast<std::int16_t>(rows.Int(5))}});
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

// Binds the component's five values and then `last` (the row's key, or the template's).
void Write(Statement& statement, const Component& c, Key last) {
    const std::array<std::int64_t, 6> values{c.ItemID, c.X, c.Y, c.Z, c.Flag, last};
    for (size_t slot = 0; slot < values.size(); ++slot)
        statement.Bind(static_cast<int>(slot) + 1, values[slot]);
    statement.Step();
    statement.Rewind();
}

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
    TemplateComponents components;
    for (const auto& [key, component] : StoredRows(cnTemplates, templateId))
        components.push_back(component);
    return components;
}

// Rows are rewritten in place, and only where they change: the rows keep their order, and a
// save costs what changed, not a deletion and an insertion of every row.
void SaveStoredComponents(Connection& cnTemplates, std::int32_t templateId,
                          const TemplateComponents& components, const ComponentsList& list,
                          const Progress& progress) {
    RequireComponents(components);
    cnTemplates.OpenConnection("");
    Transaction transaction(cnTemplates);
    StoredTemplateRow(cnTemplates, templateId);
    auto stored = StoredRows(cnTemplates, templateId);
    Statement update = cnTemplates.Prepare("update TemplateBlocks set ItemID = ?1, X = ?2, "
                                           "Y = ?3, Z = ?4, Flag = ?5 where TempBlockID = ?6");
    Statement insert = cnTemplates.Prepare(
        "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) values (?1, ?2, ?3, ?4, "
        "?5, ?6)");
    ProgressTicker ticker(progress, static_cast<std::int64_t>(components.size()));
    for (size_t i = 0; i < components.size(); ++i) {
        ticker.Step(static_cast<std::int64_t>(i));
        Component filed = Filed(components, i, list);
        if (i >= stored.size())
            Write(insert, filed, templateId);
        else if (!(stored[i].second == filed))
            Write(update, filed, stored[i].first);
    }
    if (stored.size() > components.size())
        Execute(cnTemplates,
                "delete from TemplateBlocks where TempIndexID = ?1 and TempBlockID > ?2",
                std::int64_t{templateId}, stored[components.size() - 1].first);
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
