#include "MultiFilesBuilder.h"

#include "TestLibrary.h"

namespace mw::test {

namespace {

void AppendRecord(std::string& bytes, const MulRecord& record) {
    unsigned char encoded[MulRecordSize];
    EncodeMulRecord(record, encoded);
    bytes.append(reinterpret_cast<const char*>(encoded), MulRecordSize);
}

} // namespace

void MultiFilesBuilder::AddUnindexedRecords(const std::vector<MulRecord>& records) {
    for (const auto& record : records)
        AppendRecord(mul_, record);
}

std::int32_t MultiFilesBuilder::AddMulti(const std::vector<MulRecord>& components) {
    IdxEntry entry{MulSize(), static_cast<std::int32_t>((components.size() + 1) * MulRecordSize),
                   -1};
    AppendRecord(mul_, MarkerRecord);
    AddUnindexedRecords(components);
    return AddEntry(entry);
}

std::int32_t MultiFilesBuilder::AddFreeEntry() {
    return AddEntry({0, FreeEntryLength, -1});
}

std::int32_t MultiFilesBuilder::AddEntry(const IdxEntry& entry) {
    unsigned char encoded[IdxEntrySize];
    EncodeIdxEntry(entry, encoded);
    idx_.append(reinterpret_cast<const char*>(encoded), IdxEntrySize);
    return static_cast<std::int32_t>(idx_.size() / IdxEntrySize);
}

MultiFilePaths MultiFilesBuilder::Write(const TempFolder& folder) const {
    return {folder.Write("multi.idx", idx_), folder.Write("multi.mul", mul_)};
}

const std::vector<MulRecord> SampleMultiFiles::First = {{0x04A3, -3, 2, 0, 1},
                                                        {0x8000, 0, -1, 5, 1},
                                                        {0xFFFF, -32768, 32767, -128, 0},
                                                        {7, 1, 1, 1, 1}};
const std::vector<MulRecord> SampleMultiFiles::Fourth = {{0x0A2C, 4, -4, 20, 1}};

SampleMultiFiles::SampleMultiFiles(const TempFolder& folder) {
    MultiFilesBuilder builder;
    builder.AddUnindexedRecords({{0x0001, 9, 9, 9, 9}, {0x0002, 8, 8, 8, 8}});
    builder.AddMulti(First);
    builder.AddFreeEntry();
    builder.AddEntry({builder.MulSize(), static_cast<std::int32_t>(MulRecordSize), -1});
    builder.AddUnindexedRecords({MarkerRecord});
    builder.AddMulti(Fourth);
    Paths = builder.Write(folder);
}

} // namespace mw::test
