#include "TestLibrary.h"

#include "common/TextFile.h"
#include "store/CreateLibrary.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace mw::test {

TempFolder::TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "wardstone-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string& name, const std::string& contents) const {
    std::string path = File(name);
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

TestLibrary::TestLibrary() : Path(Folder.File("Wardstone.dat")) {
    CreateEmptyLibrary(Path, ReadWholeFile(SCHEMA_FILE));
    cnTemplates = std::make_unique<Connection>(Path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(folder))
        names.push_back(file.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string DataFile(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/" + name;
}

} // namespace mw::test
