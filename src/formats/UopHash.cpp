// lookup3's hashlittle2, written from the published description of the algorithm (public
// domain, Bob Jenkins 2006), reading the key byte by byte so that it does not depend on the host.
#include "formats/UopHash.h"

namespace mw {

namespace {

constexpr std::uint32_t Rotate(std::uint32_t x, int k) {
    return (x << k) | (x >> (32 - k));
}

struct State {
    std::uint32_t a, b, c;

    void Mix() {
        a -= c, a ^= Rotate(c, 4), c += b;
        b -= a, b ^= Rotate(a, 6), a += c;
        c -= b, c ^= Rotate(b, 8), b += a;
        a -= c, a ^= Rotate(c, 16), c += b;
        b -= a, b ^= Rotate(a, 19), a += c;
        c -= b, c ^= Rotate(b, 4), b += a;
    }

    void Final() {
        c ^= b, c -= Rotate(b, 14);
        a ^= c, a -= Rotate(c, 11);
        b ^= a, b -= Rotate(a, 25);
        c ^= b, c -= Rotate(b, 16);
        a ^= c, a -= Rotate(c, 4);
        b ^= a, b -= Rotate(a, 14);
        c ^= b, c -= Rotate(b, 24);
    }

    // Adds up to 12 bytes, little-endian, to a, b and c in turn.
    void Add(std::string_view bytes) {
        std::uint32_t* words[3] = {&a, &b, &c};
        for (size_t i = 0; i < bytes.size(); ++i)
            *words[i / 4] += static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]))
                             << (8 * (i % 4));
    }
};

} // namespace

std::uint64_t UopNameHash(std::string_view name) {
    const std::uint32_t start = 0xDEADBEEFu + static_cast<std::uint32_t>(name.size());
    State s{start, start, start};
    while (name.size() > 12) {
        s.Add(name.substr(0, 12));
        s.Mix();
        name.remove_prefix(12);
    }
    if (!name.empty()) { // an empty tail leaves a, b and c as they are
        s.Add(name);
        s.Final();
    }
    return std::uint64_t{s.b} << 32 | s.c;
}

} // namespace mw
