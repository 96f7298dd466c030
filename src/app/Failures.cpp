#include "app/Failures.h"

namespace mw {

std::string FailureText(const RunError& failure) {
    if (failure.Number == err::MultiFilesNotFound)
        return std::to_string(failure.Number) + " " + MultiFilesNotFoundTitle + " " +
               MultiFilesNotFoundText + " " + failure.Description;
    return failure.Text();
}

} // namespace mw
