#pragma once

#include "formats/MultiFiles.h"

#include <optional>
#include <string>
#include <string_view>

namespace mw {

// The setting "Multi record size": Auto, or one of the two widths chosen by the user.
enum class RecordSizeChoice { Auto, Twelve, Sixteen };

// The setting's text, "Auto", "12" or "16", and back; an unknown text reads as Auto.
const char* RecordSizeChoiceText(RecordSizeChoice choice);
RecordSizeChoice RecordSizeChoiceFrom(std::string_view text);

// What the files say about the width of multi.mul's records: a width, or why they cannot tell.
struct RecordWidthVerdict {
    std::optional<RecordWidth> Width;
    std::string Reason; // set when Width is not
};

// Reads the in-use entries of multi.idx (Length other than -1): a Length that is a multiple of
// 16 but not of 12 means 16, one of 12 but not of 16 means 12. When every Length is a multiple
// of both (of 48), the first records of the first multis are decoded both ways and the width
// under which they alone look like components wins. Entries that disagree, a Length that is a
// multiple of neither, or records that look alike both ways leave the verdict open.
RecordWidthVerdict DetectRecordWidth(const RecordFile& multiIdx, const RecordFile& multiMul);

// The width to write with. Auto takes the detected width and fails with err::RecordSizeUnknown,
// asking the user to choose the size, when there is none. A chosen width is taken unless the
// files clearly have the other one: then err::RecordSizeMismatch, so that 12-byte records never
// go into a 16-byte file or the other way round.
RecordWidth ChooseRecordWidth(RecordSizeChoice choice, const RecordFile& multiIdx,
                              const RecordFile& multiMul);

} // namespace mw
