// Subcommands that read or write the game's multi files: extract, and patch with the scripts.
#include "cli/Cli.h"

#include "app/ImportSources.h"
#include "app/PatchAndScripts.h"
#include "app/UnpatchedPackage.h"
#include "formats/MultiExtraction.h"

#include <cstdio>
#include <iostream>
#include <optional>

namespace mw::cli {

namespace {

std::string PatchLine(std::int32_t PatchSlot) {
    char line[96];
    std::snprintf(line, sizeof line, "entry %d, multi 0x%X, item 0x%X", PatchSlot, PatchSlot - 1,
                  static_cast<unsigned>(MultiItemId(PatchSlot)));
    return line;
}

// What a replaced multi was: "34 components" (`unit` false: "34"), or "a damaged entry" where
// extraction refused it.
std::string ReplacedPart(const ReplacedContents& replaced, const char* damaged, bool unit) {
    if (replaced.Damaged) return damaged;
    return std::to_string(replaced.Components) + (unit ? " components" : "");
}

// ", replaced K components", or with both sets of files ", replaced K components (mul), L
// (package)"; nothing for a new multi.
std::string ReplacedText(const PatchResult& result) {
    const char* damagedEntry = "a damaged entry";
    const char* damagedMulti = "a damaged multi";
    if (result.ReplacedMul && result.ReplacedPackage)
        return ", replaced " + ReplacedPart(*result.ReplacedMul, damagedEntry, true) + " (mul), " +
               ReplacedPart(*result.ReplacedPackage, damagedMulti, false) + " (package)";
    if (result.ReplacedMul)
        return ", replaced " + ReplacedPart(*result.ReplacedMul, damagedEntry, true);
    if (result.ReplacedPackage)
        return ", replaced " + ReplacedPart(*result.ReplacedPackage, damagedMulti, true);
    return "";
}

// --scripts 55, 51a or sourcex: the script format code the window keeps.
std::int16_t ScriptFormatOf(const std::string& version) {
    if (version == "55") return NewScriptFormat;
    if (version == "51a") return OldScriptFormat;
    if (version == "sourcex") return SourceXScriptFormat;
    throw BadUsage("--scripts must be 55, 51a or sourcex");
}

} // namespace

int Patch(const QStringList& arguments) {
    Arguments args("patch",
                   "Patches a template into multi.idx and multi.mul as a new multi, in the "
                   "first free index entry, and prints the entry, the multi id and its item id.");
    args.Positional("ID", "The template id, as `list` shows it.");
    GameFileOptions(args);
    args.Option("replace",
                "Replaces the multi of this id (hexadecimal, up to BFFF) instead of adding a new "
                "one; its old records stay in multi.mul, unused.",
                "HEXID");
    args.Option("backup", "Copy each game file once before changing it (without either option: "
                          "as the settings say, else on).");
    args.Option("no-backup", "Do not copy the game files before changing them.");
    args.Option("scripts",
                "Also print the Sphere scripts of the new multi and its deed: 55, 51a or "
                "sourcex.",
                "VERSION");
    args.Option("name", "The multi's name, for --scripts.", "TEXT");
    args.Option("buy", "The deed's buy value, for --scripts.", "TEXT");
    args.Option("sell", "The deed's sell value, for --scripts 55 or 51a.", "TEXT");
    if (!args.Parse(arguments, 1)) return Success;
    std::optional<std::uint32_t> replace;
    if (args.IsSet("replace")) replace = ParseMultiId(args.Text("replace"));
    Session session = SessionFor(args);
    UseGameFiles(session, args);
    session.Backups.Enabled = ChosenBackups(args).Value == "on";
    std::optional<std::int16_t> format;
    ScriptEntry entry;
    if (args.IsSet("scripts")) {
        format = ScriptFormatOf(args.Text("scripts"));
        const bool sell = UsesSellValue(*format);
        if (!sell && args.IsSet("sell")) throw BadUsage("--sell goes with --scripts 55 or 51a");
        entry = {args.Required("name"), args.Required("buy"), sell ? args.Required("sell") : ""};
    } else if (args.IsSet("name") || args.IsSet("buy") || args.IsSet("sell")) {
        throw BadUsage("--name, --buy and --sell go with --scripts");
    }
    OpenLibrary(session);
    RequireStoredTemplate(session, args.TemplateId(0));
    LoadComponents(session);
    // Named before anything is written, so that a script's log shows what a patch touched.
    PatchTargets targets = session.Targets();
    for (const std::string* file :
         {&targets.MultiIdxPath, &targets.MultiMulPath, &targets.MultiUopPath})
        if (!file->empty()) std::cerr << "multiwardstone-cli: about to change " << *file << "\n";
    auto notice = [](const std::string& line) {
        std::cerr << "multiwardstone-cli: " << line << "\n";
    };
    PatchResult result = PatchStoredTemplate(session, args.TemplateId(0), {}, {}, replace, notice);
    std::cout << PatchLine(result.PatchSlot) << ReplacedText(result) << "\n";
    if (format) std::cout << ScriptsForLastPatch(session, *format, entry);
    if (std::string package = UnpatchedPackageBeside(targets); !package.empty())
        std::cerr << "multiwardstone-cli: "
                  << UnpatchedPackageNote(package, "Name it with --uop to patch both.") << "\n";
    // The game files have changed: a script that sees a failure must not patch again blindly.
    FlushStandardOutput("Patched " + PatchLine(result.PatchSlot));
    return Success;
}

int Extract(const QStringList& arguments) {
    Arguments args("extract",
                   "Writes one multi of multi.idx / multi.mul, or of MultiCollection.uop "
                   "(--uop), as a template text file. Without --idx, --mul and --uop, the "
                   "files of the window's settings: the pair when they name it.");
    args.Positional("HEXID", "The multi id in hexadecimal, for example 1F4.");
    args.Positional("FILE", "The file to write, or - for standard output.");
    GameFileOptions(args);
    if (!args.Parse(arguments, 2)) return Success;
    const bool options = args.IsSet("idx") || args.IsSet("mul") || args.IsSet("uop");
    if (options && args.IsSet("uop") == args.IsSet("idx"))
        throw BadUsage("name either --uop, or --idx and --mul");
    Session session = SessionFor(args);
    UseGameFiles(session, args);
    // From the settings, the pair when they name it, as the window's Multi Muls import reads.
    GameMulti multi = ParseGameMulti(!session.Targets().HasMulFiles(), args.At(0));
    WriteOutput(args, args.At(1), GameMultiText(session, multi));
    return Success;
}

} // namespace mw::cli
