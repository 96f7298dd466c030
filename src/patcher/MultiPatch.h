#pragma once

#include "common/Progress.h"
#include "common/RunError.h"
#include "formats/ComponentBuffer.h"
#include "formats/ComponentRecords.h"
#include "formats/MultiFiles.h"
#include "formats/RecordSize.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mw {

// What a replaced multi was: its components as extraction gives them (0 where the entry was
// free), or damaged, when extraction refuses it (the window's question says why).
struct ReplacedContents {
    std::int64_t Components = 0;
    bool Damaged = false;
    bool operator==(const ReplacedContents&) const = default;
};

// Where the last patch put the new multi. The scripts build the multi's item id from PatchSlot.
struct PatchResult {
    std::int32_t PatchSlot = 0;       // the multi.idx entry filled: the new multi's id + 1
    std::int32_t MulAppendRecord = 0; // the multi.mul record of its marker; 0 when not patched
    RecordWidth Width = RecordWidth::Twelve; // of multi.mul's records
    // After a replacement, what the replaced multi was in each file patched.
    std::optional<ReplacedContents> ReplacedMul = {}, ReplacedPackage = {};
};

// The steps of a patch, on files the caller has opened. MulPatch runs them in a safe order.

// Whether a free entry may be taken as well, for a patch that must agree with other files.
using EntryAlsoFree = std::function<bool(std::int32_t PatchSlot)>;

// The first entry whose Length is -1 (no other value marks a free entry), whose multi id is at
// most HighestMultiId and that alsoFree accepts. Fails with err::MultiFilesNotFound when an
// entry of Lookup 0 and Length 0 comes before any free one, and with err::NoFreeMultiId when the
// index has no free entry (it is full, saying how many entries it holds), the free ones lie
// above HighestMultiId or alsoFree refused every one (the package holds all those ids).
std::int32_t FindFreeIndexEntry(const RecordFile& multiIdx, const EntryAlsoFree& alsoFree = {});

// Refuses, naming the entry, an index whose entries in use (Lookup >= 0 and Length > 0) do not
// all lie inside a multi.mul of mulSize bytes as whole records: the records appended by a patch
// would become part of such an entry. Entry exemptSlot, which a patch replaces, is not checked,
// so that replacing it repairs it.
void CheckIndexEntries(const RecordFile& multiIdx, std::int64_t mulSize, RecordWidth width,
                       std::int32_t exemptSlot = 0);

// The record just past the last whole record: floor(size / width) + 1, so that a partial record
// at the end is overwritten. The file is not read.
std::int32_t FindMulAppendRecord(const RecordFile& multiMul,
                                 RecordWidth width = RecordWidth::Twelve);

// Lookup = byte offset of the marker, Length = width * (ComponentCount + 1), Extra = -1.
// Fails with Overflow when the offset or the length does not fit the entry's 32 bits.
IdxEntry NewIndexEntry(std::int32_t MulAppendRecord, std::int32_t ComponentCount,
                       RecordWidth width = RecordWidth::Twelve);

// Writes the new multi's entry as record PatchSlot and flushes it to the disk. An entry in use
// (one that a replacement overwrites) keeps its Extra; a free one gets -1.
void WriteIndexEntry(RecordFile& multiIdx, std::int32_t PatchSlot, std::int32_t MulAppendRecord,
                     std::int32_t ComponentCount, RecordWidth width = RecordWidth::Twelve);

// Writes the records from record MulAppendRecord on and flushes them to the disk.
void WriteMultiRecords(RecordFile& multiMul, std::int32_t MulAppendRecord,
                       const std::vector<MulRecord>& records,
                       RecordWidth width = RecordWidth::Twelve);

// One patch of multi.idx and multi.mul, checked completely before anything is written, so that
// it can be run together with a patch of other files. Construction opens both files for
// writing (neither is ever created), chooses the record width and checks that the new multi
// fits, and that every entry in use lies inside multi.mul; Write then appends the marker and the
// components, flushes them, and only then writes the entry, so that no entry can point at
// missing data. A replacement names its entry (replaceSlot): it must lie inside multi.idx, which
// is never grown, and the multi's old records stay in multi.mul, unused.
class MulPatch {
public:
    MulPatch(const std::string& MultiIdxPath, const std::string& MultiMulPath,
             RecordSizeChoice recordSize, std::int32_t ComponentCount,
             std::int32_t replaceSlot = 0);

    RecordWidth Width() const { return width_; }
    std::int32_t MulAppendRecord() const { return append_; }
    const RecordFile& Index() const { return idx_; }
    // What the multi in entry `slot` is: its records after the marker, as extraction gives them.
    ReplacedContents ComponentsIn(std::int32_t slot) const;

    // The entry is written last. A failure puts both files back as they were and goes to the
    // caller; see UndoAfter. The progress function is asked once after the records are written,
    // the last moment to cancel.
    void Write(std::int32_t PatchSlot, const std::vector<MulRecord>& components,
               const Progress& progress = {});
    // After Write, when a later step of the patch failed: puts both files back and rethrows
    // the failure. When the entry cannot be put back, fails with err::GameFilesNotRestored
    // instead, saying what the files may hold.
    [[noreturn]] void UndoAfter(const std::exception_ptr& failure);

private:
    struct MulTail {
        std::int64_t Size = 0;
        std::vector<unsigned char> Bytes; // the partial record that the new records overwrite
    };
    void RestoreTail();
    bool RestoreEntry();

    RecordFile idx_, mul_;
    RecordWidth width_;
    std::int32_t append_;
    std::int32_t count_;
    std::int32_t slot_ = 0;
    IdxEntry oldEntry_;
    MulTail tail_;
};

} // namespace mw
