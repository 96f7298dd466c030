// ReadComponentList on any bytes: the template text format of extract files and *.KivT.
#include "FuzzSupport.h"

#include "formats/TemplateText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace mw;
    ComponentBuffer buffer;
    bool ok = ReadComponentList(buffer, fuzz::SomeComponents(),
                                fuzz::InputFile("template.txt", data, size));
    fuzz::CheckReadOutcome(ok, buffer, 0);
    return 0;
}
