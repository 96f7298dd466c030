#include "formats/ComponentBuffer.h"

#include "common/Convert.h"
#include "common/RunError.h"
#include "formats/ComponentsList.h"

#include <algorithm>
#include <new>

namespace mw {

void ClearComponentBuffer(ComponentBuffer& buffer) {
    bool lastReadOK = buffer.LastReadOK;
    ReaderMessage message = std::move(buffer.LastReadMessage);
    buffer = ComponentBuffer();
    buffer.LastReadOK = lastReadOK;
    buffer.LastReadMessage = std::move(message);
}

void StartComponents(ComponentBuffer& buffer, size_t expected) {
    ClearComponentBuffer(buffer);
    for (auto* array : {&buffer.ItemID, &buffer.X, &buffer.Y, &buffer.Z, &buffer.Flag})
        array->reserve(expected + 1);
}

size_t AppendComponent(ComponentBuffer& buffer) {
    size_t index = buffer.ItemID.size() - 1; // the spare entry becomes the new component
    for (auto* array : {&buffer.ItemID, &buffer.X, &buffer.Y, &buffer.Z, &buffer.Flag})
        array->emplace_back();
    return index;
}

void FinishComponents(ComponentBuffer& buffer, const ComponentsList& list) {
    buffer.ComponentCount = static_cast<std::int32_t>(buffer.ItemID.size() - 1);
    ApplyComponentsList(buffer, list);
}

void TrackBounds(ComponentBuffer& buffer, std::int32_t i) {
    auto index = static_cast<size_t>(i);
    if (i == 0) {
        buffer.MaxX = buffer.MinX = ToLong(buffer.X[0]);
        buffer.MaxY = buffer.MinY = ToLong(buffer.Y[0]);
        return;
    }
    double x = ToDouble(buffer.X[index]);
    if (buffer.MaxX < x) buffer.MaxX = ToLong(x);
    if (buffer.MinX > x) buffer.MinX = ToLong(x);
    double y = ToDouble(buffer.Y[index]);
    if (buffer.MaxY < y) buffer.MaxY = ToLong(y);
    if (buffer.MinY > y) buffer.MinY = ToLong(y);
}

void TrackBounds(ComponentBuffer& buffer, size_t i, std::int32_t x, std::int32_t y) {
    if (i == 0) {
        buffer.MinX = buffer.MaxX = x;
        buffer.MinY = buffer.MaxY = y;
        return;
    }
    buffer.MinX = std::min(buffer.MinX, x);
    buffer.MaxX = std::max(buffer.MaxX, x);
    buffer.MinY = std::min(buffer.MinY, y);
    buffer.MaxY = std::max(buffer.MaxY, y);
}

std::int32_t BoundsCentre(std::int32_t max, std::int32_t min) {
    double span = static_cast<double>(static_cast<std::int64_t>(max) - min);
    return ToLong(static_cast<double>(max) - span / 2);
}

namespace {

void Shift(std::vector<std::string>& values, std::int32_t count, std::int32_t by) {
    for (std::int32_t i = 0; i < count; ++i) {
        auto& value = values[static_cast<size_t>(i)];
        value = NumberText(ToDouble(value) - by);
    }
}

} // namespace

void CentreComponents(ComponentBuffer& buffer) {
    if (buffer.ComponentCount == 0) return;
    std::int32_t cx = BoundsCentre(buffer.MaxX, buffer.MinX);
    std::int32_t cy = BoundsCentre(buffer.MaxY, buffer.MinY);
    Shift(buffer.X, buffer.ComponentCount, cx);
    Shift(buffer.Y, buffer.ComponentCount, cy);
    buffer.MaxX -= cx;
    buffer.MinX -= cx;
    buffer.MaxY -= cy;
    buffer.MinY -= cy;
}

void ApplyComponentsList(ComponentBuffer& buffer, const ComponentsList& list) {
    if (list.Empty()) return;
    for (std::int32_t i = 0; i < buffer.ComponentCount; ++i) {
        auto index = static_cast<size_t>(i);
        if (list.Contains(HexText(ToItemId(buffer.ItemID[index]))))
            buffer.Flag[index].assign(1, '0');
    }
}

bool ReadIntoBuffer(ComponentBuffer& buffer, const std::string& title,
                    const std::function<void()>& read) {
    buffer.LastReadMessage = {};
    try {
        read();
        buffer.LastReadOK = true;
        return true;
    } catch (const ReadRefusal& refusal) {
        if (!refusal.KeepsBuffer) ClearComponentBuffer(buffer);
        buffer.LastReadMessage = refusal.Message;
    } catch (const RunError& failure) {
        ClearComponentBuffer(buffer);
        if (failure.Number != err::Cancelled) buffer.LastReadMessage = {title, failure.Text()};
    } catch (const std::bad_alloc&) {
        ClearComponentBuffer(buffer);
        buffer.LastReadMessage = {title, RunError(err::OutOfMemory, "Out of memory").Text()};
    }
    buffer.LastReadOK = false;
    return false;
}

RunError InLine(const RunError& failure, long long line, const char* field) {
    std::string place = "line " + std::to_string(line);
    if (field) place += std::string(", ") + field;
    return RunError(failure.Number, place + ": " + failure.Description);
}

} // namespace mw
