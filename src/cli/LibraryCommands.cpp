// Subcommands that read or change the library itself: list, show, export, delete.
#include "cli/Cli.h"

#include "app/DesignExport.h"
#include "app/PatchAndScripts.h"
#include "common/Platform.h"

#include "formats/TemplateText.h"
#include "store/CCategory.h"
#include "store/CSubSection.h"
#include "store/CTempBlock.h"
#include "store/CTempIndex.h"
#include "store/LibraryListing.h"
#include "store/TemplateBlocks.h"
#include "store/TemplateRows.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <iostream>
#include <optional>
#include <string_view>

namespace mw::cli {

namespace {

// The control characters of a text (bytes below 0x20, and 0x7F) as \x1b, two lowercase hex
// digits each: on a terminal an ESC would start a command of the terminal's own.
std::string EscapedControls(std::string_view text) {
    static const char digits[] = "0123456789abcdef";
    std::string escaped;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F)
            escaped += c;
        else
            escaped += {'\\', 'x', digits[byte >> 4], digits[byte & 0xF]};
    }
    return escaped;
}

// Tabs and line ends inside a name would break the columns; a terminal gets the other control
// characters escaped, a file or a pipe the bytes as stored.
std::string Cell(std::string text, bool terminal) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return terminal ? EscapedControls(text) : text;
}

QJsonArray AsJson(const std::vector<ListedCategory>& listing) {
    QJsonArray rows;
    for (const auto& category : listing)
        for (const auto& subsection : category.Subsections)
            for (const auto& entry : subsection.Templates)
                rows.append(QJsonObject{{"category", QString::fromStdString(category.Name)},
                                        {"subsection", QString::fromStdString(subsection.Name)},
                                        {"id", entry.TempIndexID},
                                        {"description", QString::fromStdString(entry.Description)},
                                        {"blocks", entry.BlockCount}});
    return rows;
}

void PrintColumns(const std::vector<ListedCategory>& listing) {
    const bool terminal = platform::IsTerminal(stdout);
    for (const auto& category : listing)
        for (const auto& subsection : category.Subsections)
            for (const auto& entry : subsection.Templates)
                std::cout << Cell(category.Name, terminal) << '\t'
                          << Cell(subsection.Name, terminal) << '\t' << entry.TempIndexID << '\t'
                          << Cell(entry.Description, terminal) << '\t' << entry.BlockCount << '\n';
}

// The text of one stored template, after making sure that it exists.
std::string StoredTemplateText(Session& session, std::int32_t id) {
    RequireStoredTemplate(session, id);
    return TemplateText(session.cnTemplates, id);
}

ExportFormat FormatNamed(const std::string& name) {
    std::string names;
    for (const auto& named : ExportFormatNames()) {
        if (name == named.Name) return named.Format;
        names += (names.empty() ? "" : ", ") + std::string(named.Name);
    }
    throw BadUsage("--format must be one of " + names);
}

} // namespace

int List(const QStringList& arguments) {
    Arguments args("list",
                   "Lists the library as the tree shows it: category, subsection, template id, "
                   "description and block count, tab-separated, one template per line.");
    args.Option("json", "Print a JSON array instead.");
    if (!args.Parse(arguments, 0)) return Success;
    Session session = SessionFor(args);
    OpenLibrary(session);
    CTempIndex index(session.cnTemplates);
    CCategory category(session.cnTemplates);
    CSubSection subsection(session.cnTemplates);
    for (RecordObject* records :
         std::initializer_list<RecordObject*>{&index, &category, &subsection})
        records->Connect(session.DatabasePath(), adUseServer, adLockReadOnly);
    std::vector<RunError> failures;
    auto listing = ListTemplates(index, category, subsection, failures);
    if (args.IsSet("json"))
        std::cout << QJsonDocument(AsJson(listing)).toJson().toStdString();
    else
        PrintColumns(listing);
    for (const RunError& failure : failures)
        std::cerr << failure.Text() << "\n";
    return failures.empty() ? Success : Failure;
}

