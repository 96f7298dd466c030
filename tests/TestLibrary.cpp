#include "TestLibrary.h"

#include "common/Files.h"
#include "common/Platform.h"
#include "patcher/GameFilesLock.h"
#include "store/CreateLibrary.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace mw::test {

TempFolder::TempFolder() : path_(platform::MakeTemporaryFolder("wardstone-test-")) {}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(platform::FsPath(path_), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(platform::FsPath(path_), ignored);
}

std::string TempFolder::Write(const std::string& name, const std::string& contents) const {
    std::string path = File(name);
    std::ofstream(platform::FsPath(path), std::ios::binary) << contents;
    return path;
}

TestLibrary::TestLibrary() : Path(Folder.File("Wardstone.dat")) {
    CreateEmptyLibrary(Path, ReadWholeFile(SCHEMA_FILE));
    cnTemplates = std::make_unique<Connection>(Path);
}

InstalledPrefix::InstalledPrefix(bool withSchema) {
    std::filesystem::create_directories(platform::FsPath(Folder.File("bin")));
    std::filesystem::create_directories(platform::FsPath(Defaults()));
    if (withSchema)
        std::filesystem::copy_file(SCHEMA_FILE, platform::FsPath(Defaults() + "/schema.sql"));
    Folder.Write("share/multiwardstone/components.txt", "ID Name\r\n0675 door\r\n");
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(platform::FsPath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(platform::FsPath(folder)))
        if (file.path().filename() != GameFilesLock::FileName)
            names.push_back(platform::PathText(file.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

std::string DataFile(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/" + name;
}

std::optional<RunError> FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RunError& e) {
        return e;
    }
    return std::nullopt;
}

long FailureNumber(const std::function<void()>& action) {
    auto failure = FailureOf(action);
    return failure ? failure->Number : 0;
}

std::string TemplateFile(const std::vector<std::string>& components) {
    std::string text = "6 version\r\n1 template id\r\n-1 item version\r\n" +
                       std::to_string(components.size()) + " num components\r\n";
    for (const auto& line : components)
        text += line + "\r\n";
    return text;
}

std::vector<std::string> StoredBlocks(Connection& cnTemplates, std::int32_t templateId) {
    if (!cnTemplates.blnConnected()) cnTemplates.OpenConnection("");
    Statement blocks = cnTemplates.Prepare("select ItemID || ' ' || X || ' ' || Y || ' ' || Z || "
                                           "' ' || Flag from TemplateBlocks where TempIndexID = ? "
                                           "order by TempBlockID");
    blocks.Bind(1, std::int64_t{templateId});
    std::vector<std::string> rows;
    while (blocks.Step())
        rows.push_back(blocks.Text(0));
    return rows;
}

std::vector<std::string> Rows(const ComponentBuffer& buffer) {
    std::vector<std::string> rows;
    for (size_t i = 0; i < static_cast<size_t>(buffer.ComponentCount); ++i)
        rows.push_back(buffer.ItemID.at(i) + " " + buffer.X.at(i) + " " + buffer.Y.at(i) + " " +
                       buffer.Z.at(i) + " " + buffer.Flag.at(i));
    return rows;
}

std::vector<std::string> Rows(const TemplateComponents& components) {
    ComponentBuffer buffer;
    FillBuffer(buffer, components);
    return Rows(buffer);
}

ComponentBuffer BufferWith(const std::vector<std::array<std::string, 5>>& components) {
    ComponentBuffer buffer;
    for (const auto& c : components) {
        size_t i = AppendComponent(buffer);
        buffer.ItemID[i] = c[0], buffer.X[i] = c[1], buffer.Y[i] = c[2];
        buffer.Z[i] = c[3], buffer.Flag[i] = c[4];
    }
    buffer.ComponentCount = static_cast<std::int32_t>(components.size());
    return buffer;
}

} // namespace mw::test
