#pragma once

#include "common/RunError.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
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
// The arrays hold one spare entry behind the components (a cleared buffer holds only that).
struct ComponentBuffer {
    std::int32_t ComponentCount = 0;
    std::vector<std::string> ItemID{""}, X{""}, Y{""}, Z{""}, Flag{""};
    std::int32_t MaxX = 0, MinX = 0, MaxY = 0, MinY = 0;
    bool LastReadOK = false;
    ReaderMessage LastReadMessage; // why the last read failed; empty after a success or a cancel
};

void ClearComponentBuffer(ComponentBuffer& buffer);

// How every reader fills the buffer: started (cleared, room made for the components expected),
// one component appended at a time, and finished.
void StartComponents(ComponentBuffer& buffer, size_t expected);
// Makes room for one more component at the end and returns its index.
size_t AppendComponent(ComponentBuffer& buffer);
// Sets ComponentCount to the components appended and gives the listed ones flag 0.
void FinishComponents(ComponentBuffer& buffer, const ComponentsList& list);

// What a reader's work throws to refuse a file under a message of its own rather than a
// RunError's. The buffer is kept when the file was seen to be of another kind before anything
// was read into it.
struct ReadRefusal {
    ReaderMessage Message;
    bool KeepsBuffer = false;
};

// Runs a reader's work on the buffer and records how it went: true and LastReadOK after a
// success; after a refusal false, the buffer cleared (never half a template) and the message: a
// RunError's under `title` (none for a cancel), a ReadRefusal's own, or that memory ran out.
bool ReadIntoBuffer(ComponentBuffer& buffer, const std::string& title,
                    const std::function<void()>& read);

// A refusal met on a line of a text file, naming the line and, for a value, its field:
// "line 5: ..." or "line 5, x: ...".
RunError InLine(const RunError& failure, long long line, const char* field = nullptr);

// A value of a line converted for the buffer (WholeInteger and the like), refused naming the
// line and the field.
template <typename Convert>
auto LineValue(Convert convert, std::string_view text, long long line, const char* field) {
    try {
        return convert(text);
    } catch (const RunError& failure) {
        throw InLine(failure, line, field);
    }
}

// Folds component i into the bounds. Fails with a RunError when X or Y is not a number.
void TrackBounds(ComponentBuffer& buffer, std::int32_t i);
// The same for a component whose X and Y a reader has as numbers already.
void TrackBounds(ComponentBuffer& buffer, size_t i, std::int32_t x, std::int32_t y);

// Shifts X and Y so that the bounding box is centred on 0, 0.
void CentreComponents(ComponentBuffer& buffer);
// By how much centring shifts one axis: max - (max - min) / 2, rounded with ties to even.
std::int32_t BoundsCentre(std::int32_t max, std::int32_t min);

// Flag "0" for every component whose item id is in the list; the others keep theirs.
// Fails with a RunError for an item id that is not a number from -32768 to 65535.
void ApplyComponentsList(ComponentBuffer& buffer, const ComponentsList& list);

} // namespace mw
