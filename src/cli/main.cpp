// kzmotion-cli: the editor's operations without a window.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_session.h"
#include "cli/exec_commands.h"
#include "cli/exit_codes.h"
#include "cli/eye_commands.h"
#include "cli/jump_commands.h"
#include "cli/link_commands.h"
#include "cli/log_commands.h"
#include "cli/motion_commands.h"
#include "model/settings_location.h"
#include "version.h"

namespace {

constexpr const char* kUsage =
    "Usage: kzmotion-cli [--help | --version]\n"
    "       kzmotion-cli [OPTIONS] COMMAND ...\n"
    "\n"
    "KZMotion without a window: the motion editor for the Kazo robot.\n"
    "\n"
    "Commands:\n"
    "  write MOTION.KZI -o OUT.KM4 [--per-posture]\n"
    "                   write the motion program of an edit-data file\n"
    "  write MOTION.KZI --model 2 -o NEW.BIN\n"
    "                   write the binary program of an edit-data file as a new image\n"
    "  write MOTION.KZI --model 2 --image IMAGE.BIN --word N\n"
    "                   append it to an image and start it for recognition number N (1-472)\n"
    "  read PROGRAM.KM4 -o OUT.KZI\n"
    "                   read the poses of a motion program into edit data\n"
    "  dump FILE        show a .KZI or .KM4 as JSON\n"
    "  send MOTION.KZI --pose N (--card FOLDER | --flashair HOST)\n"
    "                   send pose N (1 = the first) to the robot\n"
    "  play MOTION.KZI (--card FOLDER | --flashair HOST)\n"
    "                   play the motion on the robot as the file says; Ctrl+C stops it\n"
    "  capture (--card FOLDER | --flashair HOST) -o MOTION.KZI\n"
    "                   add the robot's measured servo values as a new last pose\n"
    "  record MOTION.KZI --pose N -o SERVO.LOG\n"
    "                   write pose N's 128-byte record as the settings would send it\n"
    "  repair-jumps PROGRAM.KM4\n"
    "                   point each loop's jump back at its count-down block (in place)\n"
    "  jumps-to-names PROGRAM.KM4\n"
    "                   write PROGRAM.TXT, every jump naming its target block\n"
    "  names-to-jumps TEXT.TXT\n"
    "                   write TEXT.KM4 from such a text; hexadecimal jumps stay unless --yes\n"
    "  convert-eyes PROGRAM.KM4 --left N --right N\n"
    "                   show expression patterns N (0-255) on every pose's eyes (in place)\n"
    "  exec (PROGRAM.KM4 | MOTION.KZI --model 2) (--card FOLDER | --flashair HOST)\n"
    "                   run a program on the robot at once\n"
    "  import-logs (FOLDER | --flashair HOST) -o MOTION.KZI\n"
    "                   read the servo logs サーボ01.LOG ... of a card folder (or\n"
    "                   its ADDON) or a FlashAir card into edit data\n"
    "\n"
    "Options:\n"
    "  --settings FILE  settings file to read instead of KZMotion.ini (never written)\n"
    "  --setup FILE     robot setup file (STARTUP.XML or STARTUP.BIN) with the standard values\n"
    "  --yes            answer Yes to the questions the command asks (else No)\n"
    "  --help           show this text\n"
    "  --version        show the version\n"
    "\n"
    "FOLDER is the card folder that holds ADDON; HOST the FlashAir name or host:port.\n"
    "Messages are printed as the editor shows them.\n"
    "Exit codes: 0 success, 1 the operation failed, 2 bad command line,\n"
    "130 play stopped with Ctrl+C.\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return kz::kBadCommandLine;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (args.size() == 1 && args[0] == "--version") {
    std::printf("kzmotion-cli (KZMotion) %s\n", kz::kVersion);
    return 0;
  }

  kz::GlobalOptions options;
  std::size_t next = 0;
  for (; next < args.size() && args[next].starts_with("--"); ++next) {
    const std::string& option = args[next];
    if (option == "--yes") {
      options.yes = true;
    } else if ((option == "--settings" || option == "--setup") && next + 1 < args.size()) {
      auto path = kz::CommandLinePath(args[++next]);
      if (!path) return kz::kBadCommandLine;
      (option == "--settings" ? options.settingsPath : options.setupPath) = std::move(path);
    } else {
      return Usage();
    }
  }
  if (next == args.size()) return Usage();
  const std::string command = args[next];
  const std::vector<std::string> words(args.begin() + static_cast<std::ptrdiff_t>(next) + 1,
                                       args.end());

  const auto settingsPath = kz::LocateSettingsFile(options.settingsPath);
  if (!settingsPath) {
    std::fputs("kzmotion-cli: no place for the settings file KZMotion.ini was found\n", stderr);
    return 1;
  }
  if (!kz::IsUsableSettingsFile(*settingsPath)) {
    std::fprintf(stderr, "kzmotion-cli: %s\n", kz::UnusableSettingsFileText(*settingsPath).c_str());
    return 1;
  }
  if (command == "write") return kz::RunWrite(*settingsPath, options, words);
  if (command == "read") return kz::RunRead(*settingsPath, options, words);
  if (command == "dump") return kz::RunDump(*settingsPath, options, words);
  if (command == "exec") return kz::RunExec(*settingsPath, options, words);
  if (command == "send") return kz::RunSend(*settingsPath, options, words);
  if (command == "play") return kz::RunPlay(*settingsPath, options, words);
  if (command == "capture") return kz::RunCapture(*settingsPath, options, words);
  if (command == "record") return kz::RunRecord(*settingsPath, options, words);
  if (command == "repair-jumps") return kz::RunRepairJumps(*settingsPath, options, words);
  if (command == "jumps-to-names") return kz::RunJumpsToNames(*settingsPath, options, words);
  if (command == "names-to-jumps") return kz::RunNamesToJumps(*settingsPath, options, words);
  if (command == "convert-eyes") return kz::RunConvertEyes(*settingsPath, options, words);
  if (command == "import-logs") return kz::RunImportLogs(*settingsPath, options, words);
  return Usage();
}
