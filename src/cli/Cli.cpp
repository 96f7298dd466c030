#include "cli/Cli.h"

#include "common/Convert.h"
#include "common/RunError.h"
#include "common/TextFile.h"
#include "patcher/MultiPatch.h"
#include "store/CTempIndex.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace mw::cli {

Arguments::Arguments(const QString& name, const QString& summary) : name_(name) {
    parser_.setApplicationDescription(summary);
    parser_.addHelpOption();
    Option("db", "The library file (default: Wardstone.dat beside the program).", "FILE");
}

void Arguments::Positional(const QString& name, const QString& description) {
    parser_.addPositionalArgument(name, description);
}

void Arguments::Option(const QString& name, const QString& description, const QString& valueName) {
    parser_.addOption(valueName.isEmpty() ? QCommandLineOption(name, description)
                                          : QCommandLineOption(name, description, valueName));
}

bool Arguments::Parse(const QStringList& arguments, int positionalCount) {
    QStringList all = QStringList{"multiwardstone-cli " + name_} + arguments;
    if (!parser_.parse(all)) throw BadUsage(parser_.errorText().toStdString());
    if (parser_.isSet("help")) {
        std::cout << parser_.helpText().toStdString();
        return false;
    }
    if (parser_.positionalArguments().size() != positionalCount)
        throw BadUsage("expected " + std::to_string(positionalCount) + " argument(s), got " +
                       std::to_string(parser_.positionalArguments().size()));
    return true;
}

std::string Arguments::Required(const QString& name) const {
    if (!parser_.isSet(name)) throw BadUsage("--" + name.toStdString() + " is required");
    return Text(name);
}

std::int32_t Arguments::TemplateId(int index) const {
    auto number = ParseNumber(At(index));
    if (!number || *number != static_cast<std::int32_t>(*number))
        throw BadUsage("\"" + At(index) + "\" is not a template id");
    return static_cast<std::int32_t>(*number);
}

std::string Arguments::LibraryPath() const {
    return IsSet("db") ? Text("db") : JoinPath(ExecutableFolder(), LibraryFileName);
}

std::string FailureText(const RunError& failure) {
    if (failure.Number == err::MultiFilesNotFound)
        return std::to_string(failure.Number) + " " + MultiFilesNotFoundTitle + " " +
               MultiFilesNotFoundText + " " + failure.Description;
    return failure.Text();
}

void GameFileOptions(Arguments& args) {
    args.Option("idx", "The game's multi.idx.", "FILE");
    args.Option("mul", "The game's multi.mul.", "FILE");
    args.Option("uop", "The game's MultiCollection.uop.", "FILE");
    args.Option("record-size", "The size of multi.mul's records: auto (the default), 12 or 16.",
                "SIZE");
}

PatchTargets GameFiles(const Arguments& args) {
    PatchTargets targets{args.Text("idx"), args.Text("mul"), args.Text("uop")};
    if (targets.MultiIdxPath.empty() != targets.MultiMulPath.empty())
        throw BadUsage("--idx and --mul go together");
    if (!targets.HasMulFiles() && !targets.HasPackage())
        throw BadUsage("name the game files: --idx and --mul, or --uop");
    std::string size = args.IsSet("record-size") ? args.Text("record-size") : "auto";
    if (size != "auto" && size != "12" && size != "16")
        throw BadUsage("--record-size must be auto, 12 or 16");
    targets.RecordSize = RecordSizeChoiceFrom(size == "auto" ? "Auto" : size);
    return targets;
}

void OpenLibrary(Session& session) {
    CTempIndex probe(session.cnTemplates); // connecting opens the library, or says why not
    probe.Connect(session.DatabasePath(), adUseServer, adLockOptimistic);
}

std::string InputPath(const std::string& path) {
    return path == "-" ? "/dev/stdin" : path;
}

void WriteOutput(const std::string& path, const std::string& text) {
    if (path == "-")
        std::cout << text << std::flush;
    else
        WriteFileAtomically(path, text);
}

void LoadComponents(Session& session) {
    if (FileExists(session.ComponentsPath()))
        LoadComponentsList(session.Components, session.ComponentsPath());
}

TemporaryFile::TemporaryFile(const std::string& name) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "multiwardstone-XXXXXX").string();
    if (!mkdtemp(pattern.data())) ThrowFileError(errno, pattern, "create");
    folder_ = pattern;
    path_ = JoinPath(folder_, name);
}

TemporaryFile::~TemporaryFile() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

} // namespace mw::cli
