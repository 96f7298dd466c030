// ReadUox3Wsc on any bytes.
#include "FuzzSupport.h"

#include "formats/WorldSaves.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace mw;
    ComponentBuffer buffer;
    bool ok = ReadUox3Wsc(buffer, fuzz::SomeComponents(), fuzz::InputFile("items.wsc", data, size));
    fuzz::CheckReadOutcome(ok, buffer, 1);
    return 0;
}