int Show(const QStringList& arguments) {
    Arguments args("show", "Prints a template's components in the template text format.");
    args.Positional("ID", "The template id, as `list` shows it.");
    if (!args.Parse(arguments, 1)) return Success;
    Session session = SessionFor(args);
    OpenLibrary(session);
    std::cout << StoredTemplateText(session, args.TemplateId(0));
    return Success;
}

int Export(const QStringList& arguments) {
    Arguments args("export",
                   "Writes a template as a file: the template text format (*.KivT), a UO "
                   "Architect design (*.uoa) or a tile list (*.csv, or --format list). With "
                   "--category or --all, writes a category, a subsection or the whole library as "
                   "one batch design file (*.uoa). The file is replaced only once the new one is "
                   "complete.");
    args.Positional("ID", "The template id, as `list` shows it (not with --category or --all).");
    args.Positional("FILE", "The file to write, or - for standard output.");
    args.Option("format",
                "kivt, uoa, csv or list; without it .uoa and .csv go by the file's extension and "
                "everything else is kivt.",
                "FORMAT");
    args.Option("category", "Write every template of this category as one batch.", "NAME");
    args.Option("subsection", "With --category: only the templates of this subsection.", "NAME");
    args.Option("all", "Write the whole library as one batch.");
    if (!args.Parse(arguments, 1, 2)) return Success;
    bool batch = args.IsSet("category") || args.IsSet("all");
    if (args.IsSet("subsection") && !args.IsSet("category"))
        throw BadUsage("--subsection goes with --category");
    if (args.IsSet("all") && args.IsSet("category"))
        throw BadUsage("--all and --category exclude each other");
    if (args.PositionalCount() != (batch ? 1 : 2))
        throw BadUsage(batch ? "a batch export takes the FILE alone" : "expected an ID and a FILE");
    std::optional<ExportFormat> format;
    if (args.IsSet("format")) format = FormatNamed(args.Text("format"));
    if (batch && format && *format != ExportFormat::Uoa)
        throw BadUsage("a batch is written as a design file: --format uoa, or none");

    Session session = SessionFor(args);
    OpenLibrary(session);
    if (batch) {
        BatchSelection selection;
        if (args.IsSet("category")) selection.Category = args.Required("category");
        if (args.IsSet("subsection")) selection.Subsection = args.Required("subsection");
        WriteOutput(args, args.At(0), ExportedBatch(session, selection));
        return Success;
    }
    const std::string path = args.At(1);
    WriteOutput(
        args, path,
        ExportedTemplate(session, args.TemplateId(0), format.value_or(ExportFormatForPath(path))));
    return Success;
}

int Delete(const QStringList& arguments) {
    Arguments args("delete", "Deletes a template: its components and its index row. With "
                             "--category, deletes a category (or with --subsection a subsection) "
                             "and every template filed under it.");
    args.Positional("ID", "The template id, as `list` shows it (not with --category).");
    args.Option("yes", "Confirms the deletion: required for a template, and for a category or "
                       "subsection that holds templates.");
    args.Option("category", "The category to delete.", "NAME");
    args.Option("subsection", "With --category: only this subsection.", "NAME");
    if (!args.Parse(arguments, 0, 1)) return Success;
    if (args.IsSet("category") || args.IsSet("subsection")) return DeleteShelf(args);
    if (args.PositionalCount() != 1) throw BadUsage("expected a template ID");
    if (!args.IsSet("yes")) throw BadUsage("delete needs --yes");
    Session session = SessionFor(args);
    OpenLibrary(session);
    CTempIndex index(session.cnTemplates);
    CTempBlock blocks(session.cnTemplates);
    index.Connect(session.DatabasePath(), adUseServer, adLockOptimistic);
    blocks.Connect(session.DatabasePath(), adUseServer, adLockOptimistic);
    DeleteTemplate(session.cnTemplates, index, blocks, args.TemplateId(0));
    return Success;
}

} // namespace mw::cli
