// kzcard FOLDER [--port N]: a FlashAir-compatible card on loopback whose root
// is FOLDER. Prints its address, then one line per request, until SIGINT or
// SIGTERM. kzcard --init FOLDER lays FOLDER out as a robot's card first.

#include <pthread.h>
#include <signal.h>

#include <charconv>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <string>
#include <string_view>

#include "kzcard/card_files.h"
#include "kzcard/card_init.h"
#include "kzcard/card_server.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kListenError = 1;

int Usage() {
  std::cerr << "usage: kzcard FOLDER [--port N]\n"
               "       kzcard --init FOLDER\n"
               "Serves FOLDER as the root of a FlashAir card at http://127.0.0.1:N/\n"
               "(N = 0 or no --port: any free port). --init creates FOLDER with the\n"
               "folder ADDON and a stand-in for the robot's remote-connection main\n"
               "program, as the editor's card check expects, and exits.\n";
  return kUsageError;
}

bool ParsePort(std::string_view text, int& port) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  return error == std::errc() && end == text.data() + text.size() && port >= 0 && port <= 65535;
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  int port = 0;
  bool init = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--init" && !init) {
      init = true;
    } else if (arg == "--port" && i + 1 < argc) {
      if (!ParsePort(argv[++i], port)) return Usage();
    } else if (!arg.empty() && arg[0] != '-' && folder.empty()) {
      folder = arg;
    } else {
      return Usage();
    }
  }
  if (folder.empty()) return Usage();
  if (init) {
    std::string why;
    if (!kz::card::InitCardFolder(folder, why)) {
      std::cerr << "kzcard: " << why << "\n";
      return kListenError;
    }
    std::cout << "card folder ready: " << folder << "\n";
    return 0;
  }
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    std::cerr << "kzcard: no such folder: " << folder << "\n";
    return kUsageError;
  }

  // Blocked before the server's threads start, so that only the wait below
  // takes the stop signals and the server shuts down cleanly.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  std::mutex output;
  kz::card::CardServer card(folder, [&output](const kz::card::CardRequest& request) {
    std::lock_guard lock(output);
    // A request may carry any byte; the log shows them escaped.
    using kz::card::EscapeForLog;
    std::cout << EscapeForLog(request.method) << ' ' << EscapeForLog(request.target) << ' '
              << request.status;
    if (!request.note.empty()) std::cout << " (" << EscapeForLog(request.note) << ')';
    std::cout << std::endl;  // flushed: the log is often read through a pipe
  });
  const int listening = card.Start(port);
  if (listening == 0) {
    std::cerr << "kzcard: cannot listen on 127.0.0.1:" << port << "\n";
    return kListenError;
  }
  {
    std::lock_guard lock(output);
    std::cout << "http://127.0.0.1:" << listening << "/" << std::endl;
  }

  int received = 0;
  sigwait(&stopSignals, &received);
  card.Stop();
  return 0;
}
