#include "MultiFilesBuilder.h"

#include "TestLibrary.h"
#include "patcher/MultiBytes.h"

namespace mw::test {

namespace {

std::string Records(const std::vector<MulRecord>& records) {
    std::string bytes;
    for (const MulRecord& r : records)
        bytes += Record(r.ItemID, r.X, r.Y, r.Z, r.Flag);
    return bytes;
}

} // namespace

const std::vector<MulRecord> SampleMultiFiles::First = {{0x04A3, -3, 2, 0, 1},
                                                        {0x8000, 0, -1, 5, 1},
                                                        {0xFFFF, -32768, 32767, -128, 0},
                                                        {7, 1, 1, 1, 1}};
const std::vector<MulRecord> SampleMultiFiles::Fourth = {{0x0A2C, 4, -4, 20, 1}};

SampleMultiFiles::SampleMultiFiles(const TempFolder& folder) {
    const std::string mul = Records({{1, 9, 9, 9, 9}, {2, 8, 8, 8, 8}}) + Marker + Records(First) +
                            Marker + Marker + Records(Fourth);
    Paths = {folder.Write("multi.idx", Entry(24, 60, -1) + Entry(0, -1, -1) + Entry(84, 12, -1) +
                                           Entry(96, 24, -1)),
             folder.Write("multi.mul", mul)};
}

} // namespace mw::test
