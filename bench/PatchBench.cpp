// Patching a 1,000-component template into a small and into a big multi.mul, as a new multi and
// in the place of one in use: the patch works from the file's size and never reads the data, so
// both should take about the same time.
#include "BenchSupport.h"
#include "Turns.h"

#include "formats/ComponentsList.h"
#include "patcher/PatchTemplate.h"
#include "store/Connection.h"
#include "store/SaveNewTemplate.h"

#include <algorithm>
#include <fcntl.h>
#include <optional>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace mw::bench {
namespace {

constexpr std::int32_t Components = 1000;
constexpr std::int32_t FirstFreeEntry = 8000;
constexpr std::int32_t IndexEntries = 10000;
constexpr int Rounds = 15;

std::int32_t StoreTemplate(Connection& cn) {
    ComponentBuffer buffer;
    for (std::int32_t i = 0; i < Components; ++i) {
        size_t at = AppendComponent(buffer);
        buffer.ItemID[at] = std::to_string(1000 + i % 3000);
        buffer.X[at] = std::to_string(i % 30 - 15);
        buffer.Y[at] = std::to_string(i / 30 % 30 - 15);
        buffer.Z[at] = std::to_string(i % 40);
        buffer.Flag[at] = "1";
        TrackBounds(buffer, i);
    }
    buffer.ComponentCount = Components;
    return SaveNewTemplate(cn, buffer, {"1", "1", "Bench"});
}

// Writes the bytes and makes them reach the disk, as a game's files long installed would be:
// the patch's own flush then pays only for what the patch wrote.
void WriteSynced(const std::string& path, std::int64_t size, const std::string& pattern) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    std::string block;
    while (block.size() < (1u << 20))
        block += pattern;
    for (std::int64_t done = 0; done < size;) {
        auto n = static_cast<size_t>(std::min<std::int64_t>(size - done, block.size()));
        if (::write(fd, block.data(), n) != static_cast<ssize_t>(n))
            throw std::runtime_error("cannot write " + path);
        done += static_cast<std::int64_t>(n);
    }
    ::fsync(fd);
    ::close(fd);
}

void RestoreSize(const std::string& path, std::int64_t size) {
    int fd = ::open(path.c_str(), O_WRONLY);
    if (fd < 0 || ::ftruncate(fd, size) != 0) throw std::runtime_error("cannot restore " + path);
    ::fsync(fd);
    ::close(fd);
}

std::string IndexBytes() {
    std::string bytes;
    for (std::int32_t r = 1; r <= IndexEntries; ++r) {
        unsigned char entry[IdxEntrySize];
        EncodeIdxEntry(r < FirstFreeEntry ? IdxEntry{0, 1200, 0} : IdxEntry{-1, -1, 0}, entry);
        bytes.append(reinterpret_cast<const char*>(entry), IdxEntrySize);
    }
    return bytes;
}

// A game's two files with the first free entry at FirstFreeEntry and a data file of mulSize bytes.
struct GameFiles {
    GameFiles(const Scratch& scratch, const std::string& name, std::int64_t mulSize,
              std::optional<std::uint32_t> replace = {})
        : Paths{scratch.File(name + ".idx"),
                scratch.File(name + ".mul"),
                {},
                RecordSizeChoice::Twelve,
                nullptr,
                replace},
          MulSize(mulSize) {
        WriteSynced(Paths.MultiMulPath, mulSize, std::string(12, '\x01'));
    }
    PatchTargets Paths;
    std::int64_t MulSize;
};

// One patch into fresh copies of the files; the seconds of the patch alone.
double PatchOnce(Connection& cn, std::int32_t templateId, GameFiles& files) {
    static const std::string index = IndexBytes();
    WriteSynced(files.Paths.MultiIdxPath, static_cast<std::int64_t>(index.size()), index);
    ComponentBuffer buffer;
    ComponentsList list;
    const double seconds = Seconds([&] {
        PatchResult place = PatchTemplate(cn, buffer, list, templateId, files.Paths);
        std::int32_t expected = files.Paths.Replace
                                    ? static_cast<std::int32_t>(*files.Paths.Replace) + 1
                                    : FirstFreeEntry;
        if (place.PatchSlot != expected) throw std::runtime_error("wrong entry");
    });
    RestoreSize(files.Paths.MultiMulPath, files.MulSize);
    return seconds;
}

} // namespace
} // namespace mw::bench

int main(int argc, char** argv) {
    using namespace mw::bench;
    return RunBenchmark(argc, argv, [](bool quick) {
        Scratch scratch;
        std::string library = LibraryFrom(scratch, "patch.dat");
        mw::Connection cn(library);
        std::int32_t templateId = StoreTemplate(cn);
        std::int64_t bigMiB = quick ? 10 : 100;
        GameFiles smallFiles(scratch, "small", std::int64_t{1} << 20);
        GameFiles bigFiles(scratch, "big", bigMiB << 20);
        GameFiles smallReplaced(scratch, "small-replaced", std::int64_t{1} << 20, 5);
        GameFiles bigReplaced(scratch, "big-replaced", bigMiB << 20, 5);
        // Taking turns, so that both sizes see the same state of a shared disk.
        std::vector<std::function<double()>> patches;
        for (GameFiles* files : {&smallFiles, &bigFiles, &smallReplaced, &bigReplaced})
            patches.push_back(
                [&cn, templateId, files] { return PatchOnce(cn, templateId, *files); });
        const auto times = TakeTurns(Rounds, patches);
        const std::string big = "-" + std::to_string(bigMiB) + "MB";
        for (size_t kind = 0; kind < 2; ++kind) {
            const std::string name = kind ? "replace" : "patch";
            const std::vector<double>&small = times[2 * kind], &large = times[2 * kind + 1];
            Figure(name + "-1MB-ms", MedianMilliseconds(small));
            Figure(name + big + "-ms", MedianMilliseconds(large));
            RatioFigure(name + big + "-vs-1MB-ratio", large, small);
        }
    });
}
