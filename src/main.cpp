// Start-up until the library window exists: opens the library beside the program and says
// what it holds.
#include "common/Paths.h"
#include "common/RunError.h"
#include "store/CTempIndex.h"

#include <iostream>

int main() {
    std::string folder = mw::ExecutableFolder();
    std::string path = mw::JoinPath(folder, mw::LibraryFileName);
    mw::Connection cnTemplates(path);
    try {
        mw::CTempIndex templates(cnTemplates);
        templates.Connect(path, mw::adUseServer, mw::adLockOptimistic);
        std::cout << "MultiWardstone: " << templates.RecordCount() << " template(s) in " << path
                  << "\n";
        return 0;
    } catch (const mw::RunError& failure) {
        std::cerr << failure.Text() << "\n";
        return 1;
    }
}
