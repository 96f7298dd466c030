#pragma once

#include "formats/ComponentBuffer.h"
#include "formats/ComponentsList.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace mw::fuzz {

// Writes the fuzzer's input to a file of the given name in a scratch folder of this process and
// returns its path; the readers under test read files, as they do in the program.
std::string InputFile(const std::string& name, const std::uint8_t* data, size_t size);

// A components list with a few entries, so that every read also converts the item ids.
const ComponentsList& SomeComponents();

// Stops the run (and so saves the input) when a promise of the readers is broken.
void Require(bool condition, const char* promise);

// What every reader promises: success leaves the components consistent and converted, failure
// leaves a message and an empty buffer. `spare` is the number of spare entries after the last
// component that this reader leaves.
void CheckReadOutcome(bool ok, const ComponentBuffer& buffer, size_t spare);

} // namespace mw::fuzz
