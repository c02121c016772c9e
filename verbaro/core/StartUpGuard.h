#pragma once

class Program;

// Puts the screen back into the mode in force at start-up however the run
// ends: when it goes out of scope (a normal end, the error report, an
// unexpected error unwinding the run) and when restore() is called (the
// handling of a termination signal). The exit buttons restore the screen
// themselves; the guard then finds nothing to do.
class StartUpGuard {
public:
    explicit StartUpGuard(Program& program) : m_program(program) {}
    ~StartUpGuard();
    StartUpGuard(const StartUpGuard&) = delete;
    StartUpGuard& operator=(const StartUpGuard&) = delete;

    // Restores the start-up mode when the screen is in another one; nothing
    // before the load handler has noted the start-up mode. Called on the way
    // out of the program, where a failure cannot be reported anywhere useful
    // and must not end the program another way: it is only logged.
    void restore() noexcept;

private:
    void restoreSwitched();
    bool switched() const;

    Program& m_program;
};
