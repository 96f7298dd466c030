// import: a template from a file, filed under a category and subsection named on the command line.
#include "cli/Cli.h"

#include "common/LineReader.h"
#include "common/OutputFile.h"
#include "common/RunError.h"
#include "formats/MultiExtraction.h"
#include "formats/TemplateText.h"
#include "formats/WorldSaves.h"
#include "store/CCategory.h"
#include "store/CSubSection.h"
#include "store/Filing.h"
#include "store/SaveNewTemplate.h"

#include <iostream>
#include <map>

namespace mw::cli {

namespace {

using Reader = std::function<bool(Session&, const Arguments&, const std::string& source)>;

// A reader of a file source, as the window's import uses it.
Reader FileReader(bool (*read)(ComponentBuffer&, const ComponentsList&, const std::string&,
                               const Progress&)) {
    return [read](Session& session, const Arguments&, const std::string& source) {
        return read(session.Buffer, session.Components, InputPath(source), {});
    };
}

// One multi of the game's files by its hexadecimal id, read through a template text file.
Reader GameMultiReader(bool fromPackage) {
    return [fromPackage](Session& session, const Arguments& args, const std::string& source) {
        TemporaryFile text("multi.txt");
        WriteFileAtomically(text.Path(), GameMultiAsText(args, source, fromPackage));
        return ReadComponentList(session.Buffer, session.Components, text.Path());
    };
}

const std::map<std::string, Reader>& Readers() {
    static const std::map<std::string, Reader> readers = {
        {"txt", FileReader(ReadComponentList)},   {"kivt", FileReader(ReadComponentList)},
        {"wsc", FileReader(ReadSphereExportWsc)}, {"uox3", FileReader(ReadUox3Wsc)},
        {"muls", GameMultiReader(false)},         {"uop", GameMultiReader(true)},
    };
    return readers;
}

std::string SourceKinds() {
    std::string kinds;
    for (const auto& [kind, reader] : Readers())
        kinds += (kinds.empty() ? "" : "|") + kind;
    return kinds;
}

std::int32_t Filed(std::optional<std::int32_t> found, bool create, const std::string& what,
                   const std::string& name, const std::function<std::int32_t()>& add) {
    if (found) return *found;
    if (!create)
        throw RunError(err::ItemNotInCollection,
                       "There is no " + what + " named \"" + name + "\" (--create makes it)");
    return add();
}

// Finds or makes the category and subsection and stores the buffer, all in one transaction.
std::int32_t Store(Session& session, const Arguments& args) {
    CCategory category(session.cnTemplates);
    CSubSection subsection(session.cnTemplates);
    category.Connect(session.DatabasePath(), adUseServer, adLockOptimistic);
    subsection.Connect(session.DatabasePath(), adUseServer, adLockOptimistic);
    bool create = args.IsSet("create");
    std::string categoryName = args.Required("category"),
                subsectionName = args.Required("subsection");
    Transaction filing(session.cnTemplates);
    std::int32_t categoryId =
        Filed(FindCategory(category, categoryName), create, "category", categoryName,
              [&] { return AddCategory(category, categoryName); });
    std::int32_t subsectionId = Filed(
        FindSubSection(subsection, categoryId, subsectionName), create, "subsection",
        subsectionName, [&] { return AddSubSection(subsection, categoryId, subsectionName); });
    NewTemplateFields fields{std::to_string(categoryId), std::to_string(subsectionId),
                             args.Required("description")};
    std::int32_t id = SaveNewTemplate(session.cnTemplates, session.Buffer, fields);
    filing.Commit();
    return id;
}

} // namespace

int Import(const QStringList& arguments) {
    Arguments args("import", "Reads a template and stores it in the library; prints its new id.");
    args.Positional("SOURCE", "The file to read (- for standard input), or for muls and uop the "
                              "multi id in hexadecimal.");
    args.Option("from", "The kind of source: " + QString::fromStdString(SourceKinds()) + ".",
                "KIND");
    args.Option("category", "The category to file the template under.", "NAME");
    args.Option("subsection", "The subsection to file it under.", "NAME");
    args.Option("description", "The template's name.", "TEXT");
    args.Option("create", "Create the category and subsection when they are missing.");
    GameFileOptions(args); // for --from muls (--idx, --mul) and --from uop (--uop)
    if (!args.Parse(arguments, 1)) return Success;
    auto reader = Readers().find(args.Required("from"));
    if (reader == Readers().end()) throw BadUsage("--from must be one of " + SourceKinds());
    args.Required("category"), args.Required("subsection"), args.Required("description");

    Session session(ExecutableFolder(), args.LibraryPath());
    OpenLibrary(session);
    LoadComponents(session);
    if (!reader->second(session, args, args.At(0))) {
        const ReaderMessage& why = session.Buffer.LastReadMessage;
        throw RunError(err::InvalidProcedureCall, why.Title + ": " + why.Text);
    }
    std::cout << Store(session, args) << "\n";
    return Success;
}

} // namespace mw::cli
