#pragma once

#include <map>
#include <string>
#include <vector>

namespace kz::fuzz {

// The seed inputs of each fuzz target (by target name), made by the
// project's writers from a few small motions.
std::map<std::string, std::vector<std::string>> AllSeeds();

}  // namespace kz::fuzz
