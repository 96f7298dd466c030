#pragma once

#include "common/GameFileBackups.h"
#include "common/Progress.h"
#include "formats/ComponentBuffer.h"
#include "formats/RecordSize.h"
#include "patcher/MultiPatch.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace mw {

// A line for the user about what a patch did besides the patch (it is no failure).
using PatchNotice = std::function<void(const std::string& line)>;

// The game files a patch writes into, and how. The two multi files count when both paths are
// set; the package when its path is. An empty text is an unset path.
struct PatchTargets {
    std::string MultiIdxPath, MultiMulPath;
    std::string MultiUopPath = {};
    RecordSizeChoice RecordSize = RecordSizeChoice::Auto; // of multi.mul
    GameFileBackups* Backups = nullptr;                   // none made when null
    // The multi to replace (0 to HighestMultiId); none: a new multi in the first free id.
    std::optional<std::uint32_t> Replace = {};
    std::string LibraryPath = {}; // which no game file may be, under any name
    PatchNotice Notice = {};      // told of the leftovers of an interrupted patch it removed

    bool HasMulFiles() const { return !MultiIdxPath.empty() && !MultiMulPath.empty(); }
    bool HasPackage() const { return !MultiUopPath.empty(); }
};

// The whole patch of the buffer's components as a new multi, into multi.idx/multi.mul, into
// MultiCollection.uop, or into both. The multi id is the first free one: in multi.idx alone the
// first entry with Length -1; in the package alone the first id without a file; in both the
// first id free in both (its entry has Length -1 and the package has no file of its name), so
// that the two agree and one script serves both.
//
// First every game file named must be a file of its own, and none of them the library, under
// any name (err::BadFileNameOrNumber). The files are opened only under a GameFilesLock, which
// another patch of the same files holds until it ends: a second patch waits up to 5 seconds,
// then fails with err::GameFilesBusy. Holding it, the patch removes what an interrupted patch
// left beside the files (RemoveInterruptedCopies) and tells targets.Notice so in one line.
// Everything is checked for every file before any is written: the components, each file present,
// a regular file and writable (its owner's write permission too, even for root), the record
// width, the whole package, a free id, the new package written beside
// the old one and read back. Then each file is backed up (once per run, see GameFileBackups), the
// records and the entry are written, and the new package takes the old one's place. A failure at
// any point leaves every file as it was and the RunError goes to the caller; a file that could not
// be put back is reported as err::GameFilesNotRestored. The progress function is asked once when
// everything is checked, after the records are written and before the package is replaced: the
// moments to cancel.
//
// A replacement (targets.Replace) writes the multi under that id instead, in the same order and
// with the same checks: in multi.idx its entry (which must exist) is pointed at the appended
// records, keeping its Extra, and in the package its file is replaced or added. With both sets
// of files, both get it or neither does.
//
// With neither set of files configured this is the multi.idx patch, failing as a missing index
// does (err::MultiFilesNotFound).
PatchResult PatchGameFiles(const ComponentBuffer& buffer, const PatchTargets& targets,
                           const Progress& progress = {});

} // namespace mw
