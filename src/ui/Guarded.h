#pragma once

#include "common/RunError.h"
#include "ui/Prompts.h"

#include <exception>
#include <utility>

namespace mw {

// Shows any failure as "number description" in a message box titled with the application's title.
inline void ShowAnyFailure(Prompts& prompts, const std::exception_ptr& failure) {
    prompts.Message(QString::fromStdString(AsRunError(failure).Text()), ApplicationTitle,
                    MessageIcon::None);
}

// Runs a handler and shows whatever failure it lets out: a failure that reached Qt's event loop
// would end the program and lose the user's work.
template <class Handler> void RunGuarded(Prompts& prompts, Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        ShowAnyFailure(prompts, std::current_exception());
    }
}

namespace detail {
template <class Handler, class Result, class Lambda, class... Arguments>
auto GuardedLambda(Prompts& prompts, Handler handler, Result (Lambda::*)(Arguments...) const) {
    return [&prompts, handler = std::move(handler)](Arguments... arguments) {
        RunGuarded(prompts, [&] { handler(std::forward<Arguments>(arguments)...); });
    };
}
} // namespace detail

// A lambda as a guarded handler for connect() or QTimer::singleShot(). It takes the lambda's own
// arguments, so that connect() still drops the signal's arguments the handler has no use for.
template <class Handler> auto Guarded(Prompts& prompts, Handler handler) {
    return detail::GuardedLambda(prompts, std::move(handler), &Handler::operator());
}

// A member function of a window as a guarded handler, the same way.
template <class Window, class Owner, class Result, class... Arguments>
auto Guarded(Prompts& prompts, Window* window, Result (Owner::*handler)(Arguments...)) {
    return [&prompts, window, handler](Arguments... arguments) {
        RunGuarded(prompts, [&] { (window->*handler)(std::forward<Arguments>(arguments)...); });
    };
}

} // namespace mw
