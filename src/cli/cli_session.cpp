#include "cli/cli_session.h"

#include <cstdio>

#include "link/link_hooks.h"
#include "model/editor.h"
#include "platform/text_encoding.h"

namespace kz {

CliSession::CliSession(const std::string& settingsPath, const GlobalOptions& options,
                       std::FILE* messages)
    : document(settingsPath), prompts(options.yes, messages) {
  document.settingsReadOnly = true;
  InstallFlashAirDownload(document, prompts);
  InitEditor(document, ui);
  document.setupOverride = options.setupPath;
}

std::optional<std::string> CommandLinePath(const std::string& utf8) {
  auto path = Utf8ToCp932(utf8);
  if (!path)
    std::fprintf(stderr, "kzmotion-cli: cannot use %s: it has characters outside Shift_JIS\n",
                 utf8.c_str());
  return path;
}

}  // namespace kz
