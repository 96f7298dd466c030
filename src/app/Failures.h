#pragma once

#include "common/RunError.h"

#include <string>

namespace mw {

// The fixed message for missing multi files (err::MultiFilesNotFound): the window shows it in
// a box of its own, the command line before the description.
constexpr const char* MultiFilesNotFoundText =
    "Multi.idx & Multi.mul files are not in the same folder as the multi scripter.";
constexpr const char* MultiFilesNotFoundTitle = "File Not Found!";

// What a front end shows for a failure: "number description", with the fixed message where
// the failure has one.
std::string FailureText(const RunError& failure);

} // namespace mw
