#include "store/TemplateBlocks.h"

#include "common/OutputFile.h"
#include "formats/ComponentRecords.h"
#include "formats/ComponentsList.h"
#include "formats/TemplateText.h"
#include "store/CTempBlock.h"

namespace mw {

namespace {

void ReadBlocks(CTempBlock& blocks, ComponentBuffer& buffer, std::int32_t count,
                const Progress& progress) {
    for (auto* array : {&buffer.ItemID, &buffer.X, &buffer.Y, &buffer.Z, &buffer.Flag}) {
        array->clear();
        array->reserve(static_cast<size_t>(count));
    }
    ProgressTicker ticker(progress, count);
    for (std::int32_t i = 0; i < count; ++i, blocks.MoveNext()) {
        ticker.Step(i);
        buffer.ItemID.push_back(std::to_string(blocks.ItemID()));
        buffer.X.push_back(std::to_string(blocks.X()));
        buffer.Y.push_back(std::to_string(blocks.Y()));
        buffer.Z.push_back(std::to_string(blocks.Z()));
        buffer.Flag.emplace_back("1"); // the stored flag is recomputed from the components list
        TrackBounds(buffer, i);
        ComponentRecord(buffer, i); // names a component the list's check would refuse anonymously
    }
}

} // namespace

void LoadTemplateBlocks(Connection& cnTemplates, ComponentBuffer& buffer,
                        const ComponentsList& list, std::int32_t templateId,
                        const Progress& progress) {
    ClearComponentBuffer(buffer);
    try {
        CTempBlock blocks(cnTemplates);
        blocks.Connect(cnTemplates.DatabasePath(), adUseServer, adLockReadOnly);
        blocks.Filter("TempIndexID='" + std::to_string(templateId) + "'");
        std::int32_t count = blocks.RecordCount();
        if (count == 0) return;
        ReadBlocks(blocks, buffer, count, progress);
        buffer.ComponentCount = count;
        ApplyComponentsList(buffer, list);
    } catch (...) {
        ClearComponentBuffer(buffer); // never half a template
        throw;
    }
}

std::vector<TemplateLine> StoredTemplateLines(Connection& cnTemplates, std::int32_t templateId,
                                              const Progress& progress) {
    CTempBlock blocks(cnTemplates);
    blocks.Connect(cnTemplates.DatabasePath(), adUseClient, adLockReadOnly);
    blocks.Filter("TempIndexID='" + std::to_string(templateId) + "'");
    std::int32_t count = blocks.RecordCount();
    std::vector<TemplateLine> lines;
    lines.reserve(static_cast<size_t>(count));
    ProgressTicker ticker(progress, count);
    for (std::int32_t i = 0; i < count; ++i, blocks.MoveNext()) {
        ticker.Step(i);
        lines.push_back({blocks.ItemID(), blocks.X(), blocks.Y(), blocks.Z(), blocks.Flag()});
    }
    return lines;
}

std::string TemplateText(Connection& cnTemplates, std::int32_t templateId,
                         const Progress& progress) {
    CTempBlock blocks(cnTemplates);
    blocks.Connect(cnTemplates.DatabasePath(), adUseClient, adLockReadOnly);
    blocks.Filter("TempIndexID='" + std::to_string(templateId) + "'");
    return TemplateFileText(
        blocks.RecordCount(),
        [&](std::int64_t i) {
            if (i > 0) blocks.MoveNext();
            return TemplateLine{blocks.ItemID(), blocks.X(), blocks.Y(), blocks.Z(), blocks.Flag()};
        },
        progress);
}

void WriteTemplateFile(Connection& cnTemplates, const std::string& path, std::int32_t templateId,
                       const Progress& progress) {
    WriteFileAtomically(path, TemplateText(cnTemplates, templateId, progress));
}

} // namespace mw
