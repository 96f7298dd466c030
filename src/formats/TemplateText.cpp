#include "formats/TemplateText.h"

#include "common/Convert.h"
#include "common/LineReader.h"
#include "common/OutputFile.h"
#include "common/RunError.h"
#include "formats/ComponentsList.h"

#include <charconv>

namespace mw {

namespace {

void AppendNumber(std::string& text, long value) {
    char digits[24];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// The file is not in the template text format at all.
struct NotATemplateFile {};

bool IsBlankLine(std::string_view line) {
    return Trim(line).empty();
}

std::int32_t ReadHeader(LineReader& reader) {
    std::string_view line;
    for (int skipped = 0; skipped < 3; ++skipped)
        if (!reader.ReadLine(line)) throw NotATemplateFile();
    if (!reader.ReadLine(line) || line.find("num components") == std::string_view::npos)
        throw NotATemplateFile();
    std::int32_t count = ToLong(Fields(line)(1));
    if (count < 1)
        throw RunError(err::SubscriptOutOfRange,
                       "the component count " + std::to_string(count) + " is below 1");
    return count;
}

void ReadComponentLine(ComponentBuffer& buffer, std::string_view line, std::int32_t i) {
    Fields fields(line);
    if (fields.Count < 4)
        throw RunError(err::InputPastEndOfFile,
                       "a component line needs item id, x, y and z; this one has " +
                           std::to_string(fields.Count) + " field(s)");
    // What the game files and the library cannot hold is refused here, naming the line.
    ToItemId(fields(1));
    for (size_t n = 2; n <= 4; ++n)
        ToInteger(fields(n));
    buffer.ItemID.emplace_back(fields(1));
    buffer.X.emplace_back(fields(2));
    buffer.Y.emplace_back(fields(3));
    buffer.Z.emplace_back(fields(4));
    buffer.Flag.emplace_back("1");
    TrackBounds(buffer, i);
}

// Component lines after the header; the buffer's arrays hold exactly the components read.
void ReadComponents(ComponentBuffer& buffer, LineReader& reader, std::int32_t count,
                    const Progress& progress) {
    for (auto* array : {&buffer.ItemID, &buffer.X, &buffer.Y, &buffer.Z, &buffer.Flag}) {
        array->clear();
        // Reserve no more than the file can hold, whatever its header claims.
        array->reserve(static_cast<size_t>(std::min<long long>(count, reader.FileSize() / 8 + 1)));
    }
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
        try {
            ReadComponentLine(buffer, line, i);
        } catch (const RunError& failure) {
            throw RunError(failure.Number,
                           "line " + std::to_string(lineNumber) + ": " + failure.Description);
        }
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
    buffer.LastReadMessage = {};
    try {
        LineReader reader(path);
        std::int32_t count = ReadHeader(reader);
        ClearComponentBuffer(buffer);
        ReadComponents(buffer, reader, count, progress);
        buffer.ComponentCount = count;
        ApplyComponentsList(buffer, list);
        buffer.LastReadOK = true;
        return true;
    } catch (const NotATemplateFile&) {
        buffer.LastReadMessage = {InvalidFileTypeTitle, InvalidFileTypeText}; // buffer untouched
    } catch (const RunError& failure) {
        ClearComponentBuffer(buffer); // never half a template
        if (failure.Number != err::Cancelled)
            buffer.LastReadMessage = {ReadErrorTitle, failure.Text()};
    }
    buffer.LastReadOK = false;
    return false;
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
