#pragma once

#include "common/RunError.h"
#include "formats/ComponentBuffer.h"
#include "formats/TemplateComponents.h"
#include "store/Connection.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mw::test {

// A folder of its own for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Writes a file of the given bytes into the folder and returns its path.
    std::string Write(const std::string& name, const std::string& contents) const;

private:
    std::string path_;
};

// A fresh, empty library in a folder of its own, and the connection to it.
struct TestLibrary {
    TestLibrary();
    TempFolder Folder;
    std::string Path;
    std::unique_ptr<Connection> cnTemplates;
};

// An installed program's prefix: <prefix>/bin and <prefix>/share/multiwardstone with, unless told
// otherwise, the schema, and a components.txt that lists the door 0675.
struct InstalledPrefix {
    explicit InstalledPrefix(bool withSchema = true);
    std::string Defaults() const { return Folder.File("share/multiwardstone"); }
    TempFolder Folder;
};

std::string ReadFile(const std::string& path);
// The files of a folder, sorted, leaving out the lock file that patches keep beside game files.
std::vector<std::string> FileNames(const std::string& folder);
std::string DataFile(const std::string& name); // a sample file under tests/data

// The RunError `action` throws, nothing when it throws none; FailureNumber gives its number, 0
// when it throws none.
std::optional<RunError> FailureOf(const std::function<void()>& action);
long FailureNumber(const std::function<void()>& action);

// A template text file as the server writes it (CR LF line ends) of these component lines.
std::string TemplateFile(const std::vector<std::string>& components);

// The stored blocks of a template in their order, each as "item x y z flag".
std::vector<std::string> StoredBlocks(Connection& cnTemplates, std::int32_t templateId);

// The components of a buffer or of a typed template in their order, each as "item x y z flag".
std::vector<std::string> Rows(const ComponentBuffer& buffer);
std::vector<std::string> Rows(const TemplateComponents& components);

// A buffer holding these components (item id, x, y, z and flag texts as given), bounds untracked.
ComponentBuffer BufferWith(const std::vector<std::array<std::string, 5>>& components);

} // namespace mw::test
