#include "app/ImportSources.h"

#include "app/Session.h"
#include "common/Files.h"
#include "common/OutputFile.h"
#include "formats/MultiExtraction.h"
#include "formats/TemplateText.h"
#include "formats/TileLists.h"
#include "formats/UoaDesigns.h"
#include "formats/WorldSaves.h"

namespace mw {

namespace {

using ComponentReader = bool (*)(ComponentBuffer&, const ComponentsList&, const std::string&,
                                 const Progress&);

ComponentReader ReaderOf(ImportSource source) {
    switch (source) {
    case ImportSource::SphereWsc:
        return ReadSphereExportWsc;
    case ImportSource::Uox3:
        return ReadUox3Wsc;
    case ImportSource::Uoa:
        return ReadUoaDesign;
    case ImportSource::TileCsv:
        return ReadTileCsv;
    case ImportSource::TileList:
        return ReadTileList;
    default:
        return ReadComponentList; // the template text format, whatever the file's name
    }
}

} // namespace

const std::vector<NamedImportSource>& ImportSourceNames() {
    static const std::vector<NamedImportSource> names = {
        {"csv", ImportSource::TileCsv},   {"kivt", ImportSource::KivT},
        {"list", ImportSource::TileList}, {"muls", ImportSource::MultiMuls},
        {"txt", ImportSource::Txt},       {"uoa", ImportSource::Uoa},
        {"uop", ImportSource::Uop},       {"uox3", ImportSource::Uox3},
        {"wsc", ImportSource::SphereWsc},
    };
    return names;
}

bool ReadImportFile(Session& session, ImportSource source, const std::string& path,
                    const Progress& progress) {
    return ReaderOf(source)(session.Buffer, session.Components, path, progress);
}

GameMulti ParseGameMulti(bool fromPackage, std::string_view hexId) {
    return {fromPackage, ParseMultiId(hexId)};
}

std::string GameMultiText(const Session& session, const GameMulti& multi,
                          const Progress& progress) {
    if (multi.FromPackage) return PackageMultiAsText(session.MultiUopPath, multi.MultiId, progress);
    MultiEntry entry =
        ReadMultiEntry(session.MultiIdxPath, static_cast<std::int32_t>(multi.MultiId) + 1);
    return MultiAsText(entry, session.MultiMulPath, progress, session.RecordSize);
}

bool ReadGameMulti(Session& session, const GameMulti& multi, const std::string& throughFile,
                   const Progress& progress) {
    return ReadGameMultiText(session, GameMultiText(session, multi, progress), throughFile);
}

bool ReadGameMultiText(Session& session, const std::string& text, const std::string& throughFile) {
    WriteFileAtomically(throughFile, text);
    bool read = ReadComponentList(session.Buffer, session.Components, throughFile);
    RemoveFile(throughFile);
    return read;
}

} // namespace mw
