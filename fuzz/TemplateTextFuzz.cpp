// ReadComponentList on any bytes: the template text format of extract files and *.KivT.
#include "FuzzSupport.h"

#include "formats/TemplateText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    mw::fuzz::FuzzReader(mw::ReadComponentList, "template.txt", data, size);
    return 0;
}
