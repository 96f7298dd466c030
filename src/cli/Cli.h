#pragma once

#include "common/RunError.h"
#include "common/Session.h"
#include "patcher/PatchGameFiles.h"

#include <QCommandLineParser>
#include <QStringList>
#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>

namespace mw::cli {

enum ExitCode { Success = 0, Failure = 1, UsageError = 2 };

// A command line that does not say what it means: exit status 2 and the usage text.
struct BadUsage : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One subcommand's arguments: its own options plus --db and --help.
class Arguments {
public:
    Arguments(const QString& name, const QString& summary);
    QCommandLineParser& Parser() { return parser_; }
    void Positional(const QString& name, const QString& description);
    void Option(const QString& name, const QString& description, const QString& valueName = {});
    // Parses; false when --help was asked for (the help has then been printed).
    bool Parse(const QStringList& arguments, int positionalCount);

    QString Value(const QString& name) const { return parser_.value(name); }
    std::string Text(const QString& name) const { return parser_.value(name).toStdString(); }
    std::string Required(const QString& name) const; // an option that must be given
    bool IsSet(const QString& name) const { return parser_.isSet(name); }
    std::string At(int index) const {
        return parser_.positionalArguments().at(index).toStdString();
    }
    std::int32_t TemplateId(int index) const;
    std::string LibraryPath() const;

private:
    QString name_;
    QCommandLineParser parser_;
};

// What the window would show for a failure: the number and the description, with the window's
// fixed message where it has one.
std::string FailureText(const RunError& failure);

// The session over the library that --db names (or the one beside the program), opened.
void OpenLibrary(Session& session);

// "-" stands for standard input or output where a file is read or written.
std::string InputPath(const std::string& path);
void WriteOutput(const std::string& path, const std::string& text);

// Loads components.txt beside the program, when there is one.
void LoadComponents(Session& session);

// The options that name the game's files: --idx, --mul, --uop and --record-size.
void GameFileOptions(Arguments& args);
// The files they name; the pair counts when both are given, the package when it is. Usage
// errors when neither is, or only one of the pair.
PatchTargets GameFiles(const Arguments& args);

// The text of the multi that the hexadecimal id names in the game files the options name: the
// package, or multi.idx / multi.mul.
std::string GameMultiAsText(const Arguments& args, const std::string& hexId, bool fromPackage);

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

using Subcommand = std::function<int(const QStringList& arguments)>;

int List(const QStringList& arguments);
int Show(const QStringList& arguments);
int Export(const QStringList& arguments);
int Delete(const QStringList& arguments);
int Import(const QStringList& arguments);
int Patch(const QStringList& arguments);
int Extract(const QStringList& arguments);

} // namespace mw::cli
