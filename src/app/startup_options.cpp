#include "app/startup_options.h"

#include "platform/text_encoding.h"

namespace kz {
namespace {

// A path from the command line as system text; the reason in `error` when
// it has characters the system's text cannot hold.
std::optional<std::string> SystemPath(const std::string& utf8, std::string& error) {
  auto path = Utf8ToCp932(utf8);
  if (!path) error = "cannot use the path " + utf8 + ": it has characters outside Shift_JIS";
  return path;
}

}  // namespace

std::optional<StartupOptions> ParseStartupOptions(const std::vector<std::string>& args,
                                                  std::string& error) {
  StartupOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--settings" || arg == "--setup") {
      if (i + 1 == args.size()) {
        error = arg + " needs a file";
        return std::nullopt;
      }
      auto path = SystemPath(args[++i], error);
      if (!path) return std::nullopt;
      (arg == "--settings" ? options.settingsPath : options.setupPath) = std::move(path);
    } else if (arg.starts_with("-")) {
      error = "unknown option " + arg;
      return std::nullopt;
    } else if (options.motionPath) {
      error = "only one motion can be opened";
      return std::nullopt;
    } else {
      options.motionPath = SystemPath(arg, error);
      if (!options.motionPath) return std::nullopt;
    }
  }
  return options;
}

}  // namespace kz
