#include "store/SaveNewTemplate.h"

#include "formats/ComponentBuffer.h"
#include "store/CTempBlock.h"
#include "store/CTempIndex.h"

namespace mw {

std::int32_t SaveNewTemplate(Connection& cnTemplates, const ComponentBuffer& buffer,
                             const NewTemplateFields& fields, const Progress& progress) {
    CTempBlock blocks(cnTemplates);
    CTempIndex index(cnTemplates);
    const std::string& path = cnTemplates.DatabasePath();
    blocks.Connect(path, adUseServer, adLockOptimistic);
    index.Connect(path, adUseServer, adLockOptimistic);

    Transaction transaction(cnTemplates);
    index.AddItem();
    index.BlockCount(buffer.ComponentCount);
    index.CategoryID(fields.NewCategoryID);
    index.SubsectID(fields.NewSubsectID);
    index.Description(fields.strNewDescription);
    index.SaveChanges();
    index.MoveLast();
    std::int32_t key = index.TempIndexID();

    // Blocks left under this key by a library written before failures were handled safely
    // would otherwise be read as part of the new template.
    blocks.DeleteAll(key);
    std::string keyText = std::to_string(key);
    for (std::int32_t i = 0; i < buffer.ComponentCount; ++i) {
        auto c = static_cast<size_t>(i);
        blocks.AddSQL(buffer.ItemID[c], buffer.X[c], buffer.Y[c], buffer.Z[c], buffer.Flag[c],
                      keyText);
    }
    blocks.Execute(progress);
    transaction.Commit();
    return key;
}

} // namespace mw
