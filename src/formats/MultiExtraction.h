#pragma once

#include "common/Progress.h"
#include "formats/MultiFiles.h"
#include "formats/RecordSize.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

// Takes one multi out of the game's multi.idx / multi.mul, or out of MultiCollection.uop, as a
// file in the template text format, which ReadComponentList then reads like any other template.
// The game files are only ever opened for reading; an entry that names no readable multi is
// refused before anything is written. In multi.mul the multi's first record (the marker record)
// is not a component and is skipped; the package has no marker.

// A multi id that the user typed in hexadecimal ("1F4" or "0x1F4", blanks around it allowed),
// for either set of game files; in multi.idx multi id N is entry N + 1. Fails with a RunError
// saying why for a text that is not hexadecimal (TypeMismatch) or an id above BFFF (Overflow),
// whose item id, 4000 hexadecimal + id, would not fit 16 bits.
std::uint32_t ParseMultiId(std::string_view multiIdText);

// One entry of multi.idx and where it was read, so that a refusal can name it.
struct MultiEntry {
    IdxEntry Entry;
    std::int32_t RecordNumber = 0;
    std::string IdxPath;
    std::string Name() const; // entry 501 (multi 0x1F4) of "<path>"
};

// Reads entry recordNumber (from 1); fails naming the path when the file has no such entry.
MultiEntry ReadMultiEntry(const std::string& multiIdxPath, std::int32_t recordNumber);

// Refuses, with a RunError that names the entry, an entry that is free, holds no component
// after the marker record, is not made of whole records of the width, or points outside a
// multi.mul of mulSize bytes.
void CheckMultiEntry(const IdxEntry& entry, std::int64_t mulSize, const std::string& entryName,
                     RecordWidth width = RecordWidth::Twelve);

// Records from `first` on in the template text format: the four header lines, then one line per
// record, "item x y z flag", every line ended by CR LF. The item id is printed as the unsigned
// 16-bit value the file holds; X, Y and Z are signed.
std::string ComponentsAsText(const std::vector<MulRecord>& records, size_t first,
                             const Progress& progress = {});

// The multi's text, its records read at the width the setting chooses (Auto: the width the
// files show; see ChooseRecordWidth).
std::string MultiAsText(const MultiEntry& entry, const std::string& multiMulPath,
                        const Progress& progress = {},
                        RecordSizeChoice recordSize = RecordSizeChoice::Auto);

// The text of multi multiId of the package; refused, naming the file, when the package is not
// sound or holds no such multi.
std::string PackageMultiAsText(const std::string& multiUopPath, std::uint32_t multiId,
                               const Progress& progress = {});

} // namespace mw
