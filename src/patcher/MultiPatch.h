#pragma once

#include "common/Progress.h"
#include "common/RunError.h"
#include "formats/ComponentBuffer.h"
#include "patcher/MultiFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mw {

namespace err {
// multi.idx is missing or has no free entry. Our own number: the window answers it with the
// fixed message below instead of the number and description.
constexpr long MultiFilesNotFound = 10053;
} // namespace err

constexpr const char* MultiFilesNotFoundText =
    "Multi.idx & Multi.mul files are not in the same folder as the multi scripter.";
constexpr const char* MultiFilesNotFoundTitle = "File Not Found!";

// Where the last patch put the new multi. The scripts build the multi's item id from PatchSlot.
struct PatchResult {
    std::int32_t PatchSlot = 0;       // the multi.idx entry that was filled
    std::int32_t MulAppendRecord = 0; // the multi.mul record that holds the new multi's marker
};

// The game item id of the multi in entry PatchSlot: 16383 + PatchSlot.
constexpr std::int32_t MultiItemId(std::int32_t PatchSlot) {
    return FirstMultiItemId - 1 + PatchSlot;
}

// The steps of a patch, on files the caller has opened. PatchMulFiles runs them in a safe order.

// The first entry whose Length is -1; no other value marks a free entry. Fails with
// err::MultiFilesNotFound when the index has none.
std::int32_t FindFreeIndexEntry(const RecordFile& multiIdx);

// The record just past the last whole record: floor(size / 12) + 1, so that a partial record at
// the end is overwritten. The file is not read.
std::int32_t FindMulAppendRecord(const RecordFile& multiMul);

// Lookup = byte offset of the marker, Length = 12 * (ComponentCount + 1), Extra = -1.
// Fails with Overflow when the offset or the length does not fit the entry's 32 bits.
IdxEntry NewIndexEntry(std::int32_t MulAppendRecord, std::int32_t ComponentCount);

// Writes the new multi's entry as record PatchSlot and flushes it to the disk.
void WriteIndexEntry(RecordFile& multiIdx, std::int32_t PatchSlot, std::int32_t MulAppendRecord,
                     std::int32_t ComponentCount);

// Component i as the data file holds it: item id from -32768 to 65535 stored as its unsigned
// 16-bit value, x, y and z as signed 16-bit, the flag as signed 32-bit. A value that does not
// convert fails with a RunError naming the component (counted from 1) and the field.
MulRecord ComponentRecord(const ComponentBuffer& buffer, std::int32_t i);

// The marker record followed by every component in buffer order.
std::vector<MulRecord> MultiRecords(const ComponentBuffer& buffer, const Progress& progress = {});

// Writes the records from record MulAppendRecord on and flushes them to the disk.
void WriteMultiRecords(RecordFile& multiMul, std::int32_t MulAppendRecord,
                       const std::vector<MulRecord>& records);

// The whole patch of the buffer's components as a new multi. Everything is checked before
// anything is written: a template with components, every component convertible, both files
// present and writable (neither is ever created), a free entry. Then the records are appended
// and flushed, and only then is the entry written, so that no entry can point at missing data.
// A failure before the entry is written puts multi.mul back as it was; the RunError goes to the
// caller (err::MultiFilesNotFound for a missing index or one without a free entry). The progress
// function is asked once more after the records are written, the last moment to cancel.
PatchResult PatchMulFiles(const ComponentBuffer& buffer, const std::string& MultiIdxPath,
                          const std::string& MultiMulPath, const Progress& progress = {});

} // namespace mw
