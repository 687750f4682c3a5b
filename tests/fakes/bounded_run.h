#pragma once

#include <functional>
#include <optional>

namespace kz::testing {

// Runs `body` in a child process, so that a call that would block forever or
// exhaust memory cannot take the test run with it. The body's result; nullopt
// when the child did not end within `seconds` (it is then killed) or ended
// abnormally (a crash, an uncaught std::bad_alloc). Only for tests that run
// no threads of their own.
std::optional<bool> RunInChild(const std::function<bool()>& body, int seconds = 10);

}  // namespace kz::testing
