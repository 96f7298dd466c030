#include "FuzzSupport.h"

#include "common/Convert.h"
#include "common/RunError.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace mw::fuzz {

namespace {

const std::string& ScratchFolder() {
    static const std::string folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "wardstone-fuzz-XXXXXX").string();
        Require(mkdtemp(pattern.data()) != nullptr, "a scratch folder can be created");
        return pattern;
    }();
    return folder;
}

bool IsCleared(const ComponentBuffer& buffer) {
    for (const auto* array : {&buffer.ItemID, &buffer.X, &buffer.Y, &buffer.Z, &buffer.Flag})
        if (array->size() != 1 || !array->front().empty()) return false;
    return buffer.ComponentCount == 0 && buffer.MaxX == 0 && buffer.MinX == 0 && buffer.MaxY == 0 &&
           buffer.MinY == 0;
}

bool IsWithin(const std::string& value, std::int32_t min, std::int32_t max) {
    auto number = ParseNumber(value);
    return number && *number >= min - 0.5 && *number <= max + 0.5;
}

void CheckComponents(const ComponentBuffer& buffer, size_t spare) {
    size_t count = static_cast<size_t>(buffer.ComponentCount);
    for (const auto* array : {&buffer.ItemID, &buffer.X, &buffer.Y, &buffer.Z, &buffer.Flag})
        Require(array->size() == count + spare, "the arrays hold the components and the spare");
    for (size_t i = 0; i < count; ++i) {
        Require(ParseNumber(buffer.ItemID[i]).has_value(), "item ids are numbers");
        ToItemId(buffer.ItemID[i]); // throws, and so stops the run, when the reader let it pass
        Require(IsWithin(buffer.X[i], buffer.MinX, buffer.MaxX), "X lies within the bounds");
        Require(IsWithin(buffer.Y[i], buffer.MinY, buffer.MaxY), "Y lies within the bounds");
        Require(buffer.Flag[i] == "0" || buffer.Flag[i] == "1", "flags are 0 or 1");
    }
}

const ComponentsList& SomeComponents() {
    static const ComponentsList list = [] {
        ComponentsList l;
        for (const char* key : {"04A3", "0FFFF", "01", "0"})
            l.Add(key);
        return l;
    }();
    return list;
}

} // namespace

std::string InputFile(const std::string& name, const std::uint8_t* data, size_t size) {
    std::string path = ScratchFolder() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Require(file != nullptr, "the input file can be written");
    Require(size == 0 || std::fwrite(data, 1, size, file) == size, "the input is written whole");
    std::fclose(file);
    return path;
}

void Require(bool condition, const char* promise) {
    if (condition) return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}

void FuzzReader(Reader read, const std::string& fileName, size_t spare, const std::uint8_t* data,
                size_t size) {
    ComponentBuffer buffer;
    bool ok = read(buffer, SomeComponents(), InputFile(fileName, data, size), {});
    Require(ok == buffer.LastReadOK, "LastReadOK is the result");
    Require(ok == buffer.LastReadMessage.Title.empty(), "a failure, and only a failure, says why");
    Require(ok == buffer.LastReadMessage.Text.empty(), "a message has a text");
    if (ok)
        CheckComponents(buffer, spare);
    else
        Require(IsCleared(buffer), "a failed read leaves the buffer cleared");
}

} // namespace mw::fuzz
