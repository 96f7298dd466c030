#include "FuzzSupport.h"

#include "common/Convert.h"
#include "common/RunError.h"
#include "formats/TemplateText.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

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

void CheckComponents(const ComponentBuffer& buffer) {
    size_t count = static_cast<size_t>(buffer.ComponentCount);
    for (const auto* array : {&buffer.ItemID, &buffer.X, &buffer.Y, &buffer.Z, &buffer.Flag})
        Require(array->size() == count + 1, "the arrays hold the components and the spare");
    for (size_t i = 0; i < count; ++i) {
        // These throw, and so stop the run, for a value the reader should have refused.
        WholeItemId(buffer.ItemID[i]);
        for (const auto* array : {&buffer.X, &buffer.Y, &buffer.Z})
            WholeInteger((*array)[i]);
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

std::string ComponentLine(const MulRecord& record) {
    return std::to_string(record.ItemID) + ' ' + std::to_string(record.X) + ' ' +
           std::to_string(record.Y) + ' ' + std::to_string(record.Z) + ' ' +
           std::to_string(record.Flag);
}

// Reading back drops the flag, so the lines themselves are compared too.
void CheckLines(std::string_view text, const std::vector<MulRecord>& records) {
    size_t line = 0;
    for (size_t at = 0; at < text.size(); ++line) {
        size_t end = text.find("\r\n", at);
        Require(end != std::string_view::npos, "every line ends with CR LF");
        std::string_view content = text.substr(at, end - at);
        if (line == 3)
            Require(content == std::to_string(records.size()) + " num components",
                    "the header counts the records");
        if (line >= 4) {
            Require(line - 4 < records.size(), "there is no line after the last record");
            Require(content == ComponentLine(records[line - 4]),
                    "each component line is the record at its place");
        }
        at = end + 2;
    }
    Require(line == 4 + records.size(), "there is a line for every record");
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

void FuzzReader(Reader read, const std::string& fileName, const std::uint8_t* data, size_t size) {
    ComponentBuffer buffer;
    bool ok = read(buffer, SomeComponents(), InputFile(fileName, data, size), {});
    Require(ok == buffer.LastReadOK, "LastReadOK is the result");
    Require(ok == buffer.LastReadMessage.Title.empty(), "a failure, and only a failure, says why");
    Require(ok == buffer.LastReadMessage.Text.empty(), "a message has a text");
    if (ok)
        CheckComponents(buffer);
    else
        Require(IsCleared(buffer), "a failed read leaves the buffer cleared");
}

void CheckMultiText(const std::string& text, const std::vector<MulRecord>& records) {
    CheckLines(text, records);
    ComponentBuffer buffer;
    bool ok = ReadComponentList(
        buffer, ComponentsList(),
        InputFile("template.tmp", reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    Require(ok, "the text reads back");
    Require(static_cast<size_t>(buffer.ComponentCount) == records.size(), "every record is read");
    for (size_t c = 0; c < records.size(); ++c)
        Require(buffer.ItemID[c] == std::to_string(records[c].ItemID) &&
                    buffer.X[c] == std::to_string(records[c].X) &&
                    buffer.Y[c] == std::to_string(records[c].Y) &&
                    buffer.Z[c] == std::to_string(records[c].Z),
                "each component read back is the record at its place");
}

} // namespace mw::fuzz
