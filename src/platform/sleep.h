#pragma once

#include <functional>

namespace kz {

// The robot link waits by blocking; tests hand in a sleep that only records.
using SleepFunction = std::function<void(int milliseconds)>;

// Sleeps the calling thread.
void SleepMilliseconds(int milliseconds);

}  // namespace kz
