#pragma once

#include <cstdint>
#include <string_view>

namespace mw {

// The name hash of a file in a package: Bob Jenkins' lookup3 hashlittle2 of the name's bytes
// with both seeds 0, as (b << 32) | c.
std::uint64_t UopNameHash(std::string_view name);

} // namespace mw
