#include "common/RunError.h"

#include <new>

namespace mw {

RunError AsRunError(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const RunError& run) {
        return run;
    } catch (const std::bad_alloc&) {
        return RunError(err::OutOfMemory, "Out of memory");
    } catch (const std::exception& other) {
        return RunError(err::InternalError, std::string("Internal error: ") + other.what());
    } catch (...) {
        return RunError(err::InternalError, "Internal error: an unknown failure");
    }
}

} // namespace mw
