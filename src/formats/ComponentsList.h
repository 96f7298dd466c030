#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace mw {

// The item ids, as id keys such as "04A3", of components that the server places separately
// (doors and the like), loaded once from components.txt beside the library.
class ComponentsList {
public:
    bool Empty() const { return entries_.empty(); }
    size_t Count() const { return entries_.size(); }
    const std::vector<std::string>& Entries() const { return entries_; }
    bool Contains(const std::string& key) const { return keys_.count(key) != 0; }
    void Add(std::string key);
    void Clear();

private:
    std::vector<std::string> entries_;
    std::unordered_set<std::string> keys_;
};

// Reads components.txt: a heading line, then one id key per line up to the first space.
// A missing file fails with a RunError; the list is then empty.
void LoadComponentsList(ComponentsList& list, const std::string& path);

} // namespace mw
