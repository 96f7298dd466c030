#pragma once

#include "app/Session.h"
#include "common/RunError.h"
#include "settings/LibraryLocation.h"

#include <QCommandLineParser>
#include <QStringList>
#include <functional>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace mw::cli {

// Unreported (3): an import or a patch changed the library or the game files, but standard output
// could not take its report; the message says what was done, so that a script does not do it
// again. An import or a patch that fails (1) has changed nothing.
enum ExitCode { Success = 0, Failure = 1, UsageError = 2, Unreported = 3 };

// A command line that does not say what it means: exit status 2 and the usage text.
struct BadUsage : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One subcommand's arguments: its own options plus --db and --help. The arguments arrive as the
// operating system gave them, byte for byte (see RawArguments): paths are taken as those bytes,
// so that a file name that is not UTF-8 names the same file; texts that go into the library are
// read as UTF-8.
class Arguments {
public:
    Arguments(const QString& name, const QString& summary);
    QCommandLineParser& Parser() { return parser_; }
    void Positional(const QString& name, const QString& description);
    void Option(const QString& name, const QString& description, const QString& valueName = {});
    // Parses; false when --help was asked for (the help has then been printed). The positional
    // arguments number positionalCount, or from positionalCount to most when most is given.
    bool Parse(const QStringList& arguments, int positionalCount, int most = -1);
    int PositionalCount() const { return static_cast<int>(parser_.positionalArguments().size()); }

    std::string Text(const QString& name) const;     // a text, as UTF-8; empty when not given
    std::string Path(const QString& name) const;     // a path, byte for byte; empty when not given
    std::string Required(const QString& name) const; // a text that must be given, not empty
    // Whether the option is given; false for one this subcommand does not take.
    bool IsSet(const QString& name) const { return parser_.optionNames().contains(name); }
    std::string At(int index) const; // a positional argument, byte for byte
    std::int32_t TemplateId(int index) const;
    std::string LibraryPath() const;

private:
    QString Value(const QString& name) const;

    QString name_;
    QCommandLineParser parser_;
};

// The program's arguments after its name, each byte kept as one character (Latin-1), so that
// parsing them loses nothing that the operating system gave.
QStringList RawArguments(int argc, char** argv);
// An argument's bytes, as the operating system gave them.
std::string Bytes(const QString& raw);

// Standard output that could not take the report of a change that was made: exit status 3.
struct UnreportedChange : RunError {
    using RunError::RunError;
};

// Standard output must take everything printed: a full disk, a closed pipe or /dev/full fail
// with a RunError. `done` says what the command did before, for a script that must not do it
// again ("Patched entry 4, multi 0x3, item 0x4003"); the failure is an UnreportedChange then.
void FlushStandardOutput(const std::string& done = {});

// Prints the lines that say what a command changed, and flushes them: when standard output
// cannot take them, standard error says `done`, or "Changed: <lines>" (an UnreportedChange).
void ReportChange(const std::vector<std::string>& lines, std::string done = {});

std::string Quoted(const std::string& name);                     // "name"
std::string Plural(size_t n, const char* one, const char* many); // "1 template", "2 templates"

// Where the library lives when --db names none (settings/LibraryLocation).
const LibraryLocation& Location();
// A command's session: over the library --db names, which is never made, or the one of the
// location rule, which OpenLibrary makes on first use when the program is installed.
Session SessionFor(const Arguments& args);
// Opens the session's library, making it first when it may (Session::DefaultsFolder) and saying
// so on standard error.
void OpenLibrary(Session& session);

// "-" stands for standard input or output where a file is read or written. An output never
// replaces the library or the game files the arguments name.
void WriteOutput(const Arguments& args, const std::string& path, const std::string& text);

// The files that no output of a command may replace: the library and the game files it names.
std::vector<std::string> ProtectedFiles(const Arguments& args);

// Loads components.txt of the library folder, when there is one.
void LoadComponents(Session& session);

// The options that name the game's files: --idx, --mul, --uop and --record-size.
void GameFileOptions(Arguments& args);
// Makes the chosen game files and record size the session's; the pair counts when both are
// named, the package when it is. Usage errors when neither is, or only one of the pair.
void UseGameFiles(Session& session, const Arguments& args);

// A value a command uses and where it came from: an option, the window's settings or a default.
struct Chosen {
    std::string Value;
    std::string From;
};
struct ChosenFiles {
    Chosen Idx, Mul, Uop;
    bool FromSettings = false;
};
// The files the options name when any of --idx, --mul and --uop is given, else the set the
// window's settings name; never some of each.
ChosenFiles ChosenGameFiles(const Arguments& args);
Chosen ChosenRecordSize(const Arguments& args); // auto, 12 or 16
Chosen ChosenBackups(const Arguments& args);    // on or off: --backup, --no-backup, settings
// Render's art folder: --art-folder, else the preview window's rule over the settings' paths
// (which it leaves in the session). Empty when there is none.
Chosen ChosenArtFolder(const Arguments& args, Session& session);
// The file the window keeps its settings in.
std::string SettingsFile();

// A file of its own in the system's temporary folder, removed again with the object.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& name);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string folder_, path_;
};

// The file an input argument names: "-" is standard input, read through its own name where the
// system has one and otherwise copied into a temporary file first.
class InputFile {
public:
    explicit InputFile(const std::string& argument);
    const std::string& Path() const { return path_; }

private:
    std::optional<TemporaryFile> copy_;
    std::string path_;
};

using Subcommand = std::function<int(const QStringList& arguments)>;

int List(const QStringList& arguments);
int Show(const QStringList& arguments);
int Export(const QStringList& arguments);
int Delete(const QStringList& arguments);
int Import(const QStringList& arguments);
int Patch(const QStringList& arguments);
int Extract(const QStringList& arguments);
int Render(const QStringList& arguments);
int Settings(const QStringList& arguments);
int Rename(const QStringList& arguments);
int Move(const QStringList& arguments);
int Copy(const QStringList& arguments);
int Transform(const QStringList& arguments);
// delete --category NAME [--subsection NAME]: the arguments as Delete parsed them.
int DeleteShelf(const Arguments& args);

} // namespace mw::cli
