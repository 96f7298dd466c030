#pragma once

#include "common/RunError.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mw {

class CCategory;
class CSubSection;
class CTempIndex;

struct ListedTemplate {
    std::int32_t TempIndexID = 0;
    std::string Description;
    std::int32_t BlockCount = 0;
};

struct ListedSubsection {
    std::string Name;
    std::int32_t CategoryID = 0; // of the category the node stands under
    std::int32_t SubsectID = 0;
    std::vector<ListedTemplate> Templates;
};

struct ListedCategory {
    std::string Name;
    std::vector<std::int32_t> CategoryIDs; // every category of this name, in row order
    std::vector<ListedSubsection> Subsections;
};

// The library in the shape the tree shows it: categories in row order, two categories of the
// same name sharing one entry; under each, subsections in the order their first template is
// met, then those without templates in row order; templates in row order. Categories and
// subsections without templates are listed too, so that they can be reached.
// A template that cannot be placed (its subsection is gone) is left out and its failure listed.
std::vector<ListedCategory> ListTemplates(CTempIndex& TempIndex, CCategory& Category,
                                          CSubSection& SubSection, std::vector<RunError>& failures);

} // namespace mw
