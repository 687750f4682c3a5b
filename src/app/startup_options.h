#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kz {

// What the editor is started with. Paths are system text (CP932).
struct StartupOptions {
  std::optional<std::string> settingsPath;  // --settings FILE
  std::optional<std::string> setupPath;     // --setup FILE: standard values for this run
  std::optional<std::string> motionPath;    // a motion to open
  bool help = false;
};

inline constexpr const char* kEditorUsage =
    "usage: kzmotion [--settings FILE] [--setup FILE] [MOTION]\n"
    "  --settings FILE  settings file to use instead of KZMotion.ini\n"
    "  --setup FILE     robot setup file (STARTUP.XML or STARTUP.BIN) for this run\n"
    "  MOTION           edit data (.KZI) or program text (.KM4) to open\n";

// The options in `args` (UTF-8, without the program name); nullopt with a
// one-line reason in `error` when they cannot be understood.
std::optional<StartupOptions> ParseStartupOptions(const std::vector<std::string>& args,
                                                  std::string& error);

}  // namespace kz
