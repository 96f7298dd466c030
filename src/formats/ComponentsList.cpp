#include "formats/ComponentsList.h"

#include "common/LineReader.h"

#include <algorithm>
#include <cctype>

namespace mw {

void ComponentsList::Add(std::string key) {
    keys_.insert(key);
    entries_.push_back(std::move(key));
}

void ComponentsList::Clear() {
    entries_.clear();
    keys_.clear();
}

void LoadComponentsList(ComponentsList& list, const std::string& path) {
    list.Clear();
    LineReader reader(path);
    std::string_view line;
    if (!reader.ReadLine(line)) return; // the heading
    while (reader.ReadLine(line)) {
        std::string key(line.substr(0, line.find_first_of(" \t")));
        if (key.empty()) continue; // an empty line names no item
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        list.Add(std::move(key));
    }
}

} // namespace mw
