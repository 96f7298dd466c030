#include "formats/TemplateText.h"

#include "common/Convert.h"
#include "common/LineReader.h"
#include "common/OutputFile.h"
#include "common/RunError.h"
#include "formats/ComponentsList.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace mw {

namespace {

void AppendNumber(std::string& text, long value) {
    char digits[24];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

bool IsBlankLine(std::string_view line) {
    return Trim(line).empty();
}

// The header lines before the count, each a whole number and words that are not read.
constexpr const char* HeaderFields[] = {"version", "template id", "item version"};

// Line 4 decides whether the file is in this format at all; the numbers before it are checked
// only then, so that another kind of file is told as such.
std::int32_t ReadHeader(LineReader& reader) {
    const ReadRefusal notATemplate{{InvalidFileTypeTitle, InvalidFileTypeText}, true};
    std::string numbers[std::size(HeaderFields)];
    std::string_view line;
    for (std::string& number : numbers) {
        if (!reader.ReadLine(line)) throw notATemplate;
        number.assign(Fields(line)(1));
    }
    if (!reader.ReadLine(line) || line.find("num components") == std::string_view::npos)
        throw notATemplate;
    for (size_t n = 0; n < std::size(numbers); ++n)
        LineValue(WholeLong, numbers[n], static_cast<long long>(n + 1), HeaderFields[n]);
    std::int32_t count = LineValue(WholeLong, Fields(line)(1), 4, "component count");
    if (count < 1)
        throw RunError(err::SubscriptOutOfRange,
                       "the component count " + std::to_string(count) + " is below 1");
    return count;
}

void ReadComponentLine(ComponentBuffer& buffer, std::string_view line, long long lineNumber) {
    Fields fields(Trim(line));
    if (fields.Count < 4)
        throw InLine(RunError(err::InputPastEndOfFile,
                              "a component line needs item id, x, y and z; this one has " +
                                  std::to_string(fields.Count) + " field(s)"),
                     lineNumber);
    if (fields.Count > 5)
        throw InLine(RunError(err::InputPastEndOfFile,
                              "a component line holds item id, x, y, z and flag; this one has " +
                                  std::to_string(fields.Count) + " fields"),
                     lineNumber);
    // What the game files and the library cannot hold is refused here, naming the line.
    LineValue(WholeItemId, fields(1), lineNumber, "item id");
    std::int16_t x = LineValue(WholeInteger, fields(2), lineNumber, "x");
    std::int16_t y = LineValue(WholeInteger, fields(3), lineNumber, "y");
    LineValue(WholeInteger, fields(4), lineNumber, "z");
    size_t i = AppendComponent(buffer);
    buffer.ItemID[i].assign(fields(1));
    buffer.X[i].assign(fields(2));
    buffer.Y[i].assign(fields(3));
    buffer.Z[i].assign(fields(4));
    buffer.Flag[i].assign(1, '1');
    TrackBounds(buffer, i, x, y);
}

// Component lines after the header.
void ReadComponents(ComponentBuffer& buffer, LineReader& reader, std::int32_t count,
                    const Progress& progress) {
    // Room for no more than the file can hold, whatever its header claims.
    StartComponents(buffer, static_cast<size_t>(std::min<long long>(count, reader.FileSize() / 8)));
    ProgressTicker ticker(progress, reader.FileSize());
    std::string_view line;
    std::int32_t i = 0;
    long long lineNumber = 4;
    while (reader.ReadLine(line)) {
        ++lineNumber;
        ticker.Step(reader.BytesRead());
        if (i == count) {
            if (IsBlankLine(line)) continue; // blank lines after the last component are harmless
            throw RunError(err::SubscriptOutOfRange, "line " + std::to_string(lineNumber) +
                                                         ": more component lines than the " +
                                                         std::to_string(count) +
                                                         " that line 4 announces");
        }
        ReadComponentLine(buffer, line, lineNumber);
        ++i;
    }
    if (i < count)
        throw RunError(err::InputPastEndOfFile, "the file ends after " + std::to_string(i) +
                                                    " component line(s), but line 4 announces " +
                                                    std::to_string(count));
}

} // namespace

bool ReadComponentList(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                       const Progress& progress) {
    return ReadIntoBuffer(buffer, ReadErrorTitle, [&] {
        LineReader reader(path);
        std::int32_t count = ReadHeader(reader);
        ReadComponents(buffer, reader, count, progress);
        FinishComponents(buffer, list);
    });
}

std::string TemplateFileText(std::int64_t count,
                             const std::function<TemplateLine(std::int64_t)>& line,
                             const Progress& progress) {
    std::string text = "6 version\r\n1 template id\r\n-1 item version\r\n" + std::to_string(count) +
                       " num components\r\n";
    text.reserve(text.size() + static_cast<size_t>(count) * 20);
    ProgressTicker ticker(progress, count);
    for (std::int64_t i = 0; i < count; ++i) {
        ticker.Step(i);
        TemplateLine next = line(i);
        for (long value : {next.ItemID, next.X, next.Y, next.Z}) {
            AppendNumber(text, value);
            text += ' ';
        }
        AppendNumber(text, next.Flag);
        text += "\r\n";
    }
    return text;
}

} // namespace mw
