#include "commands/program_path.h"

#include <cstdlib>

#include "platform/paths.h"
#include "platform/text_encoding.h"

namespace kz {
namespace {

constexpr std::size_t kProgramPathCapacity = 260;

// The user's home folder with its final separator; empty when unknown.
std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (!home || *home != '/') return std::string();
  const auto folder = Utf8ToCp932(home);
  return folder ? JoinPath(*folder, "") : std::string();
}

}  // namespace

std::string LastProgramPath(const MotionDocument& document) {
  const std::string builtIn = SystemText("\\6\\545えへ９.KM4");
  std::string last = document.settings().ReadText("POSE", "PATH", builtIn, kProgramPathCapacity);
  if (last != builtIn) return last;
  const std::string& motion = document.editDataPath;
  if (motion.empty()) return HomeFolder();
  const std::string name = FileNameOf(motion);
  const std::size_t dot = name.rfind('.');
  return FolderOf(motion) + (dot == std::string::npos ? name : name.substr(0, dot)) + ".KM4";
}

}  // namespace kz
