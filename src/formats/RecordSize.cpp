#include "formats/RecordSize.h"

#include "common/RunError.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace mw {

namespace {

constexpr size_t SampledMultis = 8;
constexpr std::int64_t SampledBytes = 192; // 16 records of 12 bytes, 12 of 16
constexpr int Widest = 256;                // no multi reaches further from its origin

std::string EntryText(std::int64_t r, const IdxEntry& entry) {
    return "entry " + std::to_string(r) + " (Length " + std::to_string(entry.Length) + ")";
}

// What the in-use entries say, read in one pass over the index.
struct LengthVotes {
    std::string Twelve, Sixteen, Neither; // the first entry of each kind, empty when none
    std::vector<IdxEntry> Samples;        // the first multis with records, for a closer look
};

void Vote(LengthVotes& votes, std::int64_t r, const IdxEntry& entry) {
    if (entry.Length == FreeEntryLength) return;
    bool by12 = entry.Length >= 0 && entry.Length % 12 == 0;
    bool by16 = entry.Length >= 0 && entry.Length % 16 == 0;
    if (by12 && by16) {
        if (entry.Length > 0 && votes.Samples.size() < SampledMultis)
            votes.Samples.push_back(entry);
        return;
    }
    std::string& first = by12 ? votes.Twelve : by16 ? votes.Sixteen : votes.Neither;
    if (first.empty()) first = EntryText(r, entry);
}

LengthVotes CountVotes(const RecordFile& multiIdx) {
    LengthVotes votes;
    ForEachIdxEntry(multiIdx,
                    [&](std::int64_t r, const IdxEntry& entry) { Vote(votes, r, entry); });
    return votes;
}

bool LooksLikeAComponent(const MulRecord& record) {
    return std::abs(record.X) <= Widest && std::abs(record.Y) <= Widest && record.Z >= -128 &&
           record.Z <= 127 && record.Flag >= 0 && record.Flag <= 0xFFFF;
}

// How many of the sampled records look like no component when read at this width.
int Implausible(const std::vector<std::vector<unsigned char>>& starts, RecordWidth width) {
    int count = 0;
    const auto size = static_cast<size_t>(RecordBytes(width));
    for (const auto& bytes : starts)
        for (size_t at = 0; at + size <= bytes.size(); at += size)
            count += LooksLikeAComponent(DecodeMulRecord(bytes.data() + at, width)) ? 0 : 1;
    return count;
}

RecordWidthVerdict JudgeByRecords(const std::vector<IdxEntry>& samples,
                                  const RecordFile& multiMul) {
    if (samples.empty()) return {{}, "no multi in multi.idx has any record"};
    std::vector<std::vector<unsigned char>> starts;
    for (const IdxEntry& entry : samples) {
        std::int64_t length = std::min<std::int64_t>(entry.Length, SampledBytes);
        if (entry.Lookup < 0 || entry.Lookup > multiMul.Size() - length)
            return {{}, "an entry of multi.idx points past the end of multi.mul"};
        starts.emplace_back(static_cast<size_t>(length));
        multiMul.ReadAt(entry.Lookup, length, starts.back().data());
    }
    int wrongAt12 = Implausible(starts, RecordWidth::Twelve);
    int wrongAt16 = Implausible(starts, RecordWidth::Sixteen);
    if (wrongAt12 == 0 && wrongAt16 > 0) return {RecordWidth::Twelve, {}};
    if (wrongAt16 == 0 && wrongAt12 > 0) return {RecordWidth::Sixteen, {}};
    return {{},
            "every Length is a multiple of 48 and the records read alike at 12 and at 16 "
            "bytes"};
}

const char* WidthText(RecordWidth width) {
    return width == RecordWidth::Twelve ? "12" : "16";
}

} // namespace

const char* RecordSizeChoiceText(RecordSizeChoice choice) {
    switch (choice) {
    case RecordSizeChoice::Twelve:
        return "12";
    case RecordSizeChoice::Sixteen:
        return "16";
    default:
        return "Auto";
    }
}

RecordSizeChoice RecordSizeChoiceFrom(std::string_view text) {
    if (text == "12") return RecordSizeChoice::Twelve;
    if (text == "16") return RecordSizeChoice::Sixteen;
    return RecordSizeChoice::Auto;
}

RecordWidthVerdict DetectRecordWidth(const RecordFile& multiIdx, const RecordFile& multiMul) {
    LengthVotes votes = CountVotes(multiIdx);
    if (!votes.Neither.empty())
        return {{}, votes.Neither + " is a whole number of neither 12- nor 16-byte records"};
    if (!votes.Twelve.empty() && !votes.Sixteen.empty())
        return {{},
                "the entries disagree: " + votes.Twelve + " means 12 bytes, " + votes.Sixteen +
                    " means 16"};
    if (!votes.Twelve.empty()) return {RecordWidth::Twelve, {}};
    if (!votes.Sixteen.empty()) return {RecordWidth::Sixteen, {}};
    return JudgeByRecords(votes.Samples, multiMul);
}

RecordWidth ChooseRecordWidth(RecordSizeChoice choice, const RecordFile& multiIdx,
                              const RecordFile& multiMul) {
    RecordWidthVerdict verdict = DetectRecordWidth(multiIdx, multiMul);
    if (choice == RecordSizeChoice::Auto) {
        if (verdict.Width) return *verdict.Width;
        throw RunError(err::RecordSizeUnknown,
                       "Cannot tell whether \"" + multiMul.Path() +
                           "\" has 12- or 16-byte records: " + verdict.Reason +
                           ". Choose the multi record size, 12 or 16, and patch again.");
    }
    RecordWidth chosen =
        choice == RecordSizeChoice::Twelve ? RecordWidth::Twelve : RecordWidth::Sixteen;
    if (verdict.Width && *verdict.Width != chosen)
        throw RunError(err::RecordSizeMismatch, std::string("The multi record size is set to ") +
                                                    WidthText(chosen) + " bytes, but \"" +
                                                    multiMul.Path() + "\" has " +
                                                    WidthText(*verdict.Width) +
                                                    "-byte records: nothing was written. Choose " +
                                                    WidthText(*verdict.Width) + " or Auto.");
    return chosen;
}

} // namespace mw
