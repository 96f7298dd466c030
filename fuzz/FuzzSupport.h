#pragma once

#include "common/Progress.h"
#include "formats/ComponentBuffer.h"
#include "formats/ComponentsList.h"
#include "formats/MultiFiles.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mw::fuzz {

// Writes the fuzzer's input to a file of the given name in a scratch folder of this process and
// returns its path; the readers under test read files, as they do in the program.
std::string InputFile(const std::string& name, const std::uint8_t* data, size_t size);

// Stops the run (and so saves the input) when a promise of the readers is broken.
void Require(bool condition, const char* promise);

using Reader = bool (*)(ComponentBuffer&, const ComponentsList&, const std::string&,
                        const Progress&);

// Runs a reader on the input, with a components list of a few entries so that every read also
// converts the item ids, and checks what every reader promises: success leaves the components
// consistent, whole numbers and the buffer's one spare entry after them; failure leaves a
// message and an empty buffer.
void FuzzReader(Reader read, const std::string& fileName, const std::uint8_t* data, size_t size);

// Checks a multi's text as extraction writes it against the records it was made of: the four
// header lines, then one line per record, "item x y z flag" as the record holds them, each ended
// by CR LF, and nothing after; and the text reads back as a template of exactly those records.
void CheckMultiText(const std::string& text, const std::vector<MulRecord>& records);

} // namespace mw::fuzz
