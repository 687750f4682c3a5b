// kzmotion-cli: the editor's operations without a window.
#include <cstdio>
#include <cstring>

#include "version.h"

namespace {

constexpr const char* kUsage =
    "Usage: kzmotion-cli [--help | --version]\n"
    "\n"
    "KZMotion without a window: the motion editor for the Kazo robot.\n"
    "\n"
    "Options:\n"
    "  --help           show this text\n"
    "  --version        show the version\n"
    "\n"
    "Exit codes: 0 success, 1 the operation failed, 2 bad command line.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("kzmotion-cli (KZMotion) %s\n", kz::kVersion);
    return 0;
  }
  std::fputs(kUsage, stderr);
  return 2;
}
