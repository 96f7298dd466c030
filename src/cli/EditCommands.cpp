// Subcommands that change the library's tree or a template's components: rename, move, copy,
// delete --category / --subsection, transform. Each is one transaction and prints what it
// changed.
#include "cli/Cli.h"

#include "app/FileByName.h"
#include "app/TemplateEditing.h"
#include "app/Transforms.h"
#include "common/Convert.h"
#include "store/CCategory.h"
#include "store/CSubSection.h"
#include "store/Filing.h"
#include "store/LibraryEdits.h"
#include "store/SaveNewTemplate.h"

#include <charconv>
#include <iostream>

namespace mw::cli {

namespace {

// A category or subsection named on the command line.
struct NamedShelf {
    std::int32_t CategoryID = 0;
    std::optional<std::int32_t> SubsectID;
    std::string Text; // "Houses" or "Houses / Small", as stored
};

RunError NoneNamed(const char* what, const std::string& name) {
    return RunError(err::ItemNotInCollection,
                    std::string("There is no ") + what + " named " + Quoted(name));
}

NamedShelf ShelfNamed(Session& session, const Arguments& args) {
    CCategory category(session.cnTemplates);
    CSubSection subsection(session.cnTemplates);
    category.Connect(session.DatabasePath(), adUseServer, adLockReadOnly);
    subsection.Connect(session.DatabasePath(), adUseServer, adLockReadOnly);
    NamedShelf shelf;
    auto categoryId = FindCategory(category, args.Required("category"));
    if (!categoryId) throw NoneNamed("category", args.Text("category"));
    shelf.CategoryID = *categoryId;
    shelf.Text = CategoryName(session.cnTemplates, *categoryId);
    if (!args.IsSet("subsection")) return shelf;
    shelf.SubsectID = FindSubSection(subsection, *categoryId, args.Required("subsection"));
    if (!shelf.SubsectID) throw NoneNamed("subsection", args.Text("subsection"));
    shelf.Text += " / " + SubSectionName(session.cnTemplates, *shelf.SubsectID);
    return shelf;
}

std::string ShelfText(Session& session, std::int32_t categoryId, std::int32_t subsectId) {
    return CategoryName(session.cnTemplates, categoryId) + " / " +
           SubSectionName(session.cnTemplates, subsectId);
}

void ShelfOptions(Arguments& args, const QString& what) {
    args.Option("category", "The category " + what + ".", "NAME");
    args.Option("subsection", "With --category: its subsection " + what + ".", "NAME");
}

void RequireCategoryWithSubsection(const Arguments& args) {
    if (args.IsSet("subsection") && !args.IsSet("category"))
        throw BadUsage("--subsection goes with --category");
}

// --- transform --------------------------------------------------------------------------------

// Options that take several values (--shift DX DY DZ, --replace-id A B), which the parser cannot
// read, taken out of the arguments first, each occurrence in order.
std::vector<QStringList> TakeValues(QStringList& arguments, const QString& option, int count) {
    std::vector<QStringList> taken;
    for (qsizetype at = arguments.indexOf(option); at >= 0; at = arguments.indexOf(option, at)) {
        if (at + count >= arguments.size())
            throw BadUsage(option.toStdString() + " takes " + std::to_string(count) + " values");
        taken.push_back(arguments.mid(at + 1, count));
        arguments.remove(at, count + 1);
    }
    return taken;
}

std::int32_t Whole(const QString& text, const char* what) {
    auto number = ParseNumber(Bytes(text));
    if (!number || *number != static_cast<std::int32_t>(*number))
        throw BadUsage(std::string(what) + " must be a whole number, not \"" + Bytes(text) + "\"");
    return static_cast<std::int32_t>(*number);
}

// An item id in decimal or in hexadecimal after 0x, as the tile lists write it.
std::int32_t ItemId(const QString& text) {
    std::string digits = Bytes(text);
    bool hex = digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    if (!hex) return Whole(text, "an item id");
    std::int32_t value = 0;
    auto [end, failure] =
        std::from_chars(digits.data() + 2, digits.data() + digits.size(), value, 16);
    if (failure != std::errc() || end != digits.data() + digits.size())
        throw BadUsage("\"" + digits + "\" is not an item id");
    return value;
}

// Does the steps in this order: deletions, replacements, the turn, the mirror, the shifts and
// the re-centring; says what each did.
std::vector<std::string> Transformed(TemplateComponents& components, Arguments& args,
                                     const std::vector<QStringList>& shifts,
                                     const std::vector<QStringList>& replacements,
                                     const ComponentsList& list) {
    std::vector<std::string> said;
    auto take = [&](const Edit& step, const std::string& done, const std::string& how) {
        step.Apply(components);
        said.push_back(done + " " + Plural(step.Changed(), "component", "components") + how);
    };
    const Selection all = Selection::All();
    for (const QString& id : args.Parser().values("delete-id"))
        take(DeleteComponents(components, WithItemId(components, all, ItemId(id))), "deleted",
             " of item id " + Bytes(id));
    for (const QStringList& ids : replacements)
        take(ReplaceItemId(components, all, ItemId(ids[0]), ItemId(ids[1]), list),
             "replaced item id " + Bytes(ids[0]) + " by " + Bytes(ids[1]) + " in", "");
    if (args.IsSet("rotate"))
        take(RotateComponents(components, all, Whole(args.Parser().value("rotate"), "--rotate")),
             "rotated", " by " + args.Text("rotate") + " degrees");
    if (args.IsSet("mirror")) {
        std::string axis = args.Text("mirror");
        if (axis != "x" && axis != "y") throw BadUsage("--mirror must be x or y");
        take(MirrorComponents(components, all, axis == "x" ? Axis::X : Axis::Y), "mirrored",
             " along " + axis);
    }
    for (const QStringList& by : shifts)
        take(MoveComponents(components, all, Whole(by[0], "DX"), Whole(by[1], "DY"),
                            Whole(by[2], "DZ")),
             "shifted", " by " + Bytes(by.join(", ")));
    if (args.IsSet("recentre") && !components.empty()) {
        Bounds before = *BoundsOf(components);
        take(RecentreTemplate(components), "re-centred", "");
        Bounds after = *BoundsOf(components);
        said.back() += " by " + std::to_string(after.MinX - before.MinX) + ", " +
                       std::to_string(after.MinY - before.MinY);
    }
    return said;
}

// A positional argument that goes into the library: UTF-8, as the options' texts.
std::string LibraryText(const Arguments& args, int index) {
    return QString::fromUtf8(args.At(index).c_str()).toStdString();
}

} // namespace

int Rename(const QStringList& arguments) {
    Arguments args("rename", "Renames a template, or with --category a category or a subsection.");
    args.Positional("ID", "The template id, as `list` shows it (not with --category).");
    args.Positional("NAME", "The new name.");
    ShelfOptions(args, "to rename");
    if (!args.Parse(arguments, 1, 2)) return Success;
    RequireCategoryWithSubsection(args);
    bool shelf = args.IsSet("category");
    if (args.PositionalCount() != (shelf ? 1 : 2))
        throw BadUsage(shelf ? "a category or subsection is renamed with the NAME alone"
                             : "expected an ID and a NAME");
    const std::string name = LibraryText(args, shelf ? 0 : 1);
    Session session = SessionFor(args);
    OpenLibrary(session);
    if (!shelf) {
        std::int32_t id = args.TemplateId(0);
        std::string old = StoredTemplateRow(session.cnTemplates, id).Description;
        RenameTemplate(session.cnTemplates, id, name);
        ReportChange({"template " + std::to_string(id) + ": " + Quoted(old) + " -> " +
                      Quoted(StoredTemplateRow(session.cnTemplates, id).Description)});
        return Success;
    }
    NamedShelf named = ShelfNamed(session, args);
    if (named.SubsectID) {
        RenameSubSection(session.cnTemplates, *named.SubsectID, name);
        ReportChange({"subsection " + Quoted(named.Text) + " -> " +
                      Quoted(SubSectionName(session.cnTemplates, *named.SubsectID))});
    } else {
        RenameCategory(session.cnTemplates, named.CategoryID, name);
        ReportChange({"category " + Quoted(named.Text) + " -> " +
                      Quoted(CategoryName(session.cnTemplates, named.CategoryID))});
    }
    return Success;
}

int Move(const QStringList& arguments) {
    Arguments args("move", "Files a template under another category and subsection; it keeps its "
                           "id and its components.");
    args.Positional("ID", "The template id, as `list` shows it.");
    args.Option("category", "The category to file it under.", "NAME");
    args.Option("subsection", "The subsection to file it under.", "NAME");
    args.Option("create", "Create the category and subsection when they are missing.");
    if (!args.Parse(arguments, 1)) return Success;
    FilingByName filing{
        args.Required("category"), args.Required("subsection"), {}, args.IsSet("create")};
    Session session = SessionFor(args);
    OpenLibrary(session);
    std::int32_t id = args.TemplateId(0);
    StoredTemplate row = StoredTemplateRow(session.cnTemplates, id);
    Transaction move(session.cnTemplates);
    Shelf shelf = ShelfByName(session, filing);
    MoveTemplate(session.cnTemplates, id, shelf.CategoryID, shelf.SubsectID);
    move.Commit();
    ReportChange({"template " + std::to_string(id) + " " + Quoted(row.Description) + ": " +
                  ShelfText(session, row.CategoryID, row.SubsectID) + " -> " +
                  ShelfText(session, shelf.CategoryID, shelf.SubsectID)});
    return Success;
}

int Copy(const QStringList& arguments) {
    Arguments args("copy", "Copies a template into the same category and subsection as \"Copy "
                           "of\" its name; prints the copy's id.");
    args.Positional("ID", "The template id, as `list` shows it.");
    args.Option("description", "The copy's name instead.", "TEXT");
    if (!args.Parse(arguments, 1)) return Success;
    Session session = SessionFor(args);
    OpenLibrary(session);
    std::int32_t id = args.TemplateId(0);
    std::int32_t copy = CopyTemplate(session.cnTemplates, id,
                                     args.IsSet("description") ? args.Required("description") : "");
    ReportChange({std::to_string(copy)},
                 "Copied template " + std::to_string(id) + " as template " + std::to_string(copy));
    return Success;
}

// delete --category NAME [--subsection NAME] [--yes]: one that holds templates needs --yes.
int DeleteShelf(const Arguments& args) {
    RequireCategoryWithSubsection(args);
    if (args.PositionalCount() != 0) throw BadUsage("--category takes no ID");
    Session session = SessionFor(args);
    OpenLibrary(session);
    NamedShelf named = ShelfNamed(session, args);
    const char* what = named.SubsectID ? "subsection" : "category";
    std::int32_t held = named.SubsectID
                            ? SubSectionTemplateCount(session.cnTemplates, *named.SubsectID)
                            : CategoryTemplateCount(session.cnTemplates, named.CategoryID);
    const std::string templates = Plural(static_cast<size_t>(held), "template", "templates");
    if (held > 0 && !args.IsSet("yes"))
        throw RunError(err::InvalidProcedureCall, std::string("The ") + what + " " +
                                                      Quoted(named.Text) + " holds " + templates +
                                                      ": --yes deletes them with it");
    held = named.SubsectID ? DeleteSubSection(session.cnTemplates, *named.SubsectID)
                           : DeleteCategory(session.cnTemplates, named.CategoryID);
    ReportChange({std::string("deleted ") + what + " " + Quoted(named.Text) + " and " +
                  Plural(static_cast<size_t>(held), "template", "templates")});
    return Success;
}

int Transform(const QStringList& arguments) {
    Arguments args(
        "transform",
        "Changes a template's components and saves it in one transaction, keeping its id (or, "
        "with --as-new, files the result as a new template beside it). The steps are done in "
        "this order: --delete-id, --replace-id (each as often as given, in the order given), "
        "--rotate, --mirror, --shift (as often as given), --recentre. Turns are clockwise as the "
        "map shows them, about the template's centre; turns and mirrors change coordinates "
        "only, never the item ids of walls and doors. Item ids are decimal, or hexadecimal "
        "after 0x. Flags are recomputed from components.txt.");
    args.Positional("ID", "The template id, as `list` shows it.");
    args.Option("shift", "Moves every component by DX DY DZ.", "DX DY DZ");
    args.Option("rotate", "Turns the template by 90, 180 or 270 degrees.", "DEGREES");
    args.Option("mirror", "Mirrors the x (east-west) or the y (north-south) coordinates.", "x|y");
    args.Option("replace-id", "Item id A becomes B.", "A B");
    args.Option("delete-id", "Deletes the components of item id A.", "A");
    args.Option("recentre", "Centres the bounds on 0, 0 as the server's extract does.");
    args.Option("as-new", "Files the result as a new template of this name; prints its id.",
                "DESCRIPTION");
    QStringList rest = arguments;
    std::vector<QStringList> shifts = TakeValues(rest, "--shift", 3);
    std::vector<QStringList> replacements = TakeValues(rest, "--replace-id", 2);
    if (!args.Parse(rest, 1)) return Success;
    if (shifts.empty() && replacements.empty() &&
        !(args.IsSet("rotate") || args.IsSet("mirror") || args.IsSet("delete-id") ||
          args.IsSet("recentre")))
        throw BadUsage("name at least one change: --shift, --rotate, --mirror, --replace-id, "
                       "--delete-id or --recentre");
    Session session = SessionFor(args);
    OpenLibrary(session);
    LoadComponents(session);
    EditedTemplate edited = OpenTemplate(session, args.TemplateId(0));
    std::vector<std::string> said =
        Transformed(edited.Components, args, shifts, replacements, session.Components);
    if (args.IsSet("as-new")) {
        NewTemplateFields fields{std::to_string(edited.Row.CategoryID),
                                 std::to_string(edited.Row.SubsectID), args.Required("as-new")};
        said.push_back(std::to_string(SaveTemplateAsNew(session, edited, fields)));
    } else {
        SaveTemplate(session, edited);
        said.push_back("saved template " + std::to_string(edited.Row.TempIndexID) + ": " +
                       Plural(edited.Components.size(), "component", "components"));
    }
    ReportChange(said);
    return Success;
}

} // namespace mw::cli
