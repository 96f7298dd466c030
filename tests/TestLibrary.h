#pragma once

#include "store/Connection.h"

#include <memory>
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

std::string ReadFile(const std::string& path);
std::vector<std::string> FileNames(const std::string& folder); // sorted
std::string DataFile(const std::string& name);                 // a sample file under tests/data

} // namespace mw::test
