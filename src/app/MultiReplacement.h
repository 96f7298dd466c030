#pragma once

#include "formats/MultiFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mw {

struct Session;

// What a replacement would overwrite, read from the configured game files before anything is
// changed, for the question the window asks first.
struct ReplacedMulti {
    std::string Files;                 // "multi.idx / multi.mul" or "MultiCollection.uop"
    std::string State;                 // "holds 34 components", "is free", "is damaged: why"
    std::vector<MulRecord> Components; // as extraction gives them; empty when free or damaged
};

// One entry per configured set of game files (the mul pair, the package). A file that cannot be
// read, a damaged package or an entry beyond the end of multi.idx fails as the patch would.
std::vector<ReplacedMulti> DescribeReplacedMulti(Session& session, std::uint32_t multiId);

// The question: the multi and its item id, what each file holds there now, and the template
// that replaces it.
std::string ReplacementQuestion(std::uint32_t multiId, const std::vector<ReplacedMulti>& now,
                                const std::string& templateName, std::int64_t templateComponents);

} // namespace mw
