// ReadSphereExportWsc on any bytes.
#include "FuzzSupport.h"

#include "formats/WorldSaves.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    mw::fuzz::FuzzReader(mw::ReadSphereExportWsc, "export.wsc", data, size);
    return 0;
}
