// multiwardstone-cli: what the window does with files, from a shell.
#include "cli/Cli.h"

#include "app/Failures.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <QCoreApplication>
#include <iostream>
#include <map>

namespace {

struct Entry {
    mw::cli::Subcommand Run;
    const char* Summary;
};

const std::map<QString, Entry>& Subcommands() {
    using namespace mw::cli;
    static const std::map<QString, Entry> subcommands = {
        {"list", {List, "the library as the tree shows it"}},
        {"show", {Show, "a template's components in the template text format"}},
        {"import", {Import, "store a template (or a batch of designs) read from a file"}},
        {"export", {Export, "write a template, a category or the library as a file"}},
        {"delete", {Delete, "delete a template (--yes), a category or a subsection"}},
        {"rename", {Rename, "rename a template, a category or a subsection"}},
        {"move", {Move, "file a template under another category and subsection"}},
        {"copy", {Copy, "copy a template (\"Copy of ...\")"}},
        {"transform", {Transform, "move, turn, mirror or re-centre a template, replace item ids"}},
        {"extract", {Extract, "one multi of multi.idx / multi.mul as a template text file"}},
        {"patch", {Patch, "patch a template into multi.idx / multi.mul"}},
        {"render", {Render, "draw a template with the client's art as a PNG file"}},
        {"settings", {Settings, "what the others would use, and where each value comes from"}},
    };
    return subcommands;
}

void Usage(std::ostream& out) {
    out << "usage: multiwardstone-cli SUBCOMMAND [options] [arguments]\n\nSubcommands:\n";
    for (const auto& [name, entry] : Subcommands())
        out << "  " << name.toStdString() << std::string(10 - name.size(), ' ') << entry.Summary
            << "\n";
    out << "\nEach subcommand takes --help. Results go to standard output, messages to standard\n"
           "error; the exit status is 0 on success, 1 on a failure, 2 on a usage error and 3\n"
           "when a change was made but standard output could not take its report (standard\n"
           "error then says what was stored, patched or changed).\n"
           "Options not given are taken from the window's settings where they are kept there:\n"
           "see the settings subcommand. --version prints the version.\n";
}

} // namespace

int main(int argc, char** argv) {
    // A full disk, a file-size limit or a closed pipe makes the write fail with a message
    // instead of ending the program on the spot, half done.
    mw::platform::IgnoreWriteSignals();
    mw::platform::UseBinaryStandardStreams();
    QCoreApplication app(argc, argv);
    QStringList arguments = mw::cli::RawArguments(argc, argv);
    if (arguments.isEmpty() || arguments.front() == "--help" || arguments.front() == "-h") {
        Usage(arguments.isEmpty() ? std::cerr : std::cout);
        return arguments.isEmpty() ? mw::cli::UsageError : mw::cli::Success;
    }
    auto subcommand = Subcommands().find(arguments.front());
    try {
        if (arguments.front() == "--version") {
            std::cout << "multiwardstone-cli " WARDSTONE_VERSION "\n";
            mw::cli::FlushStandardOutput();
            return mw::cli::Success;
        }
        if (subcommand == Subcommands().end())
            throw mw::cli::BadUsage("unknown subcommand \"" + mw::cli::Bytes(arguments.front()) +
                                    "\"");
        int status = subcommand->second.Run(arguments.mid(1));
        mw::cli::FlushStandardOutput();
        return status;
    } catch (const mw::cli::BadUsage& usage) {
        std::cerr << "multiwardstone-cli: " << usage.what() << "\n";
        Usage(std::cerr);
        return mw::cli::UsageError;
    } catch (const mw::cli::UnreportedChange& change) {
        std::cerr << "multiwardstone-cli: " << change.Text() << "\n";
        return mw::cli::Unreported;
    } catch (...) {
        std::cerr << "multiwardstone-cli: "
                  << mw::FailureText(mw::AsRunError(std::current_exception())) << "\n";
        return mw::cli::Failure;
    }
}
