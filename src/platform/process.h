#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kz {

// Starts the program at `path` with `arguments` (the first one is the
// program's own name), the editor's environment and current folder.
// nullopt when it could not be started.
std::optional<int> SpawnProcess(const std::string& path, const std::vector<std::string>& arguments);

// True while the process still runs; reaps it, without blocking, once it
// has ended.
bool ProcessRunning(int pid);

}  // namespace kz
