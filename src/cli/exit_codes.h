#pragma once

namespace kz {

// What kzmotion-cli tells the shell; the README and --help list the same.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kBadCommandLine = 2;
inline constexpr int kStopped = 130;  // play ended by Ctrl+C, as a shell reports SIGINT

}  // namespace kz
