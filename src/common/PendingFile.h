#pragma once

#include <string>
#include <string_view>

namespace mw {

// A new version of a file, written under a temporary name in the same folder
// ("MultiCollection.uop.multiwardstone-Ab12Cd"), that takes the file's place only when Commit is
// called; dropped, leaving the file as it was, otherwise. The
// new file keeps the permissions of the one it replaces, and its owner and group where the
// system lets us. A path through symbolic links means the file at their end, which is replaced
// there, so that the links stay links.
class PendingFile {
public:
    explicit PendingFile(const std::string& path); // throws RunError naming the path
    ~PendingFile();                                // removes the temporary file unless committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Whether a file name (without its folder) is that of a temporary file for the file named
    // `target`, as a process killed before Commit leaves it.
    static bool IsTemporaryFor(const std::string& name, const std::string& target);

    const std::string& TemporaryPath() const { return temp_; }
    // Writes the whole contents and makes them reach the disk.
    void Write(std::string_view contents);
    // The temporary file's contents as the disk gives them back.
    std::string ReadBack() const;
    // Renames the temporary file over the target.
    void Commit();

private:
    std::string path_, temp_;
    int fd_ = -1;
    bool committed_ = false;
};

} // namespace mw
