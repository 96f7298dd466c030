#include "patcher/PatchGameFiles.h"

#include "formats/MultiCollection.h"
#include "patcher/GameFilesLock.h"
#include "patcher/UopPatch.h"

#include <optional>

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
    if (!targets.HasPackage()) return;
    open.Uop.emplace(targets.MultiUopPath);
    if (open.Mul && open.Mul->Touches(targets.MultiUopPath))
        throw RunError(err::BadFileNameOrNumber,
                       "Bad file name: MultiCollection.uop is one of the multi files, \"" +
                           targets.MultiUopPath + "\"");
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
    // Everything from the first look at the files to the last write happens under the lock, so
    // that two patches never choose the same free entry.
    GameFilesLock lock({targets.MultiIdxPath, targets.MultiMulPath, targets.MultiUopPath});
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

PatchResult PatchMulFiles(const ComponentBuffer& buffer, const std::string& MultiIdxPath,
                          const std::string& MultiMulPath, RecordSizeChoice recordSize,
                          const Progress& progress, GameFileBackups* backups) {
    return PatchGameFiles(buffer, {MultiIdxPath, MultiMulPath, {}, recordSize, backups}, progress);
}

} // namespace mw
