// Raising the process's scheduling priority for a short, time-critical moment (the
// flash keeps the character on screen for an exact time).
#pragma once

namespace shroud {

// Raises the process priority for its lifetime and puts back the previous priority when
// it ends. Raising needs privileges the process may lack; a refusal is ignored and the
// moment simply runs at the usual priority.
class ScopedHighPriority {
public:
    ScopedHighPriority();
    ~ScopedHighPriority();
    ScopedHighPriority(const ScopedHighPriority&) = delete;
    ScopedHighPriority& operator=(const ScopedHighPriority&) = delete;

    // True when the priority was raised.
    bool raised() const { return raised_; }

private:
    int previous_ = 0;
    bool raised_ = false;
};

} // namespace shroud
