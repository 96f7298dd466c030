#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mw {

// zlib streams as the game's packages hold them.
std::string Deflate(std::string_view data);

// The inflated stream when it is a complete zlib stream of exactly expectedSize bytes; nothing
// for anything else (damaged, cut short, longer than announced).
std::optional<std::string> Inflate(std::string_view stream, std::uint32_t expectedSize);

std::uint32_t Adler32(std::string_view data);

} // namespace mw
