#pragma once

// The template and the art that the preview benchmarks draw: a grid house of many storeys and
// an art.mul of about 200 MB, written sparse, whose records lie far apart.

#include "BenchSupport.h"

#include "formats/MultiFiles.h"

#include <cstddef>
#include <vector>

namespace mw::bench {

// artidx.mul and art.mul in the scratch folder, with art for every item HouseGrid uses.
void WriteSparseArt(const Scratch& scratch);

// A square grid with four storeys: a floor on every cell, walls along every fourth row and
// column, until the template has `count` components.
std::vector<MulRecord> HouseGrid(size_t count);

} // namespace mw::bench
