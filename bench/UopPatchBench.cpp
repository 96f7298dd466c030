// Patching one multi into a MultiCollection.uop of 8,000 multis, next to copying the package
// file once. The patch rewrites the whole package beside the old one, reads it back and renames
// it, so a single copy is the floor it is measured against; both reach the disk before the clock
// stops. Backups are off: they are a copy of their own.
#include "BenchSupport.h"
#include "Turns.h"

#include "formats/MultiCollection.h"
#include "formats/UopHash.h"
#include "patcher/PatchGameFiles.h"

#include <algorithm>
#include <fcntl.h>
#include <list>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace mw::bench {
namespace {

constexpr int Rounds = 15;

// Multi m: from 8 to 400 tiles, a house-like spread of ids and offsets.
std::vector<MulRecord> BenchMulti(std::uint32_t m) {
    std::vector<MulRecord> tiles(8 + (m * 7919) % 393);
    for (size_t i = 0; i < tiles.size(); ++i)
        tiles[i] = {static_cast<std::uint16_t>(0x0060 + (m * 31 + i * 17) % 0x3000),
                    static_cast<std::int16_t>(static_cast<int>(i % 15) - 7),
                    static_cast<std::int16_t>(static_cast<int>(i / 15 % 15) - 7),
                    static_cast<std::int16_t>(i / 225 * 20), i % 9 == 0 ? 0 : 1};
    return tiles;
}

std::string PackageOf(std::uint32_t multis, std::uint32_t skipped) {
    std::list<std::string> storage;
    std::vector<UopFile> files;
    std::string housing(4096, '\x11');
    storage.emplace_back();
    files.push_back(CompressedFile(UopNameHash(HousingFileName), housing, storage.back()));
    for (std::uint32_t id = 0; id <= multis; ++id) {
        if (id == skipped) continue; // the free id the patch will fill
        storage.emplace_back();
        files.push_back(CompressedFile(UopNameHash(MultiFileName(id)),
                                       EncodeMultiData(id, BenchMulti(id)), storage.back()));
    }
    return WriteUopPackage({}, files);
}

void WriteFile(const std::string& path, const std::string& bytes, bool sync) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("cannot write " + path);
    if (sync) ::fsync(fd);
    ::close(fd);
}

// The plain copy: read the file, write it under a new name, flush it when asked.
void CopyOnce(const std::string& from, const std::string& to, bool sync) {
    int in = ::open(from.c_str(), O_RDONLY);
    if (in < 0) throw std::runtime_error("cannot open " + from);
    std::string bytes(static_cast<size_t>(::lseek(in, 0, SEEK_END)), '\0');
    if (::pread(in, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("cannot read " + from);
    ::close(in);
    WriteFile(to, bytes, sync);
}

ComponentBuffer Template() {
    ComponentBuffer buffer;
    const std::vector<MulRecord> tiles = BenchMulti(5000);
    for (const MulRecord& tile : tiles) {
        size_t i = AppendComponent(buffer);
        buffer.ItemID[i] = std::to_string(tile.ItemID);
        buffer.X[i] = std::to_string(tile.X), buffer.Y[i] = std::to_string(tile.Y);
        buffer.Z[i] = std::to_string(tile.Z), buffer.Flag[i] = std::to_string(tile.Flag);
    }
    buffer.ComponentCount = static_cast<std::int32_t>(tiles.size());
    return buffer;
}

} // namespace
} // namespace mw::bench

int main(int argc, char** argv) {
    using namespace mw::bench;
    return RunBenchmark(argc, argv, [](bool quick) {
        Scratch scratch;
        const std::uint32_t multis = quick ? 2000 : 8000, freeId = multis / 2;
        const std::string original = PackageOf(multis, freeId);
        const std::string path = scratch.File("MultiCollection.uop");
        const mw::ComponentBuffer buffer = Template();
        const auto times = TakeTurns(
            quick ? LeastRounds : Rounds,
            {[&] {
                 WriteFile(path, original, true);
                 return Seconds([&] {
                     mw::PatchResult place = mw::PatchGameFiles(buffer, {{}, {}, path});
                     if (place.PatchSlot != static_cast<std::int32_t>(freeId) + 1)
                         throw std::runtime_error("wrong multi id");
                 });
             },
             [&] {
                 WriteFile(path, original, true);
                 return Seconds([&] { CopyOnce(path, scratch.File("copy.uop"), true); });
             },
             [&] { return Seconds([&] { CopyOnce(path, scratch.File("copy.uop"), false); }); }});
        Figure("uop-multis", multis);
        Figure("uop-package-MB", static_cast<double>(original.size()) / (1 << 20));
        Figure("patch-uop-ms", MedianMilliseconds(times[0]));
        Figure("copy-uop-ms", MedianMilliseconds(times[1]));
        Figure("copy-uop-unflushed-ms", MedianMilliseconds(times[2]));
        RatioFigure("patch-uop-vs-copy-ratio", times[0], times[1]);
    });
}
