// ReadUox3Wsc on any bytes.
#include "FuzzSupport.h"

#include "formats/WorldSaves.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    mw::fuzz::FuzzReader(mw::ReadUox3Wsc, "items.wsc", data, size);
    return 0;
}
