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

void CheckParallelArrays(const ComponentBuffer& buffer) {
    auto count = static_cast<size_t>(buffer.ComponentCount);
    for (const auto* array : {&buffer.ItemID, &buffer.X, &buffer.Y, &buffer.Z, &buffer.Flag})
        if (array->size() < count)
            throw RunError(err::SubscriptOutOfRange,
                           "Subscript out of range: the buffer holds fewer components than " +
                               std::to_string(buffer.ComponentCount));
}

} // namespace

std::int32_t FindFreeIndexEntry(const RecordFile& multiIdx, const EntryAlsoFree& alsoFree) {
    const std::int64_t count = std::min(multiIdx.RecordCount(IdxEntrySize), Int32Max);
    std::vector<unsigned char> block(static_cast<size_t>(EntriesPerRead * IdxEntrySize));
    bool anyFree = false;
    for (std::int64_t first = 1; first <= count; first += EntriesPerRead) {
        std::int64_t n = std::min(EntriesPerRead, count - first + 1);
        multiIdx.ReadAt((first - 1) * IdxEntrySize, n * IdxEntrySize, block.data());
        for (std::int64_t i = 0; i < n; ++i) {
            if (DecodeIdxEntry(block.data() + i * IdxEntrySize).Length != FreeEntryLength) continue;
            anyFree = true;
            auto slot = static_cast<std::int32_t>(first + i);
            if (!alsoFree || alsoFree(slot)) return slot;
        }
    }
    if (anyFree)
        throw RunError(err::NoFreeMultiId,
                       "No free multi id: every entry of \"" + multiIdx.Path() +
                           "\" with Length -1 is a multi that MultiCollection.uop already holds");
    throw RunError(err::MultiFilesNotFound, "No free entry in \"" + multiIdx.Path() +
                                                "\": none of its entries has Length -1");
}

std::int32_t FindMulAppendRecord(const RecordFile& multiMul, RecordWidth width) {
    std::int64_t record = multiMul.RecordCount(RecordBytes(width)) + 1;
    if (record > Int32Max) throw TooBig("the size of \"" + multiMul.Path() + "\"");
    return static_cast<std::int32_t>(record);
}

IdxEntry NewIndexEntry(std::int32_t MulAppendRecord, std::int32_t ComponentCount,
                       RecordWidth width) {
    std::int64_t lookup = (MulAppendRecord - std::int64_t{1}) * RecordBytes(width);
    std::int64_t length = (ComponentCount + std::int64_t{1}) * RecordBytes(width);
    if (lookup > Int32Max)
        throw TooBig("the end of multi.mul, byte " + std::to_string(lookup) + ",");
    if (length > Int32Max)
        throw TooBig("a multi of " + std::to_string(ComponentCount) + " components");
    return {static_cast<std::int32_t>(lookup), static_cast<std::int32_t>(length), -1};
}

void WriteIndexEntry(RecordFile& multiIdx, std::int32_t PatchSlot, std::int32_t MulAppendRecord,
                     std::int32_t ComponentCount, RecordWidth width) {
    multiIdx.WriteIdxEntry(PatchSlot, NewIndexEntry(MulAppendRecord, ComponentCount, width));
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

std::vector<MulRecord> ComponentRecords(const ComponentBuffer& buffer, const Progress& progress) {
    if (buffer.ComponentCount < 1)
        throw RunError(err::SubscriptOutOfRange,
                       "The template has no components: there is nothing to patch");
    CheckParallelArrays(buffer);
    std::vector<MulRecord> records;
    records.reserve(static_cast<size_t>(buffer.ComponentCount));
    ProgressTicker ticker(progress, buffer.ComponentCount);
    for (std::int32_t i = 0; i < buffer.ComponentCount; ++i) {
        ticker.Step(i);
        records.push_back(ComponentRecord(buffer, i));
    }
    return records;
}

void WriteMultiRecords(RecordFile& multiMul, std::int32_t MulAppendRecord,
                       const std::vector<MulRecord>& records, RecordWidth width) {
    multiMul.WriteMulRecords(MulAppendRecord, records, width);
    multiMul.Flush();
}

MulPatch::MulPatch(const std::string& MultiIdxPath, const std::string& MultiMulPath,
                   RecordSizeChoice recordSize, std::int32_t ComponentCount)
    : idx_(OpenIndex(MultiIdxPath)), mul_(MultiMulPath, RecordFile::Mode::ReadWrite),
      width_(RecordWidth::Twelve), append_(0), count_(ComponentCount) {
    if (mul_.IsSameFileAs(idx_))
        throw RunError(err::BadFileNameOrNumber, "Bad file name: multi.idx and multi.mul are "
                                                 "the same file, \"" +
                                                     MultiMulPath + "\"");
    width_ = ChooseRecordWidth(recordSize, idx_, mul_);
    append_ = FindMulAppendRecord(mul_, width_);
    NewIndexEntry(append_, count_, width_); // refuses what would not fit
}

bool MulPatch::Touches(const std::string& path) const {
    try {
        RecordFile other(path, RecordFile::Mode::Read);
        return other.IsSameFileAs(idx_) || other.IsSameFileAs(mul_);
    } catch (const RunError&) {
        return false; // a file that cannot be opened is none of ours
    }
}

void MulPatch::Write(std::int32_t PatchSlot, const std::vector<MulRecord>& components,
                     const Progress& progress) {
    std::vector<MulRecord> records;
    records.reserve(components.size() + 1);
    records.push_back(MarkerRecord);
    records.insert(records.end(), components.begin(), components.end());
    slot_ = PatchSlot;
    oldEntry_ = idx_.ReadIdxEntry(PatchSlot);
    std::int64_t offset = (append_ - std::int64_t{1}) * RecordBytes(width_);
    tail_.Size = mul_.Size();
    tail_.Bytes.resize(static_cast<size_t>(tail_.Size - offset));
    mul_.ReadAt(offset, tail_.Size - offset, tail_.Bytes.data());
    try {
        WriteMultiRecords(mul_, append_, records, width_);
        ProgressTicker(progress, count_).Report(count_);
    } catch (...) {
        RestoreTail();
        throw;
    }
    // From here on the records stay: an entry that may have reached the disk points at them.
    WriteIndexEntry(idx_, slot_, append_, count_, width_);
}

// Best effort: the failure that made us restore is the one to report, not a second one.
void MulPatch::RestoreTail() {
    try {
        std::int64_t offset = (append_ - std::int64_t{1}) * RecordBytes(width_);
        mul_.Truncate(tail_.Size);
        mul_.WriteAt(offset, tail_.Bytes.data(), static_cast<std::int64_t>(tail_.Bytes.size()));
        mul_.Flush();
    } catch (const RunError&) {
    }
}

void MulPatch::Undo() {
    try {
        idx_.WriteIdxEntry(slot_, oldEntry_);
        idx_.Flush();
    } catch (const RunError&) {
    }
    RestoreTail();
}

} // namespace mw
