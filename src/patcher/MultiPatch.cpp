#include "patcher/MultiPatch.h"

#include "common/Convert.h"

#include <algorithm>
#include <limits>

namespace mw {

namespace {

constexpr std::int64_t EntriesPerRead = 4096;
constexpr std::int64_t Int32Max = std::numeric_limits<std::int32_t>::max();

RunError TooBig(const std::string& what) {
    return RunError(err::Overflow, "Overflow: " + what + " does not fit the 32 bits of an entry");
}

// A missing index (or no path set) is the one failure the window answers with its fixed message.
RecordFile OpenIndex(const std::string& path) {
    try {
        return RecordFile(path, RecordFile::Mode::ReadWrite);
    } catch (const RunError& failure) {
        if (failure.Number == err::FileNotFound || failure.Number == err::PathNotFound)
            throw RunError(err::MultiFilesNotFound, "multi.idx not found: " + failure.Description);
        throw;
    }
}

// What the records overwrite or append to, so that multi.mul can be put back as it was.
struct MulTail {
    std::int64_t Size = 0;
    std::int64_t Offset = 0;
    std::vector<unsigned char> Bytes; // the partial record that the new records overwrite
};

MulTail SaveTail(const RecordFile& multiMul, std::int32_t MulAppendRecord) {
    MulTail tail{multiMul.Size(), (MulAppendRecord - std::int64_t{1}) * MulRecordSize, {}};
    tail.Bytes.resize(static_cast<size_t>(tail.Size - tail.Offset));
    multiMul.ReadAt(tail.Offset, tail.Size - tail.Offset, tail.Bytes.data());
    return tail;
}

// Best effort: the failure that made us restore is the one to report, not a second one.
void RestoreTail(RecordFile& multiMul, const MulTail& tail) {
    try {
        multiMul.Truncate(tail.Size);
        multiMul.WriteAt(tail.Offset, tail.Bytes.data(),
                         static_cast<std::int64_t>(tail.Bytes.size()));
        multiMul.Flush();
    } catch (const RunError&) {
    }
}

void CheckParallelArrays(const ComponentBuffer& buffer) {
    auto count = static_cast<size_t>(buffer.ComponentCount);
    for (const auto* array : {&buffer.ItemID, &buffer.X, &buffer.Y, &buffer.Z, &buffer.Flag})
        if (array->size() < count)
            throw RunError(err::SubscriptOutOfRange,
                           "Subscript out of range: the buffer holds fewer components than " +
                               std::to_string(buffer.ComponentCount));
}

} // namespace

std::int32_t FindFreeIndexEntry(const RecordFile& multiIdx) {
    const std::int64_t count = std::min(multiIdx.RecordCount(IdxEntrySize), Int32Max);
    std::vector<unsigned char> block(static_cast<size_t>(EntriesPerRead * IdxEntrySize));
    for (std::int64_t first = 1; first <= count; first += EntriesPerRead) {
        std::int64_t n = std::min(EntriesPerRead, count - first + 1);
        multiIdx.ReadAt((first - 1) * IdxEntrySize, n * IdxEntrySize, block.data());
        for (std::int64_t i = 0; i < n; ++i)
            if (DecodeIdxEntry(block.data() + i * IdxEntrySize).Length == FreeEntryLength)
                return static_cast<std::int32_t>(first + i);
    }
    throw RunError(err::MultiFilesNotFound, "No free entry in \"" + multiIdx.Path() +
                                                "\": none of its entries has Length -1");
}

std::int32_t FindMulAppendRecord(const RecordFile& multiMul) {
    std::int64_t record = multiMul.RecordCount(MulRecordSize) + 1;
    if (record > Int32Max) throw TooBig("the size of \"" + multiMul.Path() + "\"");
    return static_cast<std::int32_t>(record);
}

IdxEntry NewIndexEntry(std::int32_t MulAppendRecord, std::int32_t ComponentCount) {
    std::int64_t lookup = (MulAppendRecord - std::int64_t{1}) * MulRecordSize;
    std::int64_t length = (ComponentCount + std::int64_t{1}) * MulRecordSize;
    if (lookup > Int32Max)
        throw TooBig("the end of multi.mul, byte " + std::to_string(lookup) + ",");
    if (length > Int32Max)
        throw TooBig("a multi of " + std::to_string(ComponentCount) + " components");
    return {static_cast<std::int32_t>(lookup), static_cast<std::int32_t>(length), -1};
}

void WriteIndexEntry(RecordFile& multiIdx, std::int32_t PatchSlot, std::int32_t MulAppendRecord,
                     std::int32_t ComponentCount) {
    multiIdx.WriteIdxEntry(PatchSlot, NewIndexEntry(MulAppendRecord, ComponentCount));
    multiIdx.Flush();
}

MulRecord ComponentRecord(const ComponentBuffer& buffer, std::int32_t i) {
    auto at = static_cast<size_t>(i);
    const char* field = "item id";
    try {
        MulRecord record;
        record.ItemID = ToItemId(buffer.ItemID[at]);
        field = "x";
        record.X = ToInteger(buffer.X[at]);
        field = "y";
        record.Y = ToInteger(buffer.Y[at]);
        field = "z";
        record.Z = ToInteger(buffer.Z[at]);
        field = "flag";
        record.Flag = ToLong(buffer.Flag[at]);
        return record;
    } catch (const RunError& failure) {
        throw RunError(failure.Number, "Component " + std::to_string(i + 1) + ", " + field + ": " +
                                           failure.Description);
    }
}

std::vector<MulRecord> MultiRecords(const ComponentBuffer& buffer, const Progress& progress) {
    CheckParallelArrays(buffer);
    std::vector<MulRecord> records;
    records.reserve(static_cast<size_t>(buffer.ComponentCount) + 1);
    records.push_back(MarkerRecord);
    ProgressTicker ticker(progress, buffer.ComponentCount);
    for (std::int32_t i = 0; i < buffer.ComponentCount; ++i) {
        ticker.Step(i);
        records.push_back(ComponentRecord(buffer, i));
    }
    return records;
}

void WriteMultiRecords(RecordFile& multiMul, std::int32_t MulAppendRecord,
                       const std::vector<MulRecord>& records) {
    multiMul.WriteMulRecords(MulAppendRecord, records);
    multiMul.Flush();
}

PatchResult PatchMulFiles(const ComponentBuffer& buffer, const std::string& MultiIdxPath,
                          const std::string& MultiMulPath, const Progress& progress) {
    if (buffer.ComponentCount < 1)
        throw RunError(err::SubscriptOutOfRange,
                       "The template has no components: there is nothing to patch");
    std::vector<MulRecord> records = MultiRecords(buffer, progress);
    RecordFile multiIdx = OpenIndex(MultiIdxPath);
    RecordFile multiMul(MultiMulPath, RecordFile::Mode::ReadWrite);
    if (multiMul.IsSameFileAs(multiIdx))
        throw RunError(err::BadFileNameOrNumber, "Bad file name: multi.idx and multi.mul are "
                                                 "the same file, \"" +
                                                     MultiMulPath + "\"");
    PatchResult place{FindFreeIndexEntry(multiIdx), FindMulAppendRecord(multiMul)};
    NewIndexEntry(place.MulAppendRecord, buffer.ComponentCount); // refuses what would not fit

    MulTail tail = SaveTail(multiMul, place.MulAppendRecord);
    try {
        WriteMultiRecords(multiMul, place.MulAppendRecord, records);
        ProgressTicker(progress, buffer.ComponentCount).Report(buffer.ComponentCount);
    } catch (...) {
        RestoreTail(multiMul, tail);
        throw;
    }
    // From here on the records stay: an entry that may have reached the disk points at them.
    WriteIndexEntry(multiIdx, place.PatchSlot, place.MulAppendRecord, buffer.ComponentCount);
    return place;
}

} // namespace mw
