#include "store/LibraryEdits.h"

#include "common/RunError.h"
#include "store/Filing.h"
#include "store/Queries.h"
#include "store/StoredComponents.h"

#include <algorithm>
#include <vector>

namespace mw {

namespace {

// Refuses a name that another row of the parent already has. `others` selects the names and
// keys of the parent's rows.
void RequireFreeName(Statement others, const std::vector<std::int32_t>& ids,
                     const std::string& name, const std::string& taken) {
    while (others.Step())
        if (std::find(ids.begin(), ids.end(), others.Int(1)) == ids.end() &&
            SameName(others.Text(0), name))
            throw RunError(err::InvalidProcedureCall, taken + " \"" + others.Text(0) + "\"");
}

std::string Name(Connection& cn, const char* sql, std::int32_t id, const char* what) {
    Statement row = Bound(cn, sql, std::int64_t{id});
    if (!row.Step())
        throw RunError(err::NoCurrentRow,
                       std::string("No ") + what + " has the id " + std::to_string(id));
    return row.Text(0);
}

std::int32_t Count(Connection& cn, const char* sql, std::int32_t id) {
    return static_cast<std::int32_t>(FirstNumber(cn, sql, std::int64_t{id}).value_or(0));
}

// Deletes the templates (blocks and index rows) whose index row has the id in `column`
// (CategoryID or SubsectID); returns how many.
std::int32_t DeleteTemplatesWhere(Connection& cn, const std::string& column, std::int32_t id) {
    const std::string filed =
        "TempIndexID in (select TempIndexID from TemplateIndex where " + column + " = ?1)";
    std::int32_t templates =
        Count(cn, ("select count(*) from TemplateIndex where " + column + " = ?1").c_str(), id);
    Execute(cn, "delete from TemplateBlocks where " + filed, std::int64_t{id});
    Execute(cn, "delete from TemplateIndex where " + column + " = ?1", std::int64_t{id});
    return templates;
}

} // namespace

void RenameTemplate(Connection& cnTemplates, std::int32_t templateId,
                    const std::string& description) {
    std::string filed = FiledName(description, "template");
    cnTemplates.OpenConnection("");
    Transaction rename(cnTemplates);
    StoredTemplateRow(cnTemplates, templateId);
    Execute(cnTemplates, "update TemplateIndex set Description = ?1 where TempIndexID = ?2", filed,
            std::int64_t{templateId});
    rename.Commit();
}

void MoveTemplate(Connection& cnTemplates, std::int32_t templateId, std::int32_t categoryId,
                  std::int32_t subsectId) {
    cnTemplates.OpenConnection("");
    Transaction move(cnTemplates);
    StoredTemplateRow(cnTemplates, templateId);
    CategoryName(cnTemplates, categoryId);
    auto owner = FirstNumber(cnTemplates, "select CategoryID from SubSection where SubsectID = ?1",
                             std::int64_t{subsectId});
    if (owner != categoryId)
        throw RunError(err::NoCurrentRow, "The category " + std::to_string(categoryId) +
                                              " has no subsection of the id " +
                                              std::to_string(subsectId));
    Execute(cnTemplates,
            "update TemplateIndex set CategoryID = ?1, SubsectID = ?2 where TempIndexID = ?3",
            std::int64_t{categoryId}, std::int64_t{subsectId}, std::int64_t{templateId});
    move.Commit();
}

std::int32_t CopyTemplate(Connection& cnTemplates, std::int32_t templateId,
                          const std::string& description) {
    cnTemplates.OpenConnection("");
    Transaction copy(cnTemplates);
    StoredTemplate original = StoredTemplateRow(cnTemplates, templateId);
    std::string name = FiledName(
        description.empty() ? "Copy of " + original.Description : description, "template");
    auto key = FirstNumber(cnTemplates,
                           "insert into TemplateIndex(BlockCount, CategoryID, SubsectID, "
                           "Description) select BlockCount, CategoryID, SubsectID, ?1 from "
                           "TemplateIndex where TempIndexID = ?2 returning TempIndexID",
                           name, std::int64_t{templateId});
    // As when a template is stored: blocks an older program left under the new key are not
    // taken over.
    Execute(cnTemplates, "delete from TemplateBlocks where TempIndexID = ?1", *key);
    Execute(cnTemplates,
            "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) select ItemID, X, Y, "
            "Z, Flag, ?1 from TemplateBlocks where TempIndexID = ?2 order by TempBlockID",
            *key, std::int64_t{templateId});
    copy.Commit();
    return static_cast<std::int32_t>(*key);
}

std::string CategoryName(Connection& cnTemplates, std::int32_t categoryId) {
    return Name(cnTemplates, "select Name from Category where CategoryID = ?1", categoryId,
                "category");
}

std::string SubSectionName(Connection& cnTemplates, std::int32_t subsectId) {
    return Name(cnTemplates, "select Name from SubSection where SubsectID = ?1", subsectId,
                "subsection");
}

void RenameCategory(Connection& cnTemplates, std::int32_t categoryId, const std::string& name) {
    RenameCategory(cnTemplates, std::vector<std::int32_t>{categoryId}, name);
}

void RenameCategory(Connection& cnTemplates, const std::vector<std::int32_t>& categoryIds,
                    const std::string& name) {
    std::string filed = FiledName(name, "category");
    cnTemplates.OpenConnection("");
    Transaction rename(cnTemplates);
    for (std::int32_t id : categoryIds)
        CategoryName(cnTemplates, id);
    RequireFreeName(Bound(cnTemplates, "select Name, CategoryID from Category"), categoryIds, filed,
                    "There is already a category named");
    for (std::int32_t id : categoryIds)
        Execute(cnTemplates, "update Category set Name = ?1 where CategoryID = ?2", filed,
                std::int64_t{id});
    rename.Commit();
}

void RenameSubSection(Connection& cnTemplates, std::int32_t subsectId, const std::string& name) {
    std::string filed = FiledName(name, "subsection");
    cnTemplates.OpenConnection("");
    Transaction rename(cnTemplates);
    SubSectionName(cnTemplates, subsectId);
    RequireFreeName(Bound(cnTemplates,
                          "select Name, SubsectID from SubSection where CategoryID = "
                          "(select CategoryID from SubSection where SubsectID = ?1)",
                          std::int64_t{subsectId}),
                    {subsectId}, filed, "Its category already has a subsection named");
    Execute(cnTemplates, "update SubSection set Name = ?1 where SubsectID = ?2", filed,
            std::int64_t{subsectId});
    rename.Commit();
}

std::int32_t CategoryTemplateCount(Connection& cnTemplates, std::int32_t categoryId) {
    return Count(cnTemplates, "select count(*) from TemplateIndex where CategoryID = ?1",
                 categoryId);
}

std::int32_t SubSectionTemplateCount(Connection& cnTemplates, std::int32_t subsectId) {
    return Count(cnTemplates, "select count(*) from TemplateIndex where SubsectID = ?1", subsectId);
}

std::int32_t DeleteCategory(Connection& cnTemplates, std::int32_t categoryId) {
    cnTemplates.OpenConnection("");
    Transaction deletion(cnTemplates);
    CategoryName(cnTemplates, categoryId);
    std::int32_t templates = DeleteTemplatesWhere(cnTemplates, "CategoryID", categoryId);
    Execute(cnTemplates, "delete from SubSection where CategoryID = ?1", std::int64_t{categoryId});
    Execute(cnTemplates, "delete from Category where CategoryID = ?1", std::int64_t{categoryId});
    deletion.Commit();
    return templates;
}

std::int32_t DeleteSubSection(Connection& cnTemplates, std::int32_t subsectId) {
    cnTemplates.OpenConnection("");
    Transaction deletion(cnTemplates);
    SubSectionName(cnTemplates, subsectId);
    std::int32_t templates = DeleteTemplatesWhere(cnTemplates, "SubsectID", subsectId);
    Execute(cnTemplates, "delete from SubSection where SubsectID = ?1", std::int64_t{subsectId});
    deletion.Commit();
    return templates;
}

} // namespace mw
