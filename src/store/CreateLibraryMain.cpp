// create-library LIBRARY SCHEMA: the build's way of giving a fresh machine an empty library.
#include "common/Files.h"
#include "common/RunError.h"
#include "store/CreateLibrary.h"

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: create-library LIBRARY SCHEMA\n";
        return 2;
    }
    try {
        if (mw::CreateEmptyLibrary(argv[1], mw::ReadWholeFile(argv[2])))
            std::cout << "Created an empty library: " << argv[1] << "\n";
        return 0;
    } catch (const mw::RunError& failure) {
        std::cerr << failure.Text() << "\n";
        return 1;
    }
}
