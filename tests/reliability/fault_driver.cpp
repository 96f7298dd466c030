// One import, patch or save as multiwardstone-cli runs it, with a progress function that stops
// (--stop-at N) or kills (--kill-at N) this process at its Nth call, so that reliability.py can
// interrupt the work at a known point:
//
//   fault_driver import --db DB --file TXT --category C --subsection S --description D [...]
//   fault_driver patch --db DB --id ID [--idx IDX --mul MUL] [--uop UOP] [...]
//   fault_driver save --db DB --id ID [...]     (as transform ID --shift 1 0 0 saves)
//
// Prints the new template's id, the filled entry or the saved template's id; exit status 0, or 1
// with the failure on standard error. No components.txt is read and no backups are made.
#include "app/FileByName.h"
#include "app/ImportSources.h"
#include "app/PatchAndScripts.h"
#include "app/Session.h"
#include "app/TemplateEditing.h"
#include "app/Transforms.h"
#include "common/RunError.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <thread>

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

// The template moved one tile along x and saved in place, in one transaction. When it is to be
// interrupted, each progress call waits a little, so that the calls come every 256 components
// (see ProgressTicker) and the Nth falls at a known row; and a small page cache writes the
// rewritten rows to the file while the transaction runs, as a library far larger than the cache.
std::int32_t Save(mw::Session& session, const Options& options) {
    const std::int32_t id = std::stoi(Option(options, "id"));
    mw::EditedTemplate edited = mw::OpenTemplate(session, id);
    mw::MoveComponents(edited.Components, mw::Selection::All(), 1, 0, 0).Apply(edited.Components);
    mw::Progress progress;
    if (options.count("kill-at") || options.count("stop-at")) {
        session.cnTemplates.Run("pragma cache_size = 16");
        progress = [interrupt = Interrupting(options)](std::int64_t done, std::int64_t total) {
            std::this_thread::sleep_for(std::chrono::milliseconds(55));
            return interrupt(done, total);
        };
    }
    mw::SaveTemplate(session, edited, progress);
    return id;
}

} // namespace

int main(int argc, char** argv) {
    std::signal(SIGXFSZ, SIG_IGN); // as the command line: a write past the limit fails instead
    Options options;
    for (int i = 2; i + 1 < argc; i += 2)
        options[std::string(argv[i]).substr(2)] = argv[i + 1];
    std::string command = argc > 1 ? argv[1] : "";
    const std::map<std::string, std::int32_t (*)(mw::Session&, const Options&)> commands = {
        {"import", Import}, {"patch", Patch}, {"save", Save}};
    if (!commands.count(command)) {
        std::cerr << "usage: fault_driver import|patch|save --db DB ... [--stop-at N | "
                     "--kill-at N]\n";
        return 2;
    }
    try {
        mw::Session session(".", Option(options, "db"));
        session.cnTemplates.OpenConnection("");
        std::cout << commands.at(command)(session, options) << std::endl;
        return 0;
    } catch (...) {
        std::cerr << "fault_driver: " << mw::AsRunError(std::current_exception()).Text() << "\n";
        return 1;
    }
}
