// ReadTileCsv on any bytes.
#include "FuzzSupport.h"

#include "formats/TileLists.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    mw::fuzz::FuzzReader(mw::ReadTileCsv, "tiles.csv", data, size);
    return 0;
}
