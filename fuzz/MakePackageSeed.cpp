// Writes the seed package of fuzz_multipackage with our own package writer:
//   fuzz_package_seed fuzz/corpus/multipackage/seed.uop
// A preamble, housing.bin behind a header of its own, multis stored as they are and deflated,
// one with extra values after its tiles, over two table blocks: each kind of thing a package holds
// for the fuzzer to start from, in about a kilobyte.
#include "common/LittleEndian.h"
#include "formats/MultiCollection.h"
#include "formats/UopHash.h"
#include "formats/UopPackage.h"
#include "formats/Zlib.h"

#include <cstdio>
#include <list>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace mw;

// Multi 0 written by hand: three tiles, the first with two extra values, flags 0, 1 and 5.
std::string MultiWithExtras() {
    std::string out;
    Append32(out, 0);
    Append32(out, 3);
    for (const auto& [item, x, y, z, flags, extras] : {std::tuple{0x04A3, -1, 0, 0, 0, 2},
                                                       {0x8001, 1, -2, 20, 1, 0},
                                                       {0xFFFF, 0, 1, -5, 5, 0}}) {
        Append16(out, static_cast<std::uint16_t>(item));
        Append16(out, static_cast<std::uint16_t>(x));
        Append16(out, static_cast<std::uint16_t>(y));
        Append16(out, static_cast<std::uint16_t>(z));
        Append16(out, static_cast<std::uint16_t>(flags));
        Append32(out, static_cast<std::uint32_t>(extras));
        for (int e = 0; e < extras; ++e)
            Append32(out, 0x11110000u + static_cast<std::uint32_t>(e));
    }
    return out;
}

UopFile StoredFile(const std::string& name, const std::string& contents) {
    return {UopNameHash(name), UopStored, static_cast<std::uint32_t>(contents.size()),
            Adler32(contents), {},        contents};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PACKAGE\n", argv[0]);
        return 2;
    }
    std::list<std::string> storage; // the files' bytes stay in place until the package is written
    const std::string& housing = storage.emplace_back("\x05\x00\xAB\xCD\x01", 5);
    const std::string& housingHeader = storage.emplace_back("HDR!");
    const std::string& multi0 = storage.emplace_back(MultiWithExtras());
    const std::string& multi2 = storage.emplace_back(
        EncodeMultiData(2, {{0x0100, 0, 0, 0, 1}, {0x0101, 1, 0, 0, 1}, {0x0675, 0, 1, 0, 0}}));

    UopFile housingFile = StoredFile(HousingFileName, housing);
    housingFile.Header = housingHeader;
    std::vector<UopFile> files{
        housingFile,
        StoredFile(MultiFileName(0), multi0),
        CompressedFile(UopNameHash(MultiFileName(1)),
                       EncodeMultiData(1, {{0x0064, -1, -1, 0, 1}, {0x0065, 1, 1, 7, 0}}),
                       storage.emplace_back()),
        StoredFile(MultiFileName(2), multi2),
        CompressedFile(UopNameHash(MultiFileName(0x1F4)),
                       EncodeMultiData(0x1F4, {{0x3FFF, -7, 7, -128, 1}}), storage.emplace_back()),
    };
    const std::string package =
        WriteUopPackage({UopVersion, UopSignature, "seed preamble", 3}, files);

    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(package.data(), 1, package.size(), out) != package.size() ||
        std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
