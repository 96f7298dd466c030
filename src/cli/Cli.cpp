#include "cli/Cli.h"

#include "app/UserLibrary.h"
#include "common/Convert.h"
#include "common/Files.h"
#include "common/OutputFile.h"
#include "common/Platform.h"
#include "common/RunError.h"
#include "store/CTempIndex.h"

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace mw::cli {

Arguments::Arguments(const QString& name, const QString& summary) : name_(name) {
    parser_.setApplicationDescription(summary);
    parser_.addHelpOption();
    Option("db",
           "The library file (default: Wardstone.dat beside the program or, installed, in the "
           "user's data folder).",
           "FILE");
}

void Arguments::Positional(const QString& name, const QString& description) {
    parser_.addPositionalArgument(name, description);
}

void Arguments::Option(const QString& name, const QString& description, const QString& valueName) {
    parser_.addOption(valueName.isEmpty() ? QCommandLineOption(name, description)
                                          : QCommandLineOption(name, description, valueName));
}

bool Arguments::Parse(const QStringList& arguments, int positionalCount, int most) {
    QStringList all = QStringList{"multiwardstone-cli " + name_} + arguments;
    if (!parser_.parse(all)) throw BadUsage(Bytes(parser_.errorText()));
    if (parser_.isSet("help")) {
        // The usage line names the program as users call it, not the path it was started from.
        QString help = parser_.helpText();
        QString started = QCoreApplication::arguments().value(0);
        help.replace(help.indexOf(started), started.size(), "multiwardstone-cli " + name_);
        std::cout << help.toStdString();
        return false;
    }
    if (PositionalCount() < positionalCount || PositionalCount() > std::max(most, positionalCount))
        throw BadUsage("expected " + std::to_string(positionalCount) +
                       (most > positionalCount ? " to " + std::to_string(most) : "") +
                       " argument(s), got " + std::to_string(PositionalCount()));
    return true;
}

// An option this subcommand does not take is simply not given: the files that no output may
// replace are asked for by every subcommand that writes.
QString Arguments::Value(const QString& name) const {
    return parser_.optionNames().contains(name) ? parser_.value(name) : QString();
}

std::string Arguments::Text(const QString& name) const {
    return QString::fromUtf8(Value(name).toLatin1()).toStdString();
}

std::string Arguments::Path(const QString& name) const {
    return Bytes(Value(name));
}

std::string Arguments::At(int index) const {
    return Bytes(parser_.positionalArguments().at(index));
}

std::string Arguments::Required(const QString& name) const {
    if (parser_.value(name).isEmpty())
        throw BadUsage("--" + name.toStdString() + " is required and may not be empty");
    return Text(name);
}

std::int32_t Arguments::TemplateId(int index) const {
    auto number = ParseNumber(At(index));
    if (!number || *number != static_cast<std::int32_t>(*number))
        throw BadUsage("\"" + At(index) + "\" is not a template id");
    return static_cast<std::int32_t>(*number);
}

std::string Arguments::LibraryPath() const {
    return IsSet("db") ? Path("db") : JoinPath(Location().Folder, LibraryFileName);
}

const LibraryLocation& Location() {
    static const LibraryLocation location = LocateLibrary();
    return location;
}

Session SessionFor(const Arguments& args) {
    return Session(Location().Folder, args.LibraryPath(),
                   args.IsSet("db") ? std::string() : Location().DefaultsFolder);
}

QStringList RawArguments(int argc, char** argv) {
    QStringList arguments;
    std::vector<std::string> bytes = platform::Arguments(argc, argv);
    for (size_t i = 1; i < bytes.size(); ++i)
        arguments << QString::fromLatin1(bytes[i].data(), static_cast<qsizetype>(bytes[i].size()));
    return arguments;
}

std::string Bytes(const QString& raw) {
    return raw.toLatin1().toStdString();
}

void FlushStandardOutput(const std::string& done) {
    if (std::cout.flush()) return;
    const int cause = errno != 0 ? errno : EIO;
    RunError failure = FileError(cause, "standard output", "write");
    if (done.empty()) throw failure;
    throw UnreportedChange(
        failure.Number, done + ", but cannot write \"standard output\": " + std::strerror(cause));
}

void ReportChange(const std::vector<std::string>& lines, std::string done) {
    std::string listed = "Changed:";
    for (const std::string& line : lines) {
        std::cout << line << "\n";
        listed += (&line == &lines.front() ? " " : "; ") + line;
    }
    FlushStandardOutput(done.empty() ? listed : done);
}

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

std::string Plural(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void GameFileOptions(Arguments& args) {
    args.Option("idx",
                "The game's multi.idx. Without --idx, --mul and --uop: the game files of the "
                "window's settings, all of them.",
                "FILE");
    args.Option("mul", "The game's multi.mul.", "FILE");
    args.Option("uop", "The game's MultiCollection.uop.", "FILE");
    args.Option("record-size",
                "The size of multi.mul's records: auto, 12 or 16 (default: as the settings say, "
                "else auto).",
                "SIZE");
}

void UseGameFiles(Session& session, const Arguments& args) {
    ChosenFiles files = ChosenGameFiles(args);
    session.MultiIdxPath = files.Idx.Value;
    session.MultiMulPath = files.Mul.Value;
    session.MultiUopPath = files.Uop.Value;
    PatchTargets targets = session.Targets();
    const std::string where = files.FromSettings ? " (the settings name none)" : "";
    if (targets.MultiIdxPath.empty() != targets.MultiMulPath.empty())
        throw BadUsage(files.FromSettings ? "the settings name only one of multi.idx and "
                                            "multi.mul: name --idx and --mul, or --uop"
                                          : "--idx and --mul go together");
    if (!targets.HasMulFiles() && !targets.HasPackage())
        throw BadUsage("name the game files: --idx and --mul, or --uop" + where);
    std::string size = ChosenRecordSize(args).Value;
    if (size != "auto" && size != "12" && size != "16")
        throw BadUsage("--record-size must be auto, 12 or 16");
    session.RecordSize = RecordSizeChoiceFrom(size == "auto" ? "Auto" : size);
}

void OpenLibrary(Session& session) {
    if (!session.DefaultsFolder.empty() &&
        ProvideUserLibrary(session.AppFolder, session.DefaultsFolder))
        std::cerr << "multiwardstone-cli: made an empty library: " << session.DatabasePath()
                  << "\n";
    CTempIndex probe(session.cnTemplates); // connecting opens the library, or says why not
    probe.Connect(session.DatabasePath(), adUseServer, adLockOptimistic);
}

InputFile::InputFile(const std::string& argument) : path_(argument) {
    if (argument != "-") return;
    path_ = platform::StandardInputName();
    if (!path_.empty()) return;
    path_ = copy_.emplace("standard-input").Path();
    std::ofstream copy(platform::FsPath(path_), std::ios::binary);
    copy << std::cin.rdbuf();
    if (!copy.flush()) throw RunError(err::PathFileAccessError, "Cannot copy standard input");
}

void WriteOutput(const Arguments& args, const std::string& path, const std::string& text) {
    if (path == "-") {
        std::cout << text;
        FlushStandardOutput();
        return;
    }
    RefuseProtectedTarget(path, ProtectedFiles(args));
    WriteFileAtomically(path, text);
}

std::vector<std::string> ProtectedFiles(const Arguments& args) {
    ChosenFiles files = ChosenGameFiles(args);
    return {args.LibraryPath(), files.Idx.Value, files.Mul.Value, files.Uop.Value};
}

void LoadComponents(Session& session) {
    if (FileExists(session.ComponentsPath()))
        LoadComponentsList(session.Components, session.ComponentsPath());
}

TemporaryFile::TemporaryFile(const std::string& name) {
    folder_ = platform::MakeTemporaryFolder("multiwardstone-");
    path_ = JoinPath(folder_, name);
}

TemporaryFile::~TemporaryFile() {
    std::error_code ignored;
    std::filesystem::remove_all(platform::FsPath(folder_), ignored);
}

} // namespace mw::cli
