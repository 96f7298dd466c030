#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mw {

class ComponentsList;

// What a reader tells the user when it refuses a file: a message box title and text.
struct ReaderMessage {
    std::string Title;
    std::string Text;
};

// The one list of components that every import, extract, patch and script passes through.
// Values are kept as text, exactly as a file gave them, and converted where they are used.
struct ComponentBuffer {
    std::int32_t ComponentCount = 0;
    std::vector<std::string> ItemID{""}, X{""}, Y{""}, Z{""}, Flag{""};
    std::int32_t MaxX = 0, MinX = 0, MaxY = 0, MinY = 0;
    bool LastReadOK = false;
    ReaderMessage LastReadMessage; // why the last read failed; empty after a success or a cancel
};

void ClearComponentBuffer(ComponentBuffer& buffer);

// Makes room for one more component at the end and returns its index (ComponentCount is left
// to the reader, which sets it when the file is done).
size_t AppendComponent(ComponentBuffer& buffer);

// Runs a reader's work on the buffer and records how it went: true and LastReadOK after a
// success; after a RunError false, the buffer cleared (never half a template) and the message
// under `title`, none for a cancel.
bool ReadIntoBuffer(ComponentBuffer& buffer, const std::string& title,
                    const std::function<void()>& read);

// Folds component i into the bounds. Fails with a RunError when X or Y is not a number.
void TrackBounds(ComponentBuffer& buffer, std::int32_t i);

// Shifts X and Y so that the bounding box is centred on 0, 0.
void CentreComponents(ComponentBuffer& buffer);
// By how much centring shifts one axis: max - (max - min) / 2, rounded with ties to even.
std::int32_t BoundsCentre(std::int32_t max, std::int32_t min);

// Flag "0" for every component whose item id is in the list; the others keep theirs.
// Fails with a RunError for an item id that is not a number from -32768 to 65535.
void ApplyComponentsList(ComponentBuffer& buffer, const ComponentsList& list);

} // namespace mw
