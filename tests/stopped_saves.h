#pragma once
// Saves stopped part-way, for tests that run them in a child process (tests/fault_injection.h): the
// process is killed at a chosen step of its saves, as a save killed from outside would be; and saves
// made as on a file system that has no unnamed files.
#include <signal.h>

#include <string>

#include "platform/safe_file.h"

namespace stopped {

inline int& stepsLeft() {
    static int n = 0;
    return n;
}

inline void killWhenCounted(safefile::seam::Step, const std::string&) {
    if (--stepsLeft() == 0) ::raise(SIGKILL);
}

// Kills this process at the `n`th step (from 1) of its saves: pieces written, temporaries placed and
// targets replaced, in the order they happen. For child processes only.
inline void killAtStep(int n) {
    stepsLeft() = n;
    safefile::seam::SetStepHook(killWhenCounted);
}

// While one lives, temporaries are made under a name, as on a file system without unnamed files.
struct NamedTemporaries {
    NamedTemporaries() { safefile::seam::AllowUnnamedTemporaries(false); }
    ~NamedTemporaries() { safefile::seam::AllowUnnamedTemporaries(true); }
    NamedTemporaries(const NamedTemporaries&) = delete;
    NamedTemporaries& operator=(const NamedTemporaries&) = delete;
};

}  // namespace stopped
