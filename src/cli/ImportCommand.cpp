// import: a template from a file, filed under a category and subsection named on the command line.
#include "cli/Cli.h"

#include "app/DesignImport.h"
#include "app/FileByName.h"
#include "app/ImportSources.h"
#include "common/RunError.h"

#include <iostream>

namespace mw::cli {

namespace {

std::string SourceNames() {
    std::string names;
    for (const auto& named : ImportSourceNames())
        names += (names.empty() ? "" : "|") + std::string(named.Name);
    return names;
}

ImportSource SourceNamed(const std::string& name) {
    for (const auto& named : ImportSourceNames())
        if (name == named.Name) return named.Source;
    throw BadUsage("--from must be one of " + SourceNames());
}

// Fills the session's buffer from the source; false, with the reader's message, when refused.
bool Read(Session& session, const Arguments& args, ImportSource source) {
    if (source != ImportSource::MultiMuls && source != ImportSource::Uop)
        return ReadImportFile(session, source, InputFile(args.At(0)).Path());
    UseGameFiles(session, args);
    GameMulti multi = ParseGameMulti(source == ImportSource::Uop, args.At(0));
    TemporaryFile text("multi.txt");
    return ReadGameMulti(session, multi, text.Path());
}

// What an import stored, for the message when standard output cannot take the ids: a script
// that retried would store it again.
std::string StoredText(std::int32_t id, const std::string& description, size_t components) {
    return "Stored template " + std::to_string(id) + " " + Quoted(description) + " (" +
           Plural(components, "component", "components") + ")";
}

std::string StoredText(const std::vector<std::int32_t>& ids, const DesignBatch& batch) {
    std::string list;
    size_t components = 0;
    for (std::int32_t id : ids)
        list += (list.empty() ? "" : ", ") + std::to_string(id);
    for (const UoaDesign& design : batch.Designs)
        components += design.Tiles.size();
    return "Stored " + Plural(ids.size(), "template", "templates") + " " + list + " (" +
           Plural(components, "component", "components") + ")";
}

// Prints the new template's id, and names what was stored when standard output cannot take it.
int ReportStored(const Session& session, const FilingByName& filing, std::int32_t id) {
    std::cout << id << "\n";
    FlushStandardOutput(
        StoredText(id, filing.Description, static_cast<size_t>(session.Buffer.ComponentCount)));
    return Success;
}

// A design file of UO Architect: a batch files every design under its own names; a single
// design takes the names given, and its own for those not given, made when missing.
int ImportDesigns(Session& session, const Arguments& args) {
    DesignBatch batch;
    try {
        batch = ParseDesignBatch(InputFile(args.At(0)).Path());
    } catch (const RunError& failure) {
        throw RunError(err::InvalidProcedureCall,
                       std::string(InvalidUoaTitle) + ": " + failure.Text());
    }
    if (batch.IsBatch()) {
        for (const char* option : {"category", "subsection", "description"})
            if (args.IsSet(option))
                throw BadUsage(std::string("this file is a batch of designs, each filed under its "
                                           "own category and subsection: --") +
                               option + " does not apply");
        std::vector<std::int32_t> ids = StoreDesignBatch(session, batch);
        for (std::int32_t id : ids)
            std::cout << id << "\n";
        FlushStandardOutput(StoredText(ids, batch));
        return Success;
    }
    LoadDesign(session, batch.Designs.front());
    FilingByName filing = FilingOf(LabelsOf(batch.Designs.front()));
    if (args.IsSet("category")) filing.Category = args.Required("category");
    if (args.IsSet("subsection")) filing.Subsection = args.Required("subsection");
    if (args.IsSet("description")) filing.Description = args.Required("description");
    filing.Create = args.IsSet("create") || !args.IsSet("category") || !args.IsSet("subsection");
    return ReportStored(session, filing, StoreFiledByName(session, filing));
}

} // namespace

int Import(const QStringList& arguments) {
    Arguments args("import", "Reads a template and stores it in the library; prints its new id.");
    args.Positional("SOURCE", "The file to read (- for standard input), or for muls and uop the "
                              "multi id in hexadecimal.");
    args.Option("from", "The kind of source: " + QString::fromStdString(SourceNames()) + ".",
                "KIND");
    args.Option("category", "The category to file the template under.", "NAME");
    args.Option("subsection", "The subsection to file it under.", "NAME");
    args.Option("description", "The template's name.", "TEXT");
    args.Option("create", "Create the category and subsection when they are missing.");
    GameFileOptions(args); // for --from muls (--idx, --mul) and --from uop (--uop)
    args.Parser().setApplicationDescription(
        args.Parser().applicationDescription() +
        "\n--from uoa: a batch (version 2) files each design under its own category and "
        "subsection, made when missing, and prints one id per line; it takes no --category, "
        "--subsection or --description. A single design uses its own name, category and "
        "subsection for those not given, made when missing.");
    if (!args.Parse(arguments, 1)) return Success;
    ImportSource source = SourceNamed(args.Required("from"));
    if (source == ImportSource::Uoa) {
        Session session = SessionFor(args);
        OpenLibrary(session);
        LoadComponents(session);
        return ImportDesigns(session, args);
    }
    FilingByName filing{args.Required("category"), args.Required("subsection"),
                        args.Required("description"), args.IsSet("create")};

    Session session = SessionFor(args);
    OpenLibrary(session);
    LoadComponents(session);
    if (!Read(session, args, source)) {
        const ReaderMessage& why = session.Buffer.LastReadMessage;
        throw RunError(err::InvalidProcedureCall, why.Title + ": " + why.Text);
    }
    return ReportStored(session, filing, StoreFiledByName(session, filing));
}

} // namespace mw::cli
