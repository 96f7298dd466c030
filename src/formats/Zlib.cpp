#include "formats/Zlib.h"

#include "common/RunError.h"

#include <zlib.h>

namespace mw {

std::string Deflate(std::string_view data) {
    uLongf size = ::compressBound(static_cast<uLong>(data.size()));
    std::string stream(size, '\0');
    int result = ::compress2(reinterpret_cast<Bytef*>(stream.data()), &size,
                             reinterpret_cast<const Bytef*>(data.data()),
                             static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION);
    if (result != Z_OK) throw RunError(err::OutOfMemory, "Out of memory while compressing");
    stream.resize(size);
    return stream;
}

std::optional<std::string> Inflate(std::string_view stream, std::uint32_t expectedSize) {
    // One byte more than announced, so that a stream that inflates to more shows as such.
    std::string data(std::size_t{expectedSize} + 1, '\0');
    uLongf size = expectedSize + uLongf{1};
    uLong used = static_cast<uLong>(stream.size());
    int result = ::uncompress2(reinterpret_cast<Bytef*>(data.data()), &size,
                               reinterpret_cast<const Bytef*>(stream.data()), &used);
    if (result != Z_OK || size != expectedSize) return std::nullopt;
    data.resize(size);
    return data;
}

std::uint32_t Adler32(std::string_view data) {
    uLong sum = ::adler32(0L, Z_NULL, 0);
    return static_cast<std::uint32_t>(
        ::adler32_z(sum, reinterpret_cast<const Bytef*>(data.data()), data.size()));
}

} // namespace mw
