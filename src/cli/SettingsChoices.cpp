// What the command line takes from the window's settings when its options do not say, and the
// settings subcommand that shows it.
#include "cli/Cli.h"

#include "app/TemplatePreview.h"
#include "common/Files.h"
#include "settings/SettingsStore.h"

#include <QSettings>
#include <iostream>

namespace mw::cli {

namespace {

const StoredSettings& WindowSettings() {
    static const StoredSettings stored = [] {
        QSettings store("MultiWardstone", "MultiWardstone");
        return LoadStoredSettings(store);
    }();
    return stored;
}

Chosen FromSettings(const QString& value, const char* key) {
    return {value.toStdString(), std::string("settings ") + key};
}

Chosen FromOption(const Arguments& args, const char* name) {
    return {args.Path(name), std::string("--") + name};
}

// Where the library and components.txt live when --db names no library.
std::string FolderFrom() {
    return Location().Installed() ? "the user's data folder (installed program)"
                                  : "beside the program";
}

void Row(const char* name, const Chosen& chosen) {
    std::cout << name << "\t" << (chosen.Value.empty() ? "(none)" : chosen.Value) << "\t"
              << chosen.From << "\n";
}

} // namespace

ChosenFiles ChosenGameFiles(const Arguments& args) {
    if (args.IsSet("idx") || args.IsSet("mul") || args.IsSet("uop"))
        return {FromOption(args, "idx"), FromOption(args, "mul"), FromOption(args, "uop")};
    const StoredSettings& stored = WindowSettings();
    return {FromSettings(stored.MultiIdx, "Files/MultiIdx"),
            FromSettings(stored.MultiMul, "Files/MultiMul"),
            FromSettings(stored.MultiUop, "Files/MultiUop"), true};
}

Chosen ChosenRecordSize(const Arguments& args) {
    if (args.IsSet("record-size")) return {args.Text("record-size"), "--record-size"};
    const QString& stored = WindowSettings().MultiRecordSize;
    if (stored.isEmpty()) return {"auto", "default"};
    // As the window reads it: anything but 12 and 16 is Auto.
    std::string size = RecordSizeChoiceText(RecordSizeChoiceFrom(stored.toStdString()));
    return {size == "Auto" ? "auto" : size, "settings Files/MultiRecordSize"};
}

Chosen ChosenBackups(const Arguments& args) {
    if (args.IsSet("backup") && args.IsSet("no-backup"))
        throw BadUsage("--backup and --no-backup exclude each other");
    if (args.IsSet("backup")) return {"on", "--backup"};
    if (args.IsSet("no-backup")) return {"off", "--no-backup"};
    std::optional<bool> stored = WindowSettings().BackUpGameFiles;
    if (!stored) return {"on", "default"};
    return {*stored ? "on" : "off", "settings Settings/BackUpGameFiles"};
}

Chosen ChosenArtFolder(const Arguments& args, Session& session) {
    if (args.IsSet("art-folder")) return FromOption(args, "art-folder");
    const StoredSettings& stored = WindowSettings();
    session.ArtFolderPath = stored.ArtFolder.toStdString();
    session.MultiMulPath = stored.MultiMul.toStdString();
    session.MultiUopPath = stored.MultiUop.toStdString();
    const char* from = !session.ArtFolderPath.empty()  ? "settings Files/ArtFolder"
                       : !session.MultiMulPath.empty() ? "settings: the folder of Files/MultiMul"
                       : !session.MultiUopPath.empty() ? "settings: the folder of Files/MultiUop"
                                                       : "settings: none, components are boxes";
    return {PreviewArtFolder(session), from};
}

std::string SettingsFile() {
    return QSettings("MultiWardstone", "MultiWardstone").fileName().toStdString();
}

int Settings(const QStringList& arguments) {
    Arguments args("settings",
                   "Prints what the other subcommands would use with these options, one value a "
                   "line: its name, the value and where it comes from (an option, the window's "
                   "settings file or a default), tab-separated. The game files come from the "
                   "settings only when none of --idx, --mul and --uop is given.");
    GameFileOptions(args);
    args.Option("backup", "Copy each game file once before a patch changes it.");
    args.Option("no-backup", "Do not copy the game files before a patch changes them.");
    args.Option("art-folder", "The folder render reads art from.", "DIR");
    if (!args.Parse(arguments, 0)) return Success;
    Session session = SessionFor(args);
    Row("db", {args.LibraryPath(), args.IsSet("db") ? "--db" : FolderFrom()});
    Row("components", {session.ComponentsPath(), FolderFrom()});
    Row("settings-file", {SettingsFile(), FileExists(SettingsFile()) ? "found" : "not found"});
    ChosenFiles files = ChosenGameFiles(args);
    Row("idx", files.Idx);
    Row("mul", files.Mul);
    Row("uop", files.Uop);
    Row("record-size", ChosenRecordSize(args));
    Row("backup", ChosenBackups(args));
    Row("art-folder", ChosenArtFolder(args, session));
    return Success;
}

} // namespace mw::cli
