#pragma once

#include <QDir>
#include <filesystem>
#include <string>

namespace mw::test {

// Runs a test in a folder of its own as the process's current folder, and goes back afterwards.
class InFolder {
public:
    explicit InFolder(const std::string& folder) {
        QDir::setCurrent(QString::fromStdString(folder));
    }
    ~InFolder() { QDir::setCurrent(was_); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    QString was_ = QDir::currentPath();
};

// Makes the folder with every folder above it, and returns its path.
inline std::string MakeFolder(const std::string& path) {
    std::filesystem::create_directories(path);
    return path;
}

} // namespace mw::test
