#include "patcher/PatchGameFiles.h"

#include "common/Files.h"
#include "formats/MultiCollection.h"
#include "patcher/GameFilesLock.h"
#include "patcher/UopPatch.h"

#include <iterator>
#include <optional>
#include <utility>
#include <vector>

namespace mw {

namespace {

// The files of one patch, opened and checked.
struct OpenTargets {
    std::optional<MulPatch> Mul;
    std::optional<UopPatch> Uop;
};

std::int32_t ReplacedSlot(const PatchTargets& targets) {
    if (!targets.Replace) return 0;
    if (*targets.Replace > HighestMultiId)
        throw RunError(err::Overflow, "Overflow: there is no multi above BFFF to replace");
    return static_cast<std::int32_t>(*targets.Replace) + 1;
}

void Open(OpenTargets& open, const PatchTargets& targets, std::int32_t count) {
    if (targets.HasMulFiles() || !targets.HasPackage())
        open.Mul.emplace(targets.MultiIdxPath, targets.MultiMulPath, targets.RecordSize, count,
                         ReplacedSlot(targets));
    if (targets.HasPackage()) open.Uop.emplace(targets.MultiUopPath);
}

// A patch would write one file into another, or into the library.
void RefuseSharedFiles(const PatchTargets& targets) {
    const std::pair<const char*, const std::string*> files[] = {
        {"multi.idx", &targets.MultiIdxPath},
        {"multi.mul", &targets.MultiMulPath},
        {"MultiCollection.uop", &targets.MultiUopPath}};
    auto named = [](const auto& file) {
        return std::string(file.first) + " \"" + *file.second + "\"";
    };
    for (auto file = std::begin(files); file != std::end(files); ++file) {
        if (IsSameFile(*file->second, targets.LibraryPath))
            throw RunError(err::BadFileNameOrNumber,
                           "Bad file name: " + named(*file) + " is the library, \"" +
                               targets.LibraryPath +
                               "\"; a patch never writes into the library. Nothing was written.");
        for (auto other = std::begin(files); other != file; ++other)
            if (IsSameFile(*file->second, *other->second))
                throw RunError(err::BadFileNameOrNumber,
                               "Bad file name: " + named(*file) + " is the same file as " +
                                   named(*other) +
                                   "; each game file must be a file of its own. Nothing was "
                                   "written.");
    }
}

void RemoveLeftovers(const PatchTargets& targets) {
    std::vector<std::string> removed =
        RemoveInterruptedCopies({targets.MultiIdxPath, targets.MultiMulPath, targets.MultiUopPath});
    if (removed.empty() || !targets.Notice) return;
    std::string line = "Removed " + std::to_string(removed.size()) + " temporary file" +
                       (removed.size() == 1 ? "" : "s") + " left by an interrupted patch:";
    const char* separator = " \"";
    for (const std::string& path : removed) {
        line += separator + path + "\"";
        separator = ", \"";
    }
    targets.Notice(line);
}

// The replaced multi's place, and what each file holds there now.
PatchResult ReplacedPlace(const OpenTargets& open, const PatchTargets& targets) {
    PatchResult place{ReplacedSlot(targets), 0};
    if (open.Mul) {
        place.MulAppendRecord = open.Mul->MulAppendRecord();
        place.Width = open.Mul->Width();
        place.ReplacedMul = open.Mul->ComponentsIn(place.PatchSlot);
    }
    if (open.Uop) place.ReplacedPackage = open.Uop->ComponentsOf(*targets.Replace);
    return place;
}

PatchResult ChooseId(const OpenTargets& open, const PatchTargets& targets) {
    if (targets.Replace) return ReplacedPlace(open, targets);
    if (!open.Mul) return {static_cast<std::int32_t>(open.Uop->FirstFreeId()) + 1, 0};
    EntryAlsoFree freeInPackage;
    if (open.Uop)
        freeInPackage = [&](std::int32_t slot) {
            auto id = static_cast<std::uint32_t>(slot - 1);
            return id <= HighestMultiId && !open.Uop->HasMulti(id);
        };
    return {FindFreeIndexEntry(open.Mul->Index(), freeInPackage), open.Mul->MulAppendRecord(),
            open.Mul->Width()};
}

void BackUp(const PatchTargets& targets, const OpenTargets& open) {
    if (!targets.Backups) return;
    if (open.Mul) {
        targets.Backups->BeforeChange(targets.MultiIdxPath);
        targets.Backups->BeforeChange(targets.MultiMulPath);
    }
    if (open.Uop) targets.Backups->BeforeChange(targets.MultiUopPath);
}

} // namespace

PatchResult PatchGameFiles(const ComponentBuffer& buffer, const PatchTargets& targets,
                           const Progress& progress) {
    std::vector<MulRecord> components = ComponentRecords(buffer, progress);
    RefuseSharedFiles(targets);
    // Everything from the first look at the files to the last write happens under the lock, so
    // that two patches never choose the same free entry.
    GameFilesLock lock({targets.MultiIdxPath, targets.MultiMulPath, targets.MultiUopPath});
    RemoveLeftovers(targets); // none can be in use: every writer of them holds the lock
    OpenTargets open;
    Open(open, targets, buffer.ComponentCount);
    PatchResult place = ChooseId(open, targets);
    if (open.Uop) open.Uop->Prepare(static_cast<std::uint32_t>(place.PatchSlot - 1), components);
    ProgressTicker ticker(progress, buffer.ComponentCount);
    ticker.Report(0); // checked and prepared: the last moment before anything is written
    BackUp(targets, open);
    if (open.Mul) open.Mul->Write(place.PatchSlot, components, progress);
    if (!open.Uop) return place;
    try {
        ticker.Report(buffer.ComponentCount);
        open.Uop->Commit();
    } catch (...) {
        if (open.Mul) open.Mul->UndoAfter(std::current_exception());
        throw;
    }
    return place;
}

} // namespace mw
