#include "formats/ComponentBuffer.h"

#include "common/Convert.h"
#include "common/RunError.h"
#include "formats/ComponentsList.h"

namespace mw {

void ClearComponentBuffer(ComponentBuffer& buffer) {
    bool lastReadOK = buffer.LastReadOK;
    ReaderMessage message = std::move(buffer.LastReadMessage);
    buffer = ComponentBuffer();
    buffer.LastReadOK = lastReadOK;
    buffer.LastReadMessage = std::move(message);
}

size_t AppendComponent(ComponentBuffer& buffer) {
    size_t index = buffer.ItemID.size() - 1; // the spare entry becomes the new component
    for (auto* array : {&buffer.ItemID, &buffer.X, &buffer.Y, &buffer.Z, &buffer.Flag})
        array->emplace_back();
    return index;
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
    } catch (const RunError& failure) {
        ClearComponentBuffer(buffer);
        if (failure.Number != err::Cancelled) buffer.LastReadMessage = {title, failure.Text()};
    }
    buffer.LastReadOK = false;
    return false;
}

} // namespace mw
