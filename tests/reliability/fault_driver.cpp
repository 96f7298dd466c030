// One import or one patch as multiwardstone-cli runs it, with a progress function that stops
// (--stop-at N) or kills (--kill-at N) this process at its Nth call, so that reliability.py can
// interrupt the work at a known point:
//
//   fault_driver import --db DB --file TXT --category C --subsection S --description D [...]
//   fault_driver patch --db DB --id ID [--idx IDX --mul MUL] [--uop UOP] [...]
//
// Prints the new template's id or the filled entry; exit status 0, or 1 with the failure on
// standard error. No components.txt is read and no backups are made.
#include "common/RunError.h"
#include "common/Session.h"
#include "formats/TemplateText.h"
#include "patcher/PatchTemplate.h"
#include "store/CCategory.h"
#include "store/CSubSection.h"
#include "store/Filing.h"
#include "store/SaveNewTemplate.h"

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

// As the command line's import files it: category and subsection found or added, and the
// template stored, in one transaction.
std::int32_t Import(mw::Session& session, const Options& options) {
    if (!mw::ReadComponentList(session.Buffer, session.Components, Option(options, "file")))
        throw mw::RunError(mw::err::InvalidProcedureCall, session.Buffer.LastReadMessage.Text);
    mw::CCategory category(session.cnTemplates);
    mw::CSubSection subsection(session.cnTemplates);
    category.Connect(session.DatabasePath(), mw::adUseServer, mw::adLockOptimistic);
    subsection.Connect(session.DatabasePath(), mw::adUseServer, mw::adLockOptimistic);
    mw::Transaction filing(session.cnTemplates);
    std::string categoryName = Option(options, "category"), name = Option(options, "subsection");
    auto categoryId = mw::FindCategory(category, categoryName);
    if (!categoryId) categoryId = mw::AddCategory(category, categoryName);
    auto subsectionId = mw::FindSubSection(subsection, *categoryId, name);
    if (!subsectionId) subsectionId = mw::AddSubSection(subsection, *categoryId, name);
    mw::NewTemplateFields fields{std::to_string(*categoryId), std::to_string(*subsectionId),
                                 Option(options, "description")};
    std::int32_t id =
        mw::SaveNewTemplate(session.cnTemplates, session.Buffer, fields, Interrupting(options));
    filing.Commit();
    return id;
}

std::int32_t Patch(mw::Session& session, const Options& options) {
    mw::PatchTargets targets{Option(options, "idx"), Option(options, "mul"),
                             Option(options, "uop")};
    return mw::PatchTemplate(session.cnTemplates, session.Buffer, session.Components,
                             std::stoi(Option(options, "id")), targets, {}, Interrupting(options))
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
