#pragma once

#include "common/Progress.h"

#include <cstdint>
#include <string>

namespace mw {

struct Session;

// Where a template is filed, by the names of its category and subsection.
struct FilingByName {
    std::string Category, Subsection, Description;
    bool Create = false; // make the category and subsection when they are missing
};

// The category's and the subsection's ids, found by name (the same-name rule) or, when asked,
// made. A missing name that may not be made fails with err::ItemNotInCollection.
struct Shelf {
    std::int32_t CategoryID = 0, SubsectID = 0;
};
Shelf ShelfByName(Session& session, const FilingByName& filing);

// Finds (or, when asked, makes) the category and subsection and stores the session's buffer as
// a new template there, all in one transaction; returns the new template's id. A missing name
// that may not be made fails with err::ItemNotInCollection, and nothing is stored.
std::int32_t StoreFiledByName(Session& session, const FilingByName& filing,
                              const Progress& progress = {});

} // namespace mw
