#include "formats/ComponentRecords.h"

#include "common/Convert.h"
#include "common/RunError.h"

namespace mw {

namespace {

void CheckParallelArrays(const ComponentBuffer& buffer) {
    auto count = static_cast<size_t>(buffer.ComponentCount);
    for (const auto* array : {&buffer.ItemID, &buffer.X, &buffer.Y, &buffer.Z, &buffer.Flag})
        if (array->size() < count)
            throw RunError(err::SubscriptOutOfRange,
                           "Subscript out of range: the buffer holds fewer components than " +
                               std::to_string(buffer.ComponentCount));
}

} // namespace

MulRecord ComponentRecord(const ComponentBuffer& buffer, std::int32_t i) {
    auto at = static_cast<size_t>(i);
    const char* field = "item id";
    try {
        MulRecord record;
        record.ItemID = ToItemId(buffer.ItemID[at]);
        field = "x";
        record.X = ToInteger(buffer.X[at]);
        field = "y";
        record.Y = ToInteger(buffer.Y[at]);
        field = "z";
        record.Z = ToInteger(buffer.Z[at]);
        field = "flag";
        record.Flag = ToLong(buffer.Flag[at]);
        return record;
    } catch (const RunError& failure) {
        throw RunError(failure.Number, "Component " + std::to_string(i + 1) + ", " + field + ": " +
                                           failure.Description);
    }
}

std::vector<MulRecord> ComponentRecords(const ComponentBuffer& buffer, const Progress& progress) {
    if (buffer.ComponentCount < 1)
        throw RunError(err::SubscriptOutOfRange,
                       "The template has no components: there is nothing to patch");
    CheckParallelArrays(buffer);
    std::vector<MulRecord> records;
    records.reserve(static_cast<size_t>(buffer.ComponentCount));
    ProgressTicker ticker(progress, buffer.ComponentCount);
    for (std::int32_t i = 0; i < buffer.ComponentCount; ++i) {
        ticker.Step(i);
        records.push_back(ComponentRecord(buffer, i));
    }
    return records;
}

} // namespace mw
