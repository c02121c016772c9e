#pragma once

#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

class QString;

namespace platform {

class IProgramEnd;

// The boundary between Qt's event dispatch and our handlers. Qt cannot carry
// an exception through a slot, an event handler or a property write, so every
// handler a window connects runs inside run(): whatever it throws stops here
// and reaches the run-time error report (message box, then the program ends
// with a non-zero status). Without a program end the event loop is left with
// status 1, which is what the report would do.
class HandlerGuard {
public:
    explicit HandlerGuard(IProgramEnd* end = nullptr) : m_end(end) {}

    template <class F> void run(F&& handler) const noexcept {
        try {
            std::invoke(std::forward<F>(handler));
        } catch (...) {
            report(std::current_exception());
        }
    }

    // A handler wrapped for QObject::connect: it takes the signal's arguments
    // the handler takes (by reference where the signal passes them so), and
    // Qt drops the rest as it does for the handler itself.
    template <class F> struct Guarded {
        IProgramEnd* end;
        F handler;

        template <class... A>
        requires std::is_invocable_v<F&, A...>
        void operator()(A&&... args) {
            HandlerGuard(end).run([&] { std::invoke(handler, std::forward<A>(args)...); });
        }
    };

    template <class F> Guarded<F> operator()(F handler) const {
        return {m_end, std::move(handler)};
    }

    // Reports a failure caught elsewhere (a thread's own catch, the
    // application's last net). Never throws.
    void report(std::exception_ptr failure) const noexcept;

    // The words the report shows for a failure.
    static QString describe(std::exception_ptr failure);

private:
    IProgramEnd* m_end;
};

} // namespace platform
