// One import or one patch as multiwardstone-cli runs it, with a progress function that stops
// (--stop-at N) or kills (--kill-at N) this process at its Nth call, so that reliability.py can
// interrupt the work at a known point:
//
//   fault_driver import --db DB --file TXT --category C --subsection S --description D [...]
//   fault_driver patch --db DB --id ID [--idx IDX --mul MUL] [--uop UOP] [...]
//
// Prints the new template's id or the filled entry; exit status 0, or 1 with the failure on
// standard error. No components.txt is read and no backups are made.
#include "app/FileByName.h"
#include "app/ImportSources.h"
#include "app/PatchAndScripts.h"
#include "app/Session.h"
#include "common/RunError.h"

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>

namespace {

using Options = std::map<std::string, std::string>;

std::string Option(const Options& options, const std::string& name) {
    auto found = options.find(name);
    return found == options.end() ? std::string() : found->second;
}

mw::Progress Interrupting(const Options& options) {
    int signal = options.count("kill-at") ? SIGKILL : SIGSTOP;
    long at = std::atol(Option(options, signal == SIGKILL ? "kill-at" : "stop-at").c_str());
    return [signal, at, calls = 0L](std::int64_t, std::int64_t) mutable {
        if (++calls == at) std::raise(signal);
        return true;
    };
}

// As the command line imports: the file read, then filed by name in one transaction, in which
// the progress function is called.
std::int32_t Import(mw::Session& session, const Options& options) {
    if (!mw::ReadImportFile(session, mw::ImportSource::Txt, Option(options, "file")))
        throw mw::RunError(mw::err::InvalidProcedureCall, session.Buffer.LastReadMessage.Text);
    mw::FilingByName filing{Option(options, "category"), Option(options, "subsection"),
                            Option(options, "description"), true};
    return mw::StoreFiledByName(session, filing, Interrupting(options));
}

std::int32_t Patch(mw::Session& session, const Options& options) {
    session.MultiIdxPath = Option(options, "idx");
    session.MultiMulPath = Option(options, "mul");
    session.MultiUopPath = Option(options, "uop");
    session.Backups.Enabled = false;
    return mw::PatchStoredTemplate(session, std::stoi(Option(options, "id")), {},
                                   Interrupting(options))
        .PatchSlot;
}

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGXFSZ, SIG_IGN); // as the command line: a write past the limit fails instead
    Options options;
    for (int i = 2; i + 1 < argc; i += 2)
        options[std::string(argv[i]).substr(2)] = argv[i + 1];
    std::string command = argc > 1 ? argv[1] : "";
    if (command != "import" && command != "patch") {
        std::cerr << "usage: fault_driver import|patch --db DB ... [--stop-at N | --kill-at N]\n";
        return 2;
    }
    try {
        mw::Session session(".", Option(options, "db"));
        session.cnTemplates.OpenConnection("");
        std::cout << (command == "import" ? Import(session, options) : Patch(session, options))
                  << std::endl;
        return 0;
    } catch (...) {
        std::cerr << "fault_driver: " << mw::AsRunError(std::current_exception()).Text() << "\n";
        return 1;
    }
}
