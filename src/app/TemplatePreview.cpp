#include "app/TemplatePreview.h"

#include "app/PatchAndScripts.h"
#include "app/Session.h"
#include "common/Platform.h"
#include "formats/ArtCache.h"
#include "formats/ArtFolder.h"
#include "formats/ComponentRecords.h"
#include "formats/TileData.h"
#include "store/TemplateBlocks.h"

namespace mw {

namespace {

std::string ParentFolder(const std::string& path) {
    return platform::PathText(platform::FsPath(path).parent_path());
}

std::unique_ptr<ArtReader> OpenArt(const ArtFolderFiles& files) {
    if (files.HasMulPair()) return OpenMulArt(files.ArtIdx, files.ArtMul);
    if (!files.ArtUop.empty()) return OpenUopArt(files.ArtUop);
    return nullptr;
}

// Opens the art of the folder into the source; says why when there is none.
std::string OpenArtInto(PreviewSource& source, const std::string& folder,
                        const ArtFolderFiles& files) {
    try {
        auto reader = OpenArt(files);
        if (!reader)
            return "No art in " + folder +
                   " (art.mul and artidx.mul, or artLegacyMUL.uop): components are drawn as boxes.";
        std::string path = reader->SourcePath();
        source.Art.Art = std::make_shared<ArtCache>(std::move(reader));
        return "Art from " + path + ".";
    } catch (const RunError& refused) {
        return refused.Description + " Components are drawn as boxes.";
    }
}

std::string OpenTilesInto(PreviewSource& source, const ArtFolderFiles& files) {
    if (files.TileData.empty()) return " No tiledata.mul: tile heights are not known.";
    try {
        source.Art.Tiles = std::make_shared<const TileData>(TileData::Read(files.TileData));
        return "";
    } catch (const RunError& refused) {
        return " " + refused.Description + " Tile heights are not known.";
    }
}

} // namespace

std::string PreviewArtFolder(const Session& session) {
    if (!session.ArtFolderPath.empty()) return session.ArtFolderPath;
    if (!session.MultiMulPath.empty()) return ParentFolder(session.MultiMulPath);
    if (!session.MultiUopPath.empty()) return ParentFolder(session.MultiUopPath);
    return "";
}

PreviewSource OpenPreviewSource(const std::string& artFolder) {
    PreviewSource source;
    if (artFolder.empty()) {
        source.Status = "No art folder is configured: components are drawn as boxes.";
        return source;
    }
    ArtFolderFiles files = FindArtFiles(artFolder);
    source.Status = OpenArtInto(source, artFolder, files);
    source.Status += OpenTilesInto(source, files);
    return source;
}

bool LacksArtOrTiles(const PreviewSource& source) {
    return !source.Art.Art || !source.Art.Tiles;
}

std::string WithoutArtText(int count) {
    return std::to_string(count) + (count == 1 ? " component" : " components") + " without art";
}

std::vector<MulRecord> PreviewComponents(Session& session, std::int32_t templateId) {
    RequireStoredTemplate(session, templateId);
    ComponentBuffer buffer;
    LoadTemplateBlocks(session.cnTemplates, buffer, session.Components, templateId);
    if (buffer.ComponentCount < 1) return {}; // an empty template is an empty picture
    return ComponentRecords(buffer);
}

} // namespace mw
