// Drawing a template with the client's art: 1,000 and 10,000 components, each drawing with a
// fresh cache so that the art is read and decoded as on a first preview. The art.mul is about
// 200 MB, written sparse, with the records used lying far apart, so that a reader that read the
// whole file would show in the time and the memory.
#include "BenchSupport.h"
#include "PreviewData.h"

#include "formats/ArtCache.h"
#include "render/PreviewDrawing.h"

#include <stdexcept>

namespace mw::bench {
namespace {

PreviewPicture DrawWithFreshCache(const Scratch& scratch, const std::vector<MulRecord>& tiles) {
    PreviewArt art;
    art.Art =
        std::make_shared<ArtCache>(OpenMulArt(scratch.File("artidx.mul"), scratch.File("art.mul")));
    PreviewPicture picture = DrawPreview(tiles, art, {});
    if (picture.WithoutArt != 0) throw std::runtime_error("the benchmark's art was not found");
    return picture;
}

double DrawMilliseconds(const Scratch& scratch, size_t count, int rounds) {
    std::vector<MulRecord> tiles = HouseGrid(count);
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i)
        times.push_back(Seconds([&] { DrawWithFreshCache(scratch, tiles); }));
    return MedianMilliseconds(times);
}

} // namespace
} // namespace mw::bench

int main(int argc, char** argv) {
    using namespace mw::bench;
    return RunBenchmark(argc, argv, [](bool quick) {
        Scratch scratch;
        WriteSparseArt(scratch);
        double small = DrawMilliseconds(scratch, 1000, quick ? 3 : 9);
        double large = DrawMilliseconds(scratch, 10000, quick ? 3 : 7);
        Figure("preview-1k-ms", small);
        Figure("preview-10k-ms", large);
        Figure("preview-10k-vs-1k-ratio", large / small);
        ChildRun child = RunInChild(
            [&] { return !DrawWithFreshCache(scratch, HouseGrid(10000)).Image.Pixels.empty(); });
        if (!child.Ok) throw std::runtime_error("the drawing in the child process failed");
        Figure("preview-10k-peak-MiB", child.PeakMiB);
    });
}
