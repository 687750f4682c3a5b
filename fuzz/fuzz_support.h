#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/motion_document.h"
#include "ui/dialogs.h"
#include "ui/editor_ui.h"
#include "ui/memory_controls.h"
#include "ui/prompts.h"

// A broken round trip stops the run like a crash, so that libFuzzer keeps the
// input that shows it. Unlike assert it is never compiled out.
#define KZ_FUZZ_CHECK(condition)                                                               \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (false)

namespace kz::fuzz {

// The bytes of one input, taken from the front; past the end every value is 0
// and every text empty, so a short input still makes a whole structure.
class ByteSource {
 public:
  explicit ByteSource(std::string_view bytes) : bytes_(bytes) {}

  std::uint8_t Byte();
  std::uint16_t Word();  // little-endian
  std::uint32_t Long();  // little-endian
  bool Bool() { return (Byte() & 1) != 0; }
  // A text of up to `maxBytes` bytes, its length taken first.
  std::string Text(std::size_t maxBytes);
  std::string_view Rest();
  bool empty() const { return bytes_.empty(); }

 private:
  std::string_view bytes_;
};

// The editor's window for a run: controls in memory, every question answered
// with `answer`, every dialog cancelled. Shown message ids are kept.
class FuzzUi : public MemoryControls, public Prompts, public Dialogs {
 public:
  using Prompts::ShowMessage;
  Button ShowMessage(int messageId, BoxKind kind, const std::vector<std::string>& args,
                     const std::string& details) override;
  std::optional<FileDialogAnswer> AskFile(const FileDialogRequest& request) override;
  std::optional<std::uint32_t> AskColor(std::uint32_t initial) override;
  int RunModal(DialogLogic& logic) override;

  EditorUi ui() { return EditorUi{*this, *this, *this}; }

  Button answer = Button::kYes;
  std::vector<int> shown;
};

// A private folder for the readers that only take a path, made once per
// process in memory-backed storage when there is one (/dev/shm), and removed
// when the process ends.
class ScratchFolder {
 public:
  static ScratchFolder& Get();

  // Full path of `name` in the folder (names are plain ASCII).
  std::string Path(std::string_view name) const;
  // Replaces `name` by `contents`; returns its full path.
  std::string Write(std::string_view name, std::string_view contents) const;
  // The contents of `name`; nullopt when it does not exist.
  std::optional<std::string> Read(std::string_view name) const;
  void Remove(std::string_view name) const;

 private:
  ScratchFolder();
  ~ScratchFolder();
  std::string path_;
};

// A document on a settings file that does not exist (every setting at its
// default, nothing written), with standard values so that no setup file is
// looked for.
std::unique_ptr<MotionDocument> NewDocument(const StandardValues& standard = {});

}  // namespace kz::fuzz
