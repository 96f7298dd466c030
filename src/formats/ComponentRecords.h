#pragma once

#include "common/Progress.h"
#include "formats/ComponentBuffer.h"
#include "formats/MultiFiles.h"

#include <cstdint>
#include <vector>

namespace mw {

// Component i as the data file holds it: item id from -32768 to 65535 stored as its unsigned
// 16-bit value, x, y and z as signed 16-bit, the flag as signed 32-bit. A value that does not
// convert fails with a RunError naming the component (counted from 1) and the field.
MulRecord ComponentRecord(const ComponentBuffer& buffer, std::int32_t i);

// Every component in buffer order, without a marker. Refuses an empty buffer.
std::vector<MulRecord> ComponentRecords(const ComponentBuffer& buffer,
                                        const Progress& progress = {});

} // namespace mw
