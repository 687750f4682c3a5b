#include "cli/eye_commands.h"

#include <charconv>
#include <cstdio>
#include <optional>

#include "cli/exit_codes.h"
#include "commands/eye_commands.h"

namespace kz {
namespace {

constexpr int kLastPattern = 255;  // a pattern number is one byte of the eye value

std::optional<int> ParsePattern(const std::string& text) {
  int value = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > kLastPattern)
    return std::nullopt;
  return value;
}

int Usage(const char* what) {
  std::fprintf(stderr, "kzmotion-cli convert-eyes: %s\n", what);
  return kBadCommandLine;
}

}  // namespace

int RunConvertEyes(const std::string& settingsPath, const GlobalOptions& options,
                   const std::vector<std::string>& args) {
  std::string input;
  std::optional<int> left, right;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if ((word == "--left" || word == "--right") && i + 1 < args.size()) {
      const auto pattern = ParsePattern(args[++i]);
      if (!pattern) return Usage("a pattern is a number from 0 to 255");
      (word == "--left" ? left : right) = pattern;
    } else if (input.empty() && !word.starts_with("-")) {
      input = word;
    } else {
      std::fprintf(stderr, "kzmotion-cli convert-eyes: unexpected %s\n", word.c_str());
      return kBadCommandLine;
    }
  }
  if (input.empty() || !left || !right)
    return Usage("needs a program file, --left N and --right N");
  const auto path = CommandLinePath(input);
  if (!path) return kBadCommandLine;
  CliSession session(settingsPath, options);
  return ConvertEyePatternsInFile(*path, *left, *right, session.prompts) ? kDone : kFailed;
}

}  // namespace kz
