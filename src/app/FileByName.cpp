#include "app/FileByName.h"

#include "app/Session.h"
#include "common/RunError.h"
#include "store/CCategory.h"
#include "store/CSubSection.h"
#include "store/Filing.h"
#include "store/SaveNewTemplate.h"

#include <functional>
#include <optional>

namespace mw {

namespace {

std::int32_t Filed(std::optional<std::int32_t> found, bool create, const std::string& what,
                   const std::string& name, const std::function<std::int32_t()>& add) {
    if (found) return *found;
    if (!create)
        throw RunError(err::ItemNotInCollection,
                       "There is no " + what + " named \"" + name + "\" (--create makes it)");
    return add();
}

} // namespace

Shelf ShelfByName(Session& session, const FilingByName& filing) {
    CCategory category(session.cnTemplates);
    CSubSection subsection(session.cnTemplates);
    category.Connect(session.DatabasePath(), adUseServer, adLockOptimistic);
    subsection.Connect(session.DatabasePath(), adUseServer, adLockOptimistic);
    Transaction transaction(session.cnTemplates);
    std::int32_t categoryId =
        Filed(FindCategory(category, filing.Category), filing.Create, "category", filing.Category,
              [&] { return AddCategory(category, filing.Category); });
    std::int32_t subsectionId =
        Filed(FindSubSection(subsection, categoryId, filing.Subsection), filing.Create,
              "subsection", filing.Subsection,
              [&] { return AddSubSection(subsection, categoryId, filing.Subsection); });
    transaction.Commit();
    return {categoryId, subsectionId};
}

std::int32_t StoreFiledByName(Session& session, const FilingByName& filing,
                              const Progress& progress) {
    session.cnTemplates.OpenConnection("");
    Transaction transaction(session.cnTemplates);
    Shelf shelf = ShelfByName(session, filing);
    NewTemplateFields fields{std::to_string(shelf.CategoryID), std::to_string(shelf.SubsectID),
                             filing.Description};
    std::int32_t id = SaveNewTemplate(session.cnTemplates, session.Buffer, fields, progress);
    transaction.Commit();
    return id;
}

} // namespace mw
