// ReadSphereExportWsc on any bytes.
#include "FuzzSupport.h"

#include "formats/WorldSaves.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace mw;
    ComponentBuffer buffer;
    bool ok = ReadSphereExportWsc(buffer, fuzz::SomeComponents(),
                                  fuzz::InputFile("export.wsc", data, size));
    fuzz::CheckReadOutcome(ok, buffer, 1);
    return 0;
}
