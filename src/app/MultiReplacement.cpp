#include "app/MultiReplacement.h"

#include "app/Session.h"
#include "common/RunError.h"
#include "formats/MultiCollection.h"
#include "formats/MultiExtraction.h"
#include "formats/UopPackage.h"

#include <cstdio>

namespace mw {

namespace {

constexpr const char* MulFilesName = "multi.idx / multi.mul";

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string Holds(const std::vector<MulRecord>& components) {
    return "holds " + std::to_string(components.size()) + " components";
}

ReplacedMulti InMulFiles(const Session& session, std::uint32_t multiId) {
    ReplacedMulti now{MulFilesName, "", {}};
    MultiEntry entry = ReadMultiEntry(session.MultiIdxPath, static_cast<std::int32_t>(multiId) + 1);
    if (entry.Entry.Length == FreeEntryLength) {
        now.State = "is free";
        return now;
    }
    RecordFile idx(session.MultiIdxPath, RecordFile::Mode::Read);
    RecordFile mul(session.MultiMulPath, RecordFile::Mode::Read);
    RecordWidth width = ChooseRecordWidth(session.RecordSize, idx, mul);
    try {
        CheckMultiEntry(entry.Entry, mul.Size(), entry.Name(), width);
    } catch (const RunError& damaged) {
        now.State = "is damaged: " + damaged.Description;
        return now;
    }
    now.Components = ReadMultiRecords(mul, entry.Entry, width);
    now.Components.erase(now.Components.begin()); // the marker
    now.State = Holds(now.Components);
    return now;
}

ReplacedMulti InPackage(const Session& session, std::uint32_t multiId) {
    ReplacedMulti now{"MultiCollection.uop", "", {}};
    UopPackage package = UopPackage::Read(session.MultiUopPath);
    if (!PackageHasMulti(package, multiId)) {
        now.State = "has no such multi: it will be added";
        return now;
    }
    try {
        now.Components = ReadPackageMulti(package, multiId);
        now.State = Holds(now.Components);
    } catch (const RunError& damaged) {
        now.State = "is damaged: " + damaged.Description;
    }
    return now;
}

} // namespace

std::vector<ReplacedMulti> DescribeReplacedMulti(Session& session, std::uint32_t multiId) {
    PatchTargets targets = session.Targets();
    std::vector<ReplacedMulti> now;
    if (targets.HasMulFiles() || !targets.HasPackage()) now.push_back(InMulFiles(session, multiId));
    if (targets.HasPackage()) now.push_back(InPackage(session, multiId));
    return now;
}

std::string ReplacementQuestion(std::uint32_t multiId, const std::vector<ReplacedMulti>& now,
                                const std::string& templateName, std::int64_t templateComponents) {
    std::string text = "Replace multi " + Hex(multiId) + " (item " +
                       Hex(static_cast<std::uint32_t>(FirstMultiItemId) + multiId) + ")?\n\n";
    for (const ReplacedMulti& file : now)
        text += file.Files + ": the multi " + file.State + ".\n";
    text += "\nIt becomes the template \"" + templateName + "\" (" +
            std::to_string(templateComponents) + " components).";
    for (const ReplacedMulti& file : now)
        if (file.Files == MulFilesName) text += " The old records stay in multi.mul, unused.";
    return text;
}

} // namespace mw
