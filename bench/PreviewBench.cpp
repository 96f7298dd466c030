// Drawing a template with the client's art: 1,000 and 10,000 components, each drawing with a
// fresh cache so that the art is read and decoded as on a first preview. The art.mul is about
// 200 MB, written sparse, with the records used lying far apart, so that a reader that read the
// whole file would show in the time and the memory.
#include "BenchSupport.h"
#include "PreviewData.h"
#include "Turns.h"

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

std::function<double()> Drawing(const Scratch& scratch, size_t count) {
    return [&scratch, tiles = HouseGrid(count)] {
        return Seconds([&] { DrawWithFreshCache(scratch, tiles); });
    };
}

} // namespace
} // namespace mw::bench

int main(int argc, char** argv) {
    using namespace mw::bench;
    return RunBenchmark(argc, argv, [](bool quick) {
        Scratch scratch;
        WriteSparseArt(scratch);
        const auto times =
            TakeTurns(quick ? LeastRounds : 7, {Drawing(scratch, 1000), Drawing(scratch, 10000)});
        Figure("preview-1k-ms", MedianMilliseconds(times[0]));
        Figure("preview-10k-ms", MedianMilliseconds(times[1]));
        RatioFigure("preview-10k-vs-1k-ratio", times[1], times[0]);
        ChildRun child = RunInChild(
            [&] { return !DrawWithFreshCache(scratch, HouseGrid(10000)).Image.Pixels.empty(); });
        if (!child.Ok) throw std::runtime_error("the drawing in the child process failed");
        Figure("preview-10k-peak-MiB", child.PeakMiB);
    });
}
