#include "formats/MultiExtraction.h"

#include "common/Convert.h"
#include "common/RunError.h"

#include "formats/MultiCollection.h"
#include "formats/TemplateText.h"
#include "formats/UopPackage.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

namespace mw {

namespace {

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string_view WithoutHexPrefix(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    return text;
}

bool IsHexDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// A missing setting gets a message that says which file is meant, not just an empty path.
RecordFile OpenGameFile(const std::string& path, const char* name) {
    if (path.empty())
        throw RunError(err::FileNotFound,
                       std::string("File not found: no path is set for ") + name);
    return RecordFile(path, RecordFile::Mode::Read);
}

// "multi 0x1F4": the multi as the user names it, in hexadecimal.
std::string MultiOfEntry(std::int64_t recordNumber) {
    char id[32];
    std::snprintf(id, sizeof id, "multi 0x%llX", static_cast<unsigned long long>(recordNumber - 1));
    return id;
}

} // namespace

std::uint32_t ParseMultiId(std::string_view multiIdText) {
    std::string_view typed = Trim(multiIdText);
    std::string_view digits = WithoutHexPrefix(typed);
    if (!IsHexDigits(digits))
        throw RunError(err::TypeMismatch,
                       Quoted(typed) + " is not a hexadecimal multi id: use the digits 0 to 9 "
                                       "and the letters A to F, as in 1F4");
    auto id = LeadingHexValue(digits);
    if (!id || *id > HighestMultiId)
        throw RunError(err::Overflow, "The multi id " + std::string(typed) +
                                          " is above BFFF, the highest multi id: the item id of "
                                          "a multi, 4000 hexadecimal + its id, has 16 bits");
    return *id;
}

std::string ComponentsAsText(const std::vector<MulRecord>& records, size_t first,
                             const Progress& progress) {
    auto count = static_cast<std::int64_t>(records.size() - first);
    return TemplateFileText(
        count,
        [&](std::int64_t i) {
            const MulRecord& record = records[first + static_cast<size_t>(i)];
            // The item id as the unsigned value the file holds: ids from 8000 hex on stay positive.
            return TemplateLine{record.ItemID, record.X, record.Y, record.Z,
                                static_cast<long>(record.Flag)};
        },
        progress);
}

std::string PackageMultiAsText(const std::string& multiUopPath, std::uint32_t multiId,
                               const Progress& progress) {
    if (multiUopPath.empty())
        throw RunError(err::FileNotFound, "File not found: no path is set for MultiCollection.uop");
    return ComponentsAsText(ReadPackageMulti(UopPackage::Read(multiUopPath), multiId), 0, progress);
}

std::string MultiEntry::Name() const {
    return "entry " + std::to_string(RecordNumber) + " (" + MultiOfEntry(RecordNumber) + ") of " +
           Quoted(IdxPath);
}

MultiEntry ReadMultiEntry(const std::string& multiIdxPath, std::int32_t recordNumber) {
    RecordFile idx = OpenGameFile(multiIdxPath, "multi.idx");
    std::int64_t entries = idx.RecordCount(IdxEntrySize);
    if (recordNumber < 1 || recordNumber > entries)
        throw RunError(err::BadRecordNumber, "Bad record number: " + Quoted(multiIdxPath) +
                                                 " holds " + std::to_string(entries) +
                                                 " entries, so it has no " +
                                                 MultiOfEntry(recordNumber) + " (entry " +
                                                 std::to_string(recordNumber) + ")");
    return {idx.ReadIdxEntry(recordNumber), recordNumber, multiIdxPath};
}

void CheckMultiEntry(const IdxEntry& entry, std::int64_t mulSize, const std::string& entryName,
                     RecordWidth width) {
    const std::int64_t size = RecordBytes(width);
    std::string length = std::to_string(entry.Length), lookup = std::to_string(entry.Lookup);
    if (entry.Length == FreeEntryLength)
        throw RunError(err::BadRecordNumber,
                       "There is no multi here: " + entryName + " is free (Length -1)");
    if (entry.Length < 0 || entry.Length % size != 0)
        throw RunError(err::BadRecordLength, "Bad record length: " + entryName + " has Length " +
                                                 length + ", not a whole number of records");
    if (entry.Length <= size)
        throw RunError(err::BadRecordLength, "Bad record length: " + entryName + " has Length " +
                                                 length +
                                                 ", which holds no component after the marker");
    if (entry.Lookup < 0 || entry.Lookup % size != 0)
        throw RunError(err::BadRecordNumber, "Bad record number: " + entryName + " has Lookup " +
                                                 lookup + ", not the start of a record");
    if (std::int64_t{entry.Lookup} + entry.Length > mulSize)
        throw RunError(err::InputPastEndOfFile, "Input past end of file: " + entryName +
                                                    " has Lookup " + lookup + " and Length " +
                                                    length + ", but multi.mul holds only " +
                                                    std::to_string(mulSize) + " bytes");
}

std::string MultiAsText(const MultiEntry& entry, const std::string& multiMulPath,
                        const Progress& progress, RecordSizeChoice recordSize) {
    RecordFile idx = OpenGameFile(entry.IdxPath, "multi.idx");
    RecordFile mul = OpenGameFile(multiMulPath, "multi.mul");
    RecordWidth width = ChooseRecordWidth(recordSize, idx, mul);
    CheckMultiEntry(entry.Entry, mul.Size(), entry.Name(), width);
    return ComponentsAsText(ReadMultiRecords(mul, entry.Entry, width), 1,
                            progress); // not the marker
}

} // namespace mw
