#include "patcher/MultiPatch.h"

#include "common/Convert.h"
#include "formats/MultiExtraction.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace mw {

namespace {

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

} // namespace

std::int32_t FindFreeIndexEntry(const RecordFile& multiIdx, const EntryAlsoFree& alsoFree) {
    constexpr std::int64_t LastSlot = std::int64_t{HighestMultiId} + 1;
    std::int32_t found = 0;
    std::int64_t blank = 0; // an entry of Lookup 0 and Length 0 met before any free one
    bool anyFree = false, freeBeyond = false;
    ForEachIdxEntry(multiIdx, [&](std::int64_t r, const IdxEntry& entry) {
        if (found != 0) return;
        if (entry.Lookup == 0 && entry.Length == 0 && !anyFree && !freeBeyond && blank == 0)
            blank = r;
        if (entry.Length != FreeEntryLength) return;
        if (r > LastSlot) {
            freeBeyond = true;
            return;
        }
        anyFree = true;
        auto slot = static_cast<std::int32_t>(r);
        if (!alsoFree || alsoFree(slot)) found = slot;
    });
    // The scan has always stopped at such an entry: files of another layout than expected.
    if (blank != 0)
        throw RunError(err::MultiFilesNotFound,
                       "entry " + std::to_string(blank) + " of \"" + multiIdx.Path() +
                           "\" has Lookup 0 and Length 0 before any free entry");
    if (found != 0) return found;
    if (anyFree)
        throw RunError(err::NoFreeMultiId,
                       "No free multi id: every entry of \"" + multiIdx.Path() +
                           "\" with Length -1 is a multi that MultiCollection.uop already holds");
    if (freeBeyond)
        throw RunError(err::NoFreeMultiId,
                       "No free multi id: every entry of \"" + multiIdx.Path() +
                           "\" up to multi BFFF is in use, and the item id of a multi above BFFF "
                           "would not fit 16 bits");
    throw RunError(err::NoFreeMultiId,
                   "multi.idx has no free entry: \"" + multiIdx.Path() + "\" holds " +
                       std::to_string(multiIdx.RecordCount(IdxEntrySize)) +
                       " entries, none of them free (Length -1), and a patch never adds one");
}

void CheckIndexEntries(const RecordFile& multiIdx, std::int64_t mulSize, RecordWidth width,
                       std::int32_t exemptSlot) {
    const std::int64_t size = RecordBytes(width);
    ForEachIdxEntry(multiIdx, [&](std::int64_t r, const IdxEntry& entry) {
        if (entry.Lookup < 0 || entry.Length <= 0) return; // free or empty: points at nothing
        if (r == exemptSlot) return;
        bool whole = entry.Lookup % size == 0 && entry.Length % size == 0;
        bool inside = std::int64_t{entry.Lookup} + entry.Length <= mulSize;
        if (whole && inside) return;
        char id[16];
        std::snprintf(id, sizeof id, "%llX", static_cast<unsigned long long>(r - 1));
        std::string entryText = "entry " + std::to_string(r) + " (multi " + id + ") of \"" +
                                multiIdx.Path() + "\", with Lookup " +
                                std::to_string(entry.Lookup) + " and Length " +
                                std::to_string(entry.Length) + ",";
        if (!whole)
            throw RunError(err::BadRecordLength,
                           "multi.idx is damaged: " + entryText + " is not made of whole " +
                               std::to_string(size) + "-byte records. Nothing was written.");
        throw RunError(err::InputPastEndOfFile,
                       "multi.idx is damaged: " + entryText + " reaches past the end of " +
                           "multi.mul (" + std::to_string(mulSize) +
                           " bytes), so the new multi would become part of it. Nothing was "
                           "written.");
    });
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
    IdxEntry entry = NewIndexEntry(MulAppendRecord, ComponentCount, width);
    IdxEntry old = multiIdx.ReadIdxEntry(PatchSlot);
    if (old.Length != FreeEntryLength) entry.Extra = old.Extra; // what the client may read there
    multiIdx.WriteIdxEntry(PatchSlot, entry);
    multiIdx.Flush();
}

void WriteMultiRecords(RecordFile& multiMul, std::int32_t MulAppendRecord,
                       const std::vector<MulRecord>& records, RecordWidth width) {
    multiMul.WriteMulRecords(MulAppendRecord, records, width);
    multiMul.Flush();
}

MulPatch::MulPatch(const std::string& MultiIdxPath, const std::string& MultiMulPath,
                   RecordSizeChoice recordSize, std::int32_t ComponentCount,
                   std::int32_t replaceSlot)
    : idx_(OpenIndex(MultiIdxPath)), mul_(MultiMulPath, RecordFile::Mode::ReadWrite),
      width_(RecordWidth::Twelve), append_(0), count_(ComponentCount) {
    if (replaceSlot > idx_.RecordCount(IdxEntrySize)) {
        char id[16];
        std::snprintf(id, sizeof id, "%X", static_cast<unsigned>(replaceSlot - 1));
        throw RunError(err::BadRecordNumber,
                       "Bad record number: \"" + MultiIdxPath + "\" holds " +
                           std::to_string(idx_.RecordCount(IdxEntrySize)) +
                           " entries and no entry " + std::to_string(replaceSlot) + " (multi " +
                           id + "); a patch never adds entries to multi.idx. Nothing was written.");
    }
    width_ = ChooseRecordWidth(recordSize, idx_, mul_);
    CheckIndexEntries(idx_, mul_.Size(), width_, replaceSlot);
    append_ = FindMulAppendRecord(mul_, width_);
    NewIndexEntry(append_, count_, width_); // refuses what would not fit
}

ReplacedContents MulPatch::ComponentsIn(std::int32_t slot) const {
    IdxEntry entry = idx_.ReadIdxEntry(slot);
    if (entry.Length == FreeEntryLength) return {};
    try {
        CheckMultiEntry(entry, mul_.Size(), "the entry", width_);
    } catch (const RunError&) {
        return {0, true};
    }
    return {entry.Length / RecordBytes(width_) - 1};
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
        // Only once the records are on the disk may an entry point at them.
        WriteIndexEntry(idx_, slot_, append_, count_, width_);
    } catch (...) {
        UndoAfter(std::current_exception());
    }
}

// Best effort: records past every entry's end are never read, so what matters is the entry.
void MulPatch::RestoreTail() {
    try {
        std::int64_t offset = (append_ - std::int64_t{1}) * RecordBytes(width_);
        mul_.Truncate(tail_.Size);
        mul_.WriteAt(offset, tail_.Bytes.data(), static_cast<std::int64_t>(tail_.Bytes.size()));
        mul_.Flush();
    } catch (const RunError&) {
    }
}

bool MulPatch::RestoreEntry() {
    try {
        idx_.WriteIdxEntry(slot_, oldEntry_);
        idx_.Flush();
        return true;
    } catch (const RunError&) {
        return false;
    }
}

void MulPatch::UndoAfter(const std::exception_ptr& failure) {
    bool restored = RestoreEntry();
    RestoreTail();
    if (restored) std::rethrow_exception(failure);
    char id[16];
    std::snprintf(id, sizeof id, "%X", static_cast<unsigned>(slot_ - 1));
    throw RunError(err::GameFilesNotRestored,
                   AsRunError(failure).Text() + ". The patch could not be undone: entry " +
                       std::to_string(slot_) + " (multi " + id + ") of \"" + idx_.Path() +
                       "\" may point at an incomplete multi. Put multi.idx and multi.mul back "
                       "from their backups before the game reads them.");
}

} // namespace mw
